#include "editor/tags/chtml.h"

#include "editor/document/editbuffer.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <memory>
#include <vector>

namespace tw {

namespace {

const char* const kBoldWords[] = {
    "asm",      "explicit", "false", "friend",   "inline", "namespace", "reinterpret_cast",
    "template", "this",     "true",  "TypeName", "using",  "virtual",   "NULL"};
const char* const kPurpleWords[] = {"private",     "protected", "public",     "const_cast", "dynamic_cast",
                                    "static_cast", "auto",      "__declspec", "extern",     "mutable",
                                    "Register",    "typedef",   "static"};
const char* const kBlueWords[] = {"__classid", "Delete", "delete", "Else",     "else",      "if",    "new",
                                  "operator",  "sizeof", "typeid", "break",    "case",      "catch", "continue",
                                  "Default",   "do",     "Do",     "__except", "__finally", "for",   "goto",
                                  "return",    "Return", "switch", "Switch",   "throw",     "try",   "while"};
const char* const kRedWords[] = {"Char",  "char",  "Class",    "class",   "double", "enum",   "float",
                                 "Float", "int",   "long",     "Short",   "short",  "signed", "struct",
                                 "Union", "union", "unsigned", "wchar_t", "void",   "bool"};
const char* const kGreenWords[] = {"#define", "#elif",   "#Else", "#End If", "#error", "#if",
                                   "#ifdef",  "#ifndef", "#line", "#pragma", "#undef", "#include"};

QString fontOpen(const char* colour)
{
    return QStringLiteral("<FONT color=\"") + QLatin1String(colour) + QStringLiteral("\"><B>");
}

QList<CHtmlPass> buildPasses()
{
    const QString close = QStringLiteral("</B></FONT>");
    QList<CHtmlPass> p;
    p.append({QStringLiteral("<"), QStringLiteral("&lt")});
    p.append({QStringLiteral(">"), QStringLiteral("&gt")});
    for (const char* w : kBoldWords) {
        const QString k = QLatin1String(w);
        p.append({k, QStringLiteral("<b>") + k + QStringLiteral("</b>")});
    }
    const auto marked = [&](const char* const* words, std::size_t count, const char* colour) {
        const QString open = fontOpen(colour);
        for (std::size_t i = 0; i < count; ++i) {
            const QString k = QLatin1String(words[i]);
            p.append({k, open + k + close});
        }
    };
    marked(kPurpleWords, std::size(kPurpleWords), "purple");
    marked(kBlueWords, std::size(kBlueWords), "blue");
    p.append({QStringLiteral("/*"), QStringLiteral("<FONT color=\"blue\">/*")});
    p.append({QStringLiteral("*/"), QStringLiteral("*/</FONT>")});
    // Type words count only with a space behind them; the space ends up after the markup.
    const QString red = fontOpen("red");
    for (const char* w : kRedWords) {
        const QString k = QLatin1String(w);
        p.append({k + u' ', red + k + close + u' '});
    }
    marked(kGreenWords, std::size(kGreenWords), "green");
    p.append({QStringLiteral("printf("), QStringLiteral("printf(<FONT color=\"green\">")});
    p.append({QStringLiteral("scanf("), QStringLiteral("scanf(<FONT color=\"green\">")});
    p.append({QStringLiteral("\")"), QStringLiteral("\"</FONT>)")});
    p.append({QStringLiteral("\","), QStringLiteral("\"</FONT>,")});
    p.append({QStringLiteral("\" ,"), QStringLiteral("\"</FONT> ,")});
    return p;
}

// Output written straight into one string that grows geometrically, so a
// large document is not copied again for its wrapping.
class Writer {
public:
    explicit Writer(qsizetype expected)
    {
        m_out.resize(std::max<qsizetype>(expected, 16));
        m_data = reinterpret_cast<char16_t*>(m_out.data());
        m_cap = m_out.size();
    }
    void put(char16_t c)
    {
        if (m_len == m_cap)
            grow(1);
        m_data[m_len++] = c;
    }
    void put(const char16_t* s, qsizetype n)
    {
        if (n > m_cap - m_len)
            grow(n);
        char16_t* o = m_data + m_len;
        if (n <= 16) {
            // Most pieces are a few characters: a library call costs more than the copy.
            for (qsizetype i = 0; i < n; ++i)
                o[i] = s[i];
        } else {
            std::memcpy(o, s, std::size_t(n) * sizeof(char16_t));
        }
        m_len += n;
    }
    void put(QStringView s) { put(s.utf16(), s.size()); }
    QString take()
    {
        m_out.truncate(m_len);
        if (m_out.capacity() - m_len > m_len / 8 + 64)
            m_out.squeeze();
        return std::move(m_out);
    }

private:
    void grow(qsizetype need)
    {
        const qsizetype cap = std::max(m_cap + m_cap / 2, m_len + need) + 64;
        m_out.resize(cap);
        m_data = reinterpret_cast<char16_t*>(m_out.data());
        m_cap = cap;
    }

    QString m_out;
    char16_t* m_data = nullptr;
    qsizetype m_len = 0;
    qsizetype m_cap = 0;
};

// The fast form of the conversion rests on one property of the substitution
// table: between some neighbouring characters of the source no occurrence of
// any search text can ever form, in the source or in any intermediate text.
// At such a cut the text can be split and each piece converted on its own;
// the pieces' results, joined, equal the result of the whole. An occurrence
// crossing a cut would have to contain the last character of the converted
// left piece followed by the first character of the converted right piece
// as neighbours. Those characters are the source characters themselves or
// the first and last characters of replacements whose matches touch the cut,
// which gives the sets computed below. Pieces are short in real source
// (mostly a word with its trailing space, or one punctuation character) and
// repeat a lot, so each distinct piece is converted once, pass by pass, and
// its result remembered.
class Converter {
public:
    Converter() : m_passes(cToHtmlPasses())
    {
        std::array<std::bitset<128>, 128> follows;  // follows[x][y]: "xy" occurs in some search text
        for (const CHtmlPass& p : m_passes) {
            Q_ASSERT(!p.find.isEmpty() && !p.replacement.isEmpty());
            for (QChar c : p.find)
                Q_ASSERT(c.unicode() < 128);
            Q_ASSERT(p.replacement.front().unicode() < 128 && p.replacement.back().unicode() < 128);
            for (qsizetype i = 0; i + 1 < p.find.size(); ++i)
                follows[p.find.at(i).unicode()].set(p.find.at(i + 1).unicode());
        }
        std::array<std::bitset<128>, 128> lastChars;   // possible last characters left of a cut after a
        std::array<std::bitset<128>, 128> firstChars;  // possible first characters right of a cut before b
        for (int c = 0; c < 128; ++c) {
            std::bitset<128> last, first;
            last.set(c);
            first.set(c);
            for (const CHtmlPass& p : m_passes) {
                if (last.test(p.find.back().unicode()))
                    last.set(p.replacement.back().unicode());
                if (first.test(p.find.front().unicode()))
                    first.set(p.replacement.front().unicode());
            }
            lastChars[c] = last;
            firstChars[c] = first;
        }
        for (int a = 0; a < 128; ++a) {
            for (int b = 0; b < 128; ++b) {
                bool joined = false;
                for (int x = 0; x < 128 && !joined; ++x)
                    joined = lastChars[a].test(x) && (follows[x] & firstChars[b]).any();
                m_joined[a][b] = joined;
            }
        }
        for (int c = 0; c < 128; ++c) {
            m_single[c] = cToHtmlTextByPasses(QString(QChar(char16_t(c))));
            m_singleIsSame[c] = m_single[c].size() == 1 && m_single[c].at(0).unicode() == c;
        }
        for (int i = 0; i < m_passes.size(); ++i)
            m_byFirst[m_passes.at(i).find.front().unicode()].push_back(i);
    }

    // True when no cut may fall between a and b.
    bool joined(char16_t a, char16_t b) const { return (a | b) < 128 && m_joined[a][b]; }

    void putSingle(Writer& w, char16_t c) const
    {
        if (c >= 128 || m_singleIsSame[c])
            w.put(c);
        else
            w.put(m_single[c]);
    }

    // Whether any search text occurs in the piece; a piece without one comes
    // through every pass unchanged.
    bool containsSearchText(QStringView piece) const
    {
        for (qsizetype j = 0; j < piece.size(); ++j) {
            const char16_t c = piece.utf16()[j];
            if (c >= 128)
                continue;
            for (int idx : m_byFirst[c]) {
                const QString& f = m_passes.at(idx).find;
                if (f.size() <= piece.size() - j
                    && std::memcmp(piece.utf16() + j, f.utf16(), std::size_t(f.size()) * sizeof(char16_t)) == 0)
                    return true;
            }
        }
        return false;
    }

private:
    QList<CHtmlPass> m_passes;
    bool m_joined[128][128];
    std::array<QString, 128> m_single;
    std::array<bool, 128> m_singleIsSame{};
    std::array<std::vector<int>, 128> m_byFirst;
};

const Converter& converter()
{
    static const Converter c;
    return c;
}

// Results of the pieces met so far in one conversion. Keys point into the
// source, which outlives the cache.
class PieceCache {
public:
    static constexpr qsizetype kMaxKey = 48;

    explicit PieceCache(qsizetype sourceLength)
    {
        qsizetype size = 64;
        while (size < sourceLength / 4 && size < (qsizetype(1) << 14))
            size *= 2;
        m_slots.resize(std::size_t(size));
        m_mask = quint32(size - 1);
    }

    // Writes the converted piece.
    void put(Writer& w, const Converter& conv, const char16_t* key, qsizetype len, quint32 hash)
    {
        if (len > kMaxKey) {
            putConverted(w, conv, QStringView(key, len));
            return;
        }
        quint32 i = (hash ^ (hash >> 15)) & m_mask;
        for (;; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (!s.key)
                break;
            if (s.hash == hash && s.len == len && sameChars(s.key, key, len)) {
                if (s.outLen < 0)
                    w.put(key, len);
                else
                    w.put(QStringView(m_pool).utf16() + s.out, s.outLen);
                return;
            }
        }
        Slot fresh{key, hash, quint32(len), 0, -1};
        const QStringView piece(key, len);
        QString converted;
        const bool changed = conv.containsSearchText(piece);
        if (changed) {
            converted = cToHtmlTextByPasses(piece.toString());
            w.put(converted);
        } else {
            w.put(key, len);
        }
        // Past half full the table stops learning; later new pieces are converted each time.
        if (m_used * 2 < qsizetype(m_slots.size())) {
            if (changed) {
                fresh.out = m_pool.size();
                fresh.outLen = converted.size();
                m_pool += converted;
            }
            m_slots[i] = fresh;
            ++m_used;
        }
    }

private:
    struct Slot {
        const char16_t* key = nullptr;
        quint32 hash = 0;
        quint32 len = 0;
        qsizetype out = 0;
        qsizetype outLen = -1;  // < 0: the piece comes out unchanged
    };

    static bool sameChars(const char16_t* a, const char16_t* b, qsizetype n)
    {
        for (qsizetype i = 0; i < n; ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }

    static void putConverted(Writer& w, const Converter& conv, QStringView piece)
    {
        if (conv.containsSearchText(piece))
            w.put(cToHtmlTextByPasses(piece.toString()));
        else
            w.put(piece);
    }

    std::vector<Slot> m_slots;
    quint32 m_mask = 0;
    qsizetype m_used = 0;
    QString m_pool;
};

void putConverted(Writer& w, QStringView source)
{
    const Converter& conv = converter();
    PieceCache cache(source.size());
    const char16_t* s = source.utf16();
    const qsizetype n = source.size();
    qsizetype i = 0;
    while (i < n) {
        char16_t prev = s[i];
        quint32 hash = (2166136261u ^ prev) * 16777619u;
        qsizetype j = i + 1;
        while (j < n && conv.joined(prev, s[j])) {
            prev = s[j];
            hash = (hash ^ prev) * 16777619u;
            ++j;
        }
        if (j - i == 1)
            conv.putSingle(w, s[i]);
        else
            cache.put(w, conv, s + i, j - i, hash);
        i = j;
    }
}

QString pageHead()
{
    return QStringLiteral(
        "<HTML lang=\"ja\">\r\n"
        "<HEAD>\r\n"
        "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">\r\n"
        "<TITLE>タイトル</TITLE></HEAD>\r\n"
        "<BODY>\r\n"
        "<PRE>\r\n");
}

QString pageTail()
{
    return QStringLiteral("\r\n</PRE>\r\n</BODY>\r\n</HTML>");
}

const QString& blockHead()
{
    static const QString s = QStringLiteral("<PRE>");
    return s;
}

const QString& blockTail()
{
    static const QString s = QStringLiteral("\r\n</PRE>");
    return s;
}

QString convertWrapped(const QString& head, const QString& source, const QString& tail)
{
    // Real source comes out two to three times as long; room that is never
    // written costs no memory, and growing would copy.
    Writer w(head.size() + source.size() * 5 / 2 + tail.size());
    w.put(head);
    putConverted(w, source);
    w.put(tail);
    return w.take();
}

}  // namespace

const QList<CHtmlPass>& cToHtmlPasses()
{
    static const QList<CHtmlPass> passes = buildPasses();
    return passes;
}

QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return text;
    qsizetype at = text.indexOf(find, 0, Qt::CaseSensitive);
    if (at < 0)
        return text;
    QString out;
    out.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 4 + replacement.size() : 0));
    qsizetype from = 0;
    while (at >= 0) {
        out.append(text.constData() + from, at - from);
        out.append(replacement);
        from = at + find.size();
        at = text.indexOf(find, from, Qt::CaseSensitive);
    }
    out.append(text.constData() + from, text.size() - from);
    return out;
}

QString cToHtmlTextByPasses(const QString& source)
{
    QString text = source;
    for (const CHtmlPass& p : cToHtmlPasses())
        text = ReplaceAllText(text, p.find, p.replacement);
    return text;
}

QString cToHtmlText(const QString& source)
{
    return convertWrapped(QString(), source, QString());
}

QString cToHtmlBlock(const QString& converted)
{
    return blockHead() + converted + blockTail();
}

QString cToHtmlPage(const QString& converted)
{
    return pageHead() + converted + pageTail();
}

void ConvertCToHtml(EditBuffer& buffer)
{
    if (buffer.selectionLength() != 0)
        buffer.ReplaceSelection(convertWrapped(blockHead(), buffer.selectedText(), blockTail()));
    else
        buffer.SetText(convertWrapped(pageHead(), buffer.text(), pageTail()));
}

}  // namespace tw
