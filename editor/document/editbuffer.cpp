#include "editor/document/editbuffer.h"

#include "common/textcodec.h"

#include <QCryptographicHash>

#include <algorithm>

namespace tw {

namespace {
const char kPlaceholder[] = "\xEF\xBF\xBD";  // U+FFFD

bool isLoneSurrogateAt(const QChar* s, qsizetype n, qsizetype i)
{
    const char16_t u = s[i].unicode();
    if (QChar::isHighSurrogate(u))
        return i + 1 >= n || !QChar::isLowSurrogate(s[i + 1].unicode());
    if (QChar::isLowSurrogate(u))
        return i == 0 || !QChar::isHighSurrogate(s[i - 1].unicode());
    return false;
}
}  // namespace

QByteArray boxUtf8(QStringView text, std::vector<CharMark>& marks)
{
    marks.clear();
    const QChar* s = text.data();
    const qsizetype n = text.size();
    QByteArray out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!QChar::isSurrogate(s[i].unicode()) || !isLoneSurrogateAt(s, n, i))
            continue;
        if (out.isEmpty() && runStart == 0)
            out.reserve(n + 16);
        out += QStringView(s + runStart, i - runStart).toUtf8();
        marks.push_back(CharMark{out.size(), s[i].unicode()});
        out += kPlaceholder;
        runStart = i + 1;
    }
    if (runStart == 0)
        return text.toUtf8();
    out += QStringView(s + runStart, n - runStart).toUtf8();
    return out;
}

struct TextDigest::Impl {
    QCryptographicHash hash{QCryptographicHash::Blake2b_256};
};

TextDigest::TextDigest() : m(std::make_unique<Impl>()) {}
TextDigest::~TextDigest() = default;

void TextDigest::addUtf8(QByteArrayView bytes)
{
    m->hash.addData(bytes);
}

void TextDigest::addText(QStringView text)
{
    // In pieces, so that a large text is never converted as a whole; a
    // piece never ends between the two halves of a pair.
    constexpr qsizetype kPiece = 1 << 20;
    std::vector<CharMark> marks;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = std::min(text.size(), at + kPiece);
        if (end < text.size() && QChar::isHighSurrogate(text[end - 1].unicode()))
            ++end;
        m->hash.addData(boxUtf8(text.mid(at, end - at), marks));
        at = end;
    }
}

QByteArray TextDigest::result()
{
    return m->hash.result();
}

// The text gathered in memory and set in one SetText: for buffers without a
// store of their own to read into.
class CollectingLoad : public TextLoad {
public:
    explicit CollectingLoad(EditBuffer& buffer) : m_buffer(buffer) {}
    bool append(QByteArrayView utf8, const std::vector<CharMark>& marks) override
    {
        const qsizetype base = m_text.size();
        QString piece = textFromUtf8(utf8);
        // Each placeholder is one unit, so its place in the piece is the
        // number of units its bytes before it make.
        for (const CharMark& mark : marks)
            piece[textFromUtf8(utf8.first(mark.at)).size()] = QChar(mark.unit);
        m_text.insert(base, piece);
        return true;
    }
    void commit() override { m_buffer.SetText(m_text); }

private:
    EditBuffer& m_buffer;
    QString m_text;
};

std::unique_ptr<TextLoad> EditBuffer::beginLoad(qsizetype)
{
    return std::make_unique<CollectingLoad>(*this);
}

QByteArray EditBuffer::contentDigest() const
{
    TextDigest d;
    d.addText(text());
    return d.result();
}

void MemoryEditBuffer::edit(qsizetype position, qsizetype length, const QString& inserted)
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    length = std::clamp<qsizetype>(length, 0, m_text.size() - position);
    if (length == 0 && inserted.isEmpty())
        return;
    recordEdit(position, m_text.mid(position, length), inserted);
    m_text.replace(position, length, inserted);
}

void MemoryEditBuffer::ReplaceSelection(const QString& text)
{
    edit(m_start, m_length, text);
    m_start += text.size();
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetText(const QString& text)
{
    edit(0, m_text.size(), text);
    m_start = 0;
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetSelection(qsizetype start, qsizetype length)
{
    m_start = std::clamp<qsizetype>(start, 0, m_text.size());
    m_length = std::clamp<qsizetype>(length, 0, m_text.size() - m_start);
}

void MemoryEditBuffer::replaceRanges(const std::vector<TextEdit>& edits)
{
    for (const TextEdit& e : edits)
        edit(e.position, e.removed.size(), e.inserted);
    m_start = std::min(m_start, m_text.size());
    m_length = std::min(m_length, m_text.size() - m_start);
    notifyChanged();
}

}  // namespace tw
