#include "common/textcodec.h"

#include <algorithm>
#include <cctype>

#include <QStringList>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <type_traits>

namespace tw {

namespace {

// The UTF-16 form iconv has to produce and take so that its bytes are QChar
// values as they lie in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf16Native = "UTF-16LE";
#else
constexpr const char* kUtf16Native = "UTF-16BE";
#endif

const iconv_t kBadHandle = reinterpret_cast<iconv_t>(-1);
const size_t kIconvError = static_cast<size_t>(-1);

// iconv handles keep conversion state and must not be used by two threads at
// once, so every thread opens its own pair on first use.
class Cp932Handles {
public:
    ~Cp932Handles()
    {
        if (m_decoder != kBadHandle)
            iconv_close(m_decoder);
        if (m_encoder != kBadHandle)
            iconv_close(m_encoder);
    }
    iconv_t decoder()
    {
        if (!m_decoderTried) {
            m_decoderTried = true;
            m_decoder = iconv_open(kUtf16Native, "CP932");
        }
        if (m_decoder != kBadHandle)
            iconv(m_decoder, nullptr, nullptr, nullptr, nullptr);
        return m_decoder;
    }
    iconv_t encoder()
    {
        if (!m_encoderTried) {
            m_encoderTried = true;
            m_encoder = iconv_open("CP932", kUtf16Native);
        }
        if (m_encoder != kBadHandle)
            iconv(m_encoder, nullptr, nullptr, nullptr, nullptr);
        return m_encoder;
    }

private:
    iconv_t m_decoder = kBadHandle;
    iconv_t m_encoder = kBadHandle;
    bool m_decoderTried = false;
    bool m_encoderTried = false;
};

Cp932Handles& handles()
{
    thread_local Cp932Handles h;
    return h;
}

constexpr char16_t kEscapeBase = 0xDC00;

inline QChar escapeByte(uchar b)
{
    // ASCII always decodes; anything else that does not is kept as a lone
    // low surrogate carrying the byte.
    return b < 0x80 ? QChar(b) : QChar(char16_t(kEscapeBase + b));
}

inline bool isEscapedByte(char16_t u)
{
    return u >= 0xDC80 && u <= 0xDCFF;
}

// Characters iconv maps one way onto a byte that reads back as a different
// character of another meaning (yen sign to backslash, overline to tilde).
// Saving them would change the text, so they count as not held by CP932. The
// other one-way mappings (U+301C wave dash, U+2016, U+2212, U+2014, U+00A2,
// U+00A3, U+00AC) are the JIS forms of the very CP932 characters and are
// written with their CP932 codes.
inline bool isRefusedByCp932(char16_t u)
{
    return u == 0x00A5 || u == 0x203E;
}

QString charAt(const QString& text, qsizetype i)
{
    if (QChar::isHighSurrogate(text.at(i).unicode()) && i + 1 < text.size()
        && QChar::isLowSurrogate(text.at(i + 1).unicode()))
        return text.mid(i, 2);
    return text.mid(i, 1);
}

EncodeResult failAt(const QString& text, qsizetype i)
{
    EncodeResult r;
    r.ok = false;
    r.badIndex = i;
    r.badChar = charAt(text, i);
    return r;
}

// Converts text[from, to) (no lone surrogates in it) with iconv, appending to
// out at *outLen. Returns -1 on success, else the index of the character
// CP932 cannot hold.
qsizetype encodeRun(iconv_t cd, const QString& text, qsizetype from, qsizetype to, QByteArray& out, qsizetype* outLen)
{
    if (from == to)
        return -1;
    if (cd == kBadHandle) {
        // Without a converter only ASCII can be written.
        for (qsizetype i = from; i < to; ++i) {
            const char16_t u = text.at(i).unicode();
            if (u >= 0x80)
                return i;
            out[(*outLen)++] = char(u);
        }
        return -1;
    }
    const char* base = reinterpret_cast<const char*>(text.constData() + from);
    char* in = const_cast<char*>(base);
    size_t inLeft = size_t(to - from) * sizeof(char16_t);
    while (inLeft > 0) {
        char* outp = out.data() + *outLen;
        size_t outLeft = size_t(out.size() - *outLen);
        const size_t rc = iconv(cd, &in, &inLeft, &outp, &outLeft);
        *outLen = outp - out.data();
        if (rc != kIconvError)
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        // EILSEQ, or EINVAL for a pair iconv did not take: the character at
        // the input position is the one that cannot be written.
        return from + (in - base) / qsizetype(sizeof(char16_t));
    }
    char* outp = out.data() + *outLen;
    size_t outLeft = size_t(out.size() - *outLen);
    while (iconv(cd, nullptr, nullptr, &outp, &outLeft) == kIconvError && errno == E2BIG) {
        *outLen = outp - out.data();
        out.resize(out.size() * 2 + 16);
        outp = out.data() + *outLen;
        outLeft = size_t(out.size() - *outLen);
    }
    *outLen = outp - out.data();
    return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no
// truncated sequences. *hasHigh tells whether any byte was >= 0x80.
bool isValidUtf8(const uchar* p, qsizetype n, bool* hasHigh)
{
    bool high = false;
    bool valid = true;
    qsizetype i = 0;
    while (i < n) {
        // Runs of ASCII go eight bytes at a time.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        high = true;
        int len = 0;
        uchar lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;  // overlong below U+0800
            else if (b == 0xED)
                hi = 0x9F;  // U+D800..U+DFFF
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;  // overlong below U+10000
            else if (b == 0xF4)
                hi = 0x8F;  // above U+10FFFF
        }
        valid = len > 0 && i + len <= n && p[i + 1] >= lo && p[i + 1] <= hi;
        for (int k = 2; valid && k < len; ++k)
            valid = (p[i + k] & 0xC0) == 0x80;
        if (!valid)
            break;
        i += len;
    }
    if (hasHigh)
        *hasHigh = high;
    return valid;
}

// Length of the valid UTF-8 sequence at p[i], or 0 when it is not one.
int validSequenceAt(const uchar* p, qsizetype n, qsizetype i)
{
    const uchar b = p[i];
    if (b < 0x80)
        return 1;
    qsizetype len = 1;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        len = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        len = 4;
    else
        return 0;
    if (i + len > n)
        return 0;
    return isValidUtf8(p + i, len, nullptr) ? int(len) : 0;
}

QString decodeUtf8(const QByteArray& bytes, qsizetype start)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + start;
    const qsizetype n = bytes.size() - start;
    if (isValidUtf8(p, n, nullptr))
        return textFromUtf8(QByteArrayView(p, n));
    // Bytes that are not UTF-8 are kept the way CP932 keeps its undecodable
    // bytes, rather than replaced.
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart)
            out += textFromUtf8(QByteArrayView(p + runStart, end - runStart));
    };
    while (i < n) {
        const int len = validSequenceAt(p, n, i);
        if (len > 0) {
            i += len;
            continue;
        }
        flush(i);
        out += escapeByte(p[i]);
        ++i;
        runStart = i;
    }
    flush(n);
    return out;
}

EncodeResult encodeUtf8(const QString& text, bool withBom)
{
    const qsizetype n = text.size();
    const char16_t* u = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (QChar::isHighSurrogate(u[i])) {
            if (i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
                ++i;
                continue;
            }
            return failAt(text, i);
        }
        if (QChar::isLowSurrogate(u[i]))
            return failAt(text, i);
    }
    EncodeResult r;
    if (withBom)
        r.bytes = QByteArrayLiteral("\xEF\xBB\xBF");
    r.bytes += text.toUtf8();
    return r;
}

bool hasUtf8Bom(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

}  // namespace

QString decodeCp932(const QByteArray& bytes)
{
    const qsizetype n = bytes.size();
    if (n == 0)
        return QString();
    iconv_t cd = handles().decoder();
    // Every CP932 character is one UTF-16 unit made from one or two bytes,
    // and every kept byte is one unit, so n units always suffice.
    QString out(n, Qt::Uninitialized);
    qsizetype outUnits = 0;
    if (cd == kBadHandle) {
        for (qsizetype i = 0; i < n; ++i)
            out[outUnits++] = escapeByte(uchar(bytes.at(i)));
        return out;
    }
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(n);
    while (inLeft > 0) {
        char* outBase = reinterpret_cast<char*>(out.data());
        char* outp = outBase + outUnits * qsizetype(sizeof(char16_t));
        size_t outLeft = size_t(out.size() - outUnits) * sizeof(char16_t);
        const size_t rc = iconv(cd, &in, &inLeft, &outp, &outLeft);
        outUnits = (outp - outBase) / qsizetype(sizeof(char16_t));
        if (rc != kIconvError)
            break;
        if (errno == E2BIG) {
            out.resize(out.size() + qsizetype(inLeft) + 16);
            continue;
        }
        // EILSEQ (a byte that starts nothing valid) or EINVAL (a sequence
        // cut off at the end): keep one byte and go on after it.
        if (outUnits >= out.size())
            out.resize(out.size() + qsizetype(inLeft) + 16);
        out[outUnits++] = escapeByte(uchar(*in));
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(outUnits);
    return out;
}

namespace {

quint32 utf8Entry(char32_t cp)
{
    if (cp < 0x80)
        return 1u << 24 | cp;
    if (cp < 0x800)
        return 2u << 24 | (0x80 | (cp & 0x3F)) << 8 | (0xC0 | cp >> 6);
    return 3u << 24 | (0x80 | (cp & 0x3F)) << 16 | (0x80 | ((cp >> 6) & 0x3F)) << 8 | (0xE0 | cp >> 12);
}

// What the converter makes of bytes given on their own: the one character
// they decode to and how many bytes it took, or nothing; *incomplete when it
// wants more bytes.
std::optional<std::pair<char16_t, int>> convertOne(iconv_t cd, const uchar* bytes, int n, bool* incomplete)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t out[4];
    char* in = reinterpret_cast<char*>(const_cast<uchar*>(bytes));
    size_t inLeft = size_t(n);
    char* outp = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &in, &inLeft, &outp, &outLeft);
    const qsizetype units = qsizetype(sizeof out - outLeft) / qsizetype(sizeof(char16_t));
    if (incomplete)
        *incomplete = rc == kIconvError && errno == EINVAL && units == 0;
    if (units != 1 || QChar::isSurrogate(out[0]))
        return std::nullopt;
    return std::make_pair(out[0], n - int(inLeft));
}

}  // namespace

Cp932Chars::Cp932Chars() : m_pairs(size_t(1) << 16, 0)
{
    iconv_t cd = handles().decoder();
    if (cd == kBadHandle) {
        // Without a converter every byte is kept; ASCII reads as itself.
        for (int b = 0; b < 0x80; ++b)
            m_single[b] = utf8Entry(char32_t(b));
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const uchar one = uchar(b);
        bool incomplete = false;
        const auto c = convertOne(cd, &one, 1, &incomplete);
        if (c && c->second == 1)
            m_single[b] = utf8Entry(c->first);
        m_lead[b] = incomplete;
        if (b < 0x80 && !(c && c->first == char16_t(b)))
            m_asciiIsItself = false;
    }
    for (int lead = 0; lead < 256; ++lead) {
        if (!m_lead[lead])
            continue;
        for (int trail = 0; trail < 256; ++trail) {
            const uchar two[2] = {uchar(lead), uchar(trail)};
            const auto c = convertOne(cd, two, 2, nullptr);
            if (c && c->second == 2)
                m_pairs[size_t(lead) << 8 | size_t(trail)] = utf8Entry(c->first);
        }
    }
}

const Cp932Chars& Cp932Chars::instance()
{
    static const Cp932Chars chars;
    return chars;
}

EncodeResult encodeCp932(const QString& text)
{
    EncodeResult r;
    const qsizetype n = text.size();
    if (n == 0)
        return r;
    iconv_t cd = handles().encoder();
    // No character takes more than two bytes.
    QByteArray out(n * 2, Qt::Uninitialized);
    qsizetype outLen = 0;
    const char16_t* u = reinterpret_cast<const char16_t*>(text.constData());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = u[i];
        if (c < 0x00A5)
            continue;  // iconv alone decides about these
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
                ++i;  // a whole pair: iconv decides (and refuses)
                continue;
            }
            return failAt(text, i);
        }
        const bool escaped = isEscapedByte(c);
        if (!escaped && !QChar::isLowSurrogate(c) && !isRefusedByCp932(c))
            continue;
        const qsizetype bad = encodeRun(cd, text, runStart, i, out, &outLen);
        if (bad >= 0)
            return failAt(text, bad);
        if (!escaped)
            return failAt(text, i);
        if (outLen >= out.size())
            out.resize(out.size() * 2 + 16);
        out[outLen++] = char(c - kEscapeBase);
        runStart = i + 1;
    }
    const qsizetype bad = encodeRun(cd, text, runStart, n, out, &outLen);
    if (bad >= 0)
        return failAt(text, bad);
    out.truncate(outLen);
    r.bytes = std::move(out);
    return r;
}

EncodeResult encodeText(const QString& text, TextEncoding enc)
{
    switch (enc) {
        case TextEncoding::Utf8:
            return encodeUtf8(text, false);
        case TextEncoding::Utf8Bom:
            return encodeUtf8(text, true);
        case TextEncoding::Cp932:
            break;
    }
    return encodeCp932(text);
}

TextEncoding detectDataEncoding(const QByteArray& bytes)
{
    return hasUtf8Bom(bytes) ? TextEncoding::Utf8Bom : TextEncoding::Cp932;
}

namespace {

// Valid UTF-8 that CP932 text could not have produced by chance: a three- or
// four-byte sequence, a second byte below A1 (not a half-width katakana), or
// two-byte characters that are all Latin letters with accents (café). Pairs
// of half-width katakana (ﾈｺ = C8 BA) decode to Cyrillic, IPA or combining
// marks, which a Japanese page almost never holds.
bool plausibleUtf8(const uchar* p, qsizetype n)
{
    bool sawTwoByte = false;
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xE0)
            return true;
        const uchar trail = p[i + 1];
        if (trail < 0xA1)
            return true;
        const int cp = ((b & 0x1F) << 6) | (trail & 0x3F);
        if (cp > 0x17F)
            return false;
        sawTwoByte = true;
        i += 2;
    }
    return sawTwoByte;
}

// Code units of bytes or of text, compared as ASCII.
template <typename Ch>
char16_t unit(Ch c)
{
    return char16_t(std::make_unsigned_t<Ch>(c));
}

template <typename Ch>
bool asciiStartsWithNoCase(const Ch* p, const Ch* end, const char* word)
{
    for (; *word; ++word, ++p) {
        if (p >= end)
            return false;
        char16_t c = unit(*p);
        if (c >= 'A' && c <= 'Z')
            c = char16_t(c - 'A' + 'a');
        if (c != char16_t(*word))
            return false;
    }
    return true;
}

bool isCharsetNameUnit(char16_t c)
{
    return (c < 128 && std::isalnum(int(c))) || c == '_' || c == '-' || c == '.';
}

// Calls take(name in lower case, start, length) for each charset=... value
// in the first 4096 units, until take returns true.
template <typename Ch, typename Take>
void scanCharsets(const Ch* begin, qsizetype size, Take take)
{
    const Ch* end = begin + std::min<qsizetype>(size, 4096);
    for (const Ch* p = begin; p < end; ++p) {
        if ((unit(*p) | 0x20) != 'c' || !asciiStartsWithNoCase(p, end, "charset"))
            continue;
        const Ch* q = p + 7;
        while (q < end && (unit(*q) == ' ' || unit(*q) == '\t'))
            ++q;
        if (q >= end || unit(*q) != '=')
            continue;
        ++q;
        while (q < end && (unit(*q) == ' ' || unit(*q) == '\t' || unit(*q) == '"' || unit(*q) == '\''))
            ++q;
        const Ch* nameStart = q;
        QByteArray name;
        while (q < end && isCharsetNameUnit(unit(*q)))
            name += char(std::tolower(int(unit(*q++))));
        if (take(name, qsizetype(nameStart - begin), qsizetype(q - nameStart)))
            return;
    }
}

std::optional<TextEncoding> encodingNamed(const QByteArray& name)
{
    if (name == "utf-8" || name == "utf8")
        return TextEncoding::Utf8;
    static const char* const sjis[] = {"shift_jis", "shift-jis", "sjis",     "x-sjis",     "windows-31j",
                                       "cp932",     "ms932",     "ms_kanji", "csshiftjis", "x-ms-cp932"};
    for (const char* s : sjis) {
        if (name == s)
            return TextEncoding::Cp932;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TextEncoding> declaredEncoding(const QByteArray& bytes)
{
    // Another charset, or a word that only looked like one: keep looking.
    std::optional<TextEncoding> found;
    scanCharsets(bytes.constData(), bytes.size(), [&](const QByteArray& name, qsizetype, qsizetype) {
        found = encodingNamed(name);
        return found.has_value();
    });
    return found;
}

std::optional<DeclaredCharset> declaredCharset(const QString& text)
{
    std::optional<DeclaredCharset> found;
    scanCharsets(reinterpret_cast<const char16_t*>(text.utf16()), text.size(),
                 [&](const QByteArray& name, qsizetype start, qsizetype length) {
                     if (const auto enc = encodingNamed(name))
                         found = DeclaredCharset{*enc, start, length};
                     return found.has_value();
                 });
    return found;
}

TextEncoding detectDocumentEncoding(const QByteArray& bytes)
{
    if (hasUtf8Bom(bytes))
        return TextEncoding::Utf8Bom;
    if (const auto declared = declaredEncoding(bytes))
        return *declared;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    bool hasHigh = false;
    if (isValidUtf8(p, bytes.size(), &hasHigh) && hasHigh && plausibleUtf8(p, bytes.size()))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

void DocumentEncodingSniffer::feed(QByteArrayView piece)
{
    const auto* p = reinterpret_cast<const uchar*>(piece.data());
    const qsizetype n = piece.size();
    if (!m_started) {
        m_started = true;
        const QByteArray head = piece.first(std::min<qsizetype>(n, 4096)).toByteArray();
        if (hasUtf8Bom(head))
            m_settled = TextEncoding::Utf8Bom;
        else if (const auto declared = declaredEncoding(head))
            m_settled = declared;
    }
    if (m_settled || !m_valid)
        return;
    bool high = false;
    m_valid = isValidUtf8(p, n, &high);
    m_high = m_high || high;
    if (!m_valid || !high || m_plausible >= 0)
        return;
    // As plausibleUtf8, carried over the pieces: the first telling sequence decides.
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xE0 || p[i + 1] < 0xA1) {
            m_plausible = 1;
            return;
        }
        if ((((b & 0x1F) << 6) | (p[i + 1] & 0x3F)) > 0x17F) {
            m_plausible = 0;
            return;
        }
        m_sawTwoByte = true;
        i += 2;
    }
}

TextEncoding DocumentEncodingSniffer::verdict() const
{
    if (m_settled)
        return *m_settled;
    const bool plausible = m_plausible == 1 || (m_plausible < 0 && m_sawTwoByte);
    return m_valid && m_high && plausible ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

QString decodeText(const QByteArray& bytes, TextEncoding enc)
{
    switch (enc) {
        case TextEncoding::Utf8:
            return decodeUtf8(bytes, 0);
        case TextEncoding::Utf8Bom:
            return decodeUtf8(bytes, hasUtf8Bom(bytes) ? 3 : 0);
        case TextEncoding::Cp932:
            break;
    }
    return decodeCp932(bytes);
}

QString textFromUtf8(QByteArrayView utf8)
{
    qsizetype marks = 0;
    while (utf8.sliced(marks * 3).startsWith("\xEF\xBB\xBF"))
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(utf8);
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.sliced(marks * 3));
}

QString describeChar(const QString& ch)
{
    if (ch.isEmpty())
        return QString();
    QStringList codes;
    bool printable = true;
    for (qsizetype i = 0; i < ch.size(); ++i) {
        char32_t cp = ch.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < ch.size() && QChar::isLowSurrogate(ch.at(i + 1).unicode())) {
            cp = QChar::surrogateToUcs4(ch.at(i), ch.at(i + 1));
            ++i;
        }
        if (QChar::isSurrogate(cp) || !QChar::isPrint(cp) || QChar::isSpace(cp))
            printable = false;
        codes << QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
    }
    const QString code = codes.join(QLatin1Char(' '));
    // A control character, a blank or a kept byte cannot be shown in a
    // message; the code alone names it.
    if (!printable)
        return code;
    return QStringLiteral("%1 (%2)").arg(ch, code);
}

}  // namespace tw
