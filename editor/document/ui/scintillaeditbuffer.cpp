#include "editor/document/ui/scintillaeditbuffer.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tw {

namespace {
// The box keeps its text (and a byte of style for each byte) with a gap for
// what is typed next. Once the gap is used up, the next key copies the whole
// text into a larger buffer, which on a page of some megabytes takes longer
// than a key may; so some room is kept ahead, made when typing pauses.
qsizetype roomFor(qsizetype bytes)
{
    return std::max<qsizetype>(256 << 10, bytes / 32);
}
}  // namespace

ScintillaEditBuffer::ScintillaEditBuffer(RichTextBox* box) : m_box(box)
{
    m_box->m_adapter = this;
    m_roomLater.setSingleShot(true);
    m_roomLater.setInterval(1000);
    connect(&m_roomLater, &QTimer::timeout, this,
            [this] { makeRoom(m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)); });
}

void ScintillaEditBuffer::makeRoom(qsizetype bytes)
{
    m_capacity = bytes + roomFor(bytes);
    m_box->SendScintilla(QsciScintillaBase::SCI_ALLOCATE, (unsigned long)m_capacity);
}

ScintillaEditBuffer::~ScintillaEditBuffer()
{
    if (m_box->m_adapter == this)
        m_box->m_adapter = nullptr;
}

QString ScintillaEditBuffer::withCrLf(const QString& text)
{
    qsizetype lone = 0;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r') {
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
            else
                ++lone;
        } else if (s[i] == u'\n') {
            ++lone;
        }
    }
    if (lone == 0)
        return text;
    QString out;
    out.reserve(n + lone);
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r' || s[i] == u'\n') {
            out += QStringLiteral("\r\n");
            if (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n')
                ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

QString ScintillaEditBuffer::text() const
{
    const long bytes = m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    // Gathers the gap of the box's buffer, so the whole text is one piece.
    m_box->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER);
    QString all = m_box->readRange(0, bytes);
    m_box->resolveInsert();
    if (m_box->composing() && hasPendingEdits()) {
        // Without the text still being composed.
        std::vector<TextEdit> undo;
        for (const TextEdit& e : pendingEdits())
            undo.insert(undo.begin(), TextEdit{e.position, e.inserted, e.removed});
        for (const TextEdit& e : undo)
            all.replace(e.position, e.removed.size(), e.inserted);
    }
    return all;
}

qsizetype ScintillaEditBuffer::length() const
{
    return m_box->toOffset(m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
}

QString ScintillaEditBuffer::textRange(qsizetype start, qsizetype length) const
{
    const qsizetype from = m_box->toPosition(start);
    const qsizetype to = m_box->toPosition(start + std::max<qsizetype>(length, 0));
    return m_box->readRange(long(from), long(to));
}

qsizetype ScintillaEditBuffer::selectionStart() const
{
    return m_box->toOffset(m_box->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
}

qsizetype ScintillaEditBuffer::selectionLength() const
{
    return m_box->toOffset(m_box->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)) - selectionStart();
}

QString ScintillaEditBuffer::selectedText() const
{
    return textRange(selectionStart(), selectionLength());
}

template <typename F>
void ScintillaEditBuffer::programChange(F&& change)
{
    m_inOperation = true;
    change();
    m_box->resolveInsert();
    m_inOperation = false;
    finishChange();
}

void ScintillaEditBuffer::ReplaceSelection(const QString& text)
{
    std::vector<RichTextBox::CharMark> marks;
    const QByteArray utf8 = RichTextBox::boxBytes(withCrLf(text), marks);
    programChange([&] {
        const long at = m_box->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        m_box->SendScintilla(QsciScintillaBase::SCI_REPLACESEL, utf8.constData());
        m_box->putMarks(at, marks);
    });
}

void ScintillaEditBuffer::SetText(const QString& text)
{
    const QString crlf = withCrLf(text);
    std::vector<RichTextBox::CharMark> marks;
    const QByteArray utf8 = RichTextBox::boxBytes(crlf, marks);
    programChange([&] {
        // The new text is known: the edit takes it as it is, instead of
        // reading a second copy of a large page back from the box.
        const QString old = this->text();
        if (!old.isEmpty() || !crlf.isEmpty())
            recordEdit(0, old, crlf);
        m_box->m_recording = false;
        // Emptied first, so that making room copies nothing.
        m_box->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        makeRoom(utf8.size());
        m_box->SendScintilla(QsciScintillaBase::SCI_SETTEXT, utf8.constData());
        m_box->putMarks(0, marks);
        m_box->m_recording = true;
        m_box->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    });
}

void ScintillaEditBuffer::SetSelection(qsizetype start, qsizetype length)
{
    const qsizetype from = m_box->toPosition(start);
    const qsizetype to = m_box->toPosition(start + std::max<qsizetype>(length, 0));
    m_box->SendScintilla(QsciScintillaBase::SCI_SETSEL, (unsigned long)from, long(to));
}

void ScintillaEditBuffer::replaceRanges(const std::vector<TextEdit>& edits)
{
    programChange([&] {
        for (const TextEdit& e : edits) {
            std::vector<RichTextBox::CharMark> marks;
            const QByteArray utf8 = RichTextBox::boxBytes(withCrLf(e.inserted), marks);
            const qsizetype from = m_box->toPosition(e.position);
            const qsizetype to = m_box->toPosition(e.position + e.removed.size());
            m_box->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, (unsigned long)from, long(to));
            m_box->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, (unsigned long)utf8.size(), utf8.constData());
            m_box->putMarks(long(from), marks);
        }
    });
}

// Scintilla's interface for reading a document in pieces (ILoader), as the
// engine declares it: a document not shown anywhere that grows by appending.
// Its implementation is in the engine's library, so the class must not have
// internal linkage: the compiler would take the pure functions for the only
// ones there are.
class SciLoader {
public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~SciLoader() = default;
};

// The engine's loader object is of a class this program cannot name, so the
// undefined-behaviour sanitizer's type check of calls through SciLoader is
// left out for the three calls that use it.
#define TW_ENGINE_CALL __attribute__((no_sanitize("vptr")))

class ScintillaLoad : public TextLoad {
public:
    ScintillaLoad(ScintillaEditBuffer& buffer, SciLoader* loader, qsizetype capacity)
        : m_buffer(buffer),
          m_loader(loader),
          m_capacity(capacity)
    {
    }
    TW_ENGINE_CALL ~ScintillaLoad() override
    {
        if (m_loader)
            m_loader->Release();
    }
    TW_ENGINE_CALL bool append(QByteArrayView utf8, const std::vector<CharMark>& marks) override
    {
        if (!m_loader || m_loader->AddData(utf8.data(), utf8.size()) != 0)
            return false;
        for (const CharMark& m : marks)
            m_marks.push_back(CharMark{m_length + m.at, m.unit});
        m_length += utf8.size();
        return true;
    }
    TW_ENGINE_CALL void commit() override
    {
        RichTextBox* box = m_buffer.m_box;
        void* document = m_loader->ConvertToDocument();
        m_loader = nullptr;
        m_buffer.m_inOperation = true;
        box->showDocument(document);
        box->putMarks(0, m_marks);
        m_buffer.m_capacity = m_capacity;
        m_buffer.m_inOperation = false;
        m_buffer.finishChange();
    }

private:
    ScintillaEditBuffer& m_buffer;
    SciLoader* m_loader;
    std::vector<CharMark> m_marks;
    qsizetype m_length = 0;
    qsizetype m_capacity;
};

std::unique_ptr<TextLoad> ScintillaEditBuffer::beginLoad(qsizetype expectedBytes)
{
    // A large text is kept without a byte of style for each of its bytes.
    const long options = expectedBytes >= kUnstyledFromBytes ? long(QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE)
                                                             : long(QsciScintillaBase::SC_DOCUMENTOPTION_DEFAULT);
    SciLoader* loader = nullptr;
    try {
        loader = reinterpret_cast<SciLoader*>(
            m_box->SendScintilla(QsciScintillaBase::SCI_CREATELOADER, (unsigned long)expectedBytes, options));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!loader)
        return nullptr;
    return std::make_unique<ScintillaLoad>(*this, loader, expectedBytes);
}

QByteArray ScintillaEditBuffer::contentDigest() const
{
    if (m_box->composing())
        return EditBuffer::contentDigest();
    const long bytes = m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const char* p =
        reinterpret_cast<const char*>(m_box->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    TextDigest d;
    d.addUtf8(QByteArrayView(p, bytes));
    return d.result();
}

void ScintillaEditBuffer::finishChange()
{
    m_box->updateMarginWidth();
    const qsizetype bytes = m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    if (bytes + roomFor(bytes) / 2 > m_capacity)
        m_roomLater.start();
    // The box's own undo store is never used; it only serves the input
    // method, which takes composed text out again through it.
    m_box->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    notifyChanged();
}

}  // namespace tw
