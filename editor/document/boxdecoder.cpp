#include "editor/document/boxdecoder.h"

#include <bit>
#include <cstring>

namespace tw {

namespace {

constexpr quint64 kEveryByte(quint64 b)
{
    return b * 0x0101010101010101ULL;
}

// Bytes that need a look of their own: below 0x20 (breaks, controls) or from
// 0x80 up (characters of more than one byte). In a word of eight bytes, the
// first such byte is found exactly (a borrow only reaches the bytes after it).
inline quint64 specialBytes(quint64 w)
{
    return ((w - kEveryByte(0x20)) | w) & kEveryByte(0x80);
}

// Length of the strict UTF-8 sequence at p[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF, nothing cut off), 0 when it is none.
inline int utf8SequenceAt(const uchar* p, qsizetype n, qsizetype i)
{
    const uchar b = p[i];
    int len = 0;
    uchar lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0)
            lo = 0xA0;
        else if (b == 0xED)
            hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > n || p[i + 1] < lo || p[i + 1] > hi)
        return 0;
    for (int k = 2; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
    }
    return len;
}

// A byte the encoding cannot read: U+FFFD in the box, with a mark that
// carries the byte (as the lone surrogate decodeText keeps it as).
inline char* keep(uchar b, char* o, const char* base, std::vector<CharMark>& marks)
{
    marks.push_back(CharMark{qsizetype(o - base), char16_t(0xDC00 + b)});
    *o++ = char(0xEF);
    *o++ = char(0xBF);
    *o++ = char(0xBD);
    return o;
}

inline char* put(quint32 entry, char* o)
{
    o[0] = char(entry & 0xFF);
    o[1] = char((entry >> 8) & 0xFF);
    o[2] = char((entry >> 16) & 0xFF);
    return o + (entry >> 24);
}

// Copies printable ASCII eight bytes at a time from p[*i] to *o, up to the
// first byte that needs a look of its own (or the last whole word).
inline void copyPlain(const uchar* p, qsizetype n, qsizetype* i, char** o)
{
    while (*i + 8 <= n) {
        quint64 w;
        std::memcpy(&w, p + *i, sizeof w);
        // All eight are stored; only those before a special byte count.
        std::memcpy(*o, &w, sizeof w);
        const quint64 special = specialBytes(w);
        if (special) {
            const int k = std::countr_zero(special) >> 3;
            *i += k;
            *o += k;
            return;
        }
        *i += 8;
        *o += 8;
    }
}

}  // namespace

BoxDecoder::BoxDecoder(TextEncoding encoding) : m_encoding(encoding) {}

void BoxDecoder::decode(QByteArrayView piece, QByteArray& out, std::vector<CharMark>& marks)
{
    const auto* p = reinterpret_cast<const uchar*>(piece.data());
    qsizetype n = piece.size();
    if (m_atStart && n > 0) {
        m_atStart = false;
        if (m_encoding == TextEncoding::Utf8Bom && n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
            p += 3;
            n -= 3;
        }
    }
    if (n == 0)
        return;
    if (m_afterCr && p[0] == '\n') {
        // The LF of a CR LF whose CR ended the piece before: already written.
        --m_breaks.cr;
        ++m_breaks.crLf;
        ++p;
        --n;
    }
    m_afterCr = n > 0 && p[n - 1] == '\r';
    const qsizetype at = out.size();
    // No byte becomes more than three; eight more for the stores of whole words.
    out.resize(at + 3 * n + 8);
    char* base = out.data() + at;
    char* end =
        m_encoding == TextEncoding::Cp932 ? decodeCp932(p, n, base, base, marks) : decodeUtf8(p, n, base, base, marks);
    out.resize(at + (end - base));
}

qsizetype BoxDecoder::control(const uchar* p, qsizetype n, qsizetype i, char*& o)
{
    const uchar b = p[i];
    if (b == '\r' || b == '\n') {
        *o++ = '\r';
        *o++ = '\n';
        if (b == '\n') {
            ++m_breaks.lf;
            return 1;
        }
        if (i + 1 < n && p[i + 1] == '\n') {
            ++m_breaks.crLf;
            return 2;
        }
        ++m_breaks.cr;
        return 1;
    }
    if (b != '\t' && b != '\f' && b != 0x1B)
        m_binary = true;
    *o++ = char(b);
    return 1;
}

void BoxDecoder::judge(const uchar* seq, int len)
{
    // Valid UTF-8 that CP932 text could not have made by chance (a sequence
    // of three or four bytes, a second byte below A1), or two-byte
    // characters that are all Latin letters with accents; pairs of
    // half-width katakana decode to other letters.
    if (len > 2 || seq[1] < 0xA1) {
        m_plausible = 1;
        return;
    }
    if ((((seq[0] & 0x1F) << 6) | (seq[1] & 0x3F)) > 0x17F) {
        m_plausible = 0;
        return;
    }
    m_sawTwoByte = true;
}

TextEncoding BoxDecoder::utf8Verdict() const
{
    const bool plausible = m_plausible == 1 || (m_plausible < 0 && m_sawTwoByte);
    return !m_invalid && m_high && plausible ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

char* BoxDecoder::decodeUtf8(const uchar* p, qsizetype n, char* o, char* base, std::vector<CharMark>& marks)
{
    qsizetype i = 0;
    while (i < n) {
        copyPlain(p, n, &i, &o);
        if (i >= n)
            break;
        const uchar b = p[i];
        if (b < 0x20) {
            i += control(p, n, i, o);
        } else if (b < 0x80) {
            *o++ = char(b);
            ++i;
        } else {
            m_high = true;
            if (const int len = utf8SequenceAt(p, n, i)) {
                if (m_plausible < 0)
                    judge(p + i, len);
                std::memcpy(o, p + i, size_t(len));
                o += len;
                i += len;
            } else {
                m_invalid = true;
                o = keep(b, o, base, marks);
                ++i;
            }
        }
    }
    return o;
}

char* BoxDecoder::decodeCp932(const uchar* p, qsizetype n, char* o, char* base, std::vector<CharMark>& marks)
{
    const Cp932Chars& cp932 = Cp932Chars::instance();
    const bool asciiIsItself = cp932.asciiIsItself();
    qsizetype i = 0;
    while (i < n) {
        if (asciiIsItself)
            copyPlain(p, n, &i, &o);
        if (i >= n)
            break;
        const uchar b = p[i];
        if (b < 0x20) {
            i += control(p, n, i, o);
            continue;
        }
        if (cp932.isLead(b) && i + 1 < n) {
            if (const quint32 c = cp932.pair(b, p[i + 1])) {
                o = put(c, o);
                i += 2;
                continue;
            }
        }
        // A byte on its own; ASCII the converter refuses is still itself.
        if (const quint32 c = cp932.isLead(b) ? 0 : cp932.single(b))
            o = put(c, o);
        else if (b < 0x80)
            *o++ = char(b);
        else
            o = keep(b, o, base, marks);
        ++i;
    }
    return o;
}

}  // namespace tw
