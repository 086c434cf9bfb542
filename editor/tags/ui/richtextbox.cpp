#include "editor/tags/ui/richtextbox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace tw {

RichTextBox::RichTextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("RichTextBox1"));
    setAccessibleName(QStringLiteral("HTMLソース"));
    // The editor keeps its own history; the box's would only cost memory.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    setAcceptDrops(true);
}

bool RichTextBox::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // Undo, redo and select all are the editor's own menu commands.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) ||
            k->matches(QKeySequence::SelectAll) ||
            (k->modifiers() == Qt::ControlModifier && k->key() == Qt::Key_Y)) {
            e->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(e);
}

void RichTextBox::keyPressEvent(QKeyEvent* e)
{
    if (onKeyPress && onKeyPress(e)) {
        e->accept();
        return;
    }
    // Shift+Enter breaks the line like Enter: the document has no soft breaks.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && (e->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(), e->isAutoRepeat(),
                        ushort(e->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

namespace {
QString firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& u : data->urls())
        if (u.isLocalFile())
            return u.toLocalFile();
    return {};
}
}  // namespace

void RichTextBox::dragEnterEvent(QDragEnterEvent* e)
{
    if (!firstLocalFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();  // dragged text is not taken
}

void RichTextBox::dragMoveEvent(QDragMoveEvent* e)
{
    if (!firstLocalFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void RichTextBox::dropEvent(QDropEvent* e)
{
    const QString path = firstLocalFile(e->mimeData());
    if (path.isEmpty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (onFileDropped)
        onFileDropped(path);
}

PlainTextEditBuffer::PlainTextEditBuffer(QPlainTextEdit* edit) : m_edit(edit)
{
    // The box also says textChanged when only display formats change (tag
    // colouring does that); the document moves its cursors, and reports them,
    // before it says so, and only for an edit of the text.
    QTextDocument* doc = edit->document();
    m_endMarker = QTextCursor(doc);
    m_endMarker.movePosition(QTextCursor::End);
    QObject::connect(doc, &QTextDocument::cursorPositionChanged, edit, [this] { m_textEdited = true; });
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
        const bool edited = m_textEdited;
        m_textEdited = false;
        if (edited && !m_inOperation)
            notifyChanged();
    });
}

QString PlainTextEditBuffer::fromRaw(const QString& raw)
{
    auto isBreak = [](char16_t u) { return u == 0x2029 || u == 0x2028 || u == 0xFDD0 || u == 0xFDD1; };
    const char16_t* src = reinterpret_cast<const char16_t*>(raw.constData());
    const qsizetype n = raw.size();
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i)
        breaks += isBreak(src[i]) ? 1 : 0;
    if (breaks == 0)
        return raw;
    QString out(n + breaks, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < n; ++i) {
        if (isBreak(src[i])) {
            *dst++ = u'\r';
            *dst++ = u'\n';
        } else {
            *dst++ = src[i];
        }
    }
    return out;
}

QString PlainTextEditBuffer::toBoxText(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString PlainTextEditBuffer::text() const
{
    return fromRaw(m_edit->document()->toRawText());
}

qsizetype PlainTextEditBuffer::toOffset(int position) const
{
    const QTextBlock block = m_edit->document()->findBlock(position);
    return qsizetype(position) + (block.isValid() ? block.blockNumber() : 0);
}

int PlainTextEditBuffer::toPosition(qsizetype offset) const
{
    QTextDocument* doc = m_edit->document();
    if (offset <= 0)
        return 0;
    // The last block whose document offset starts at or before offset.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(mid);
        if (qsizetype(b.position()) + mid <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const qsizetype inBlock = offset - (qsizetype(block.position()) + lo);
    const int lineLength = block.length() - 1;  // without its break
    return block.position() + int(std::min<qsizetype>(inBlock, lineLength));
}

qsizetype PlainTextEditBuffer::selectionStart() const
{
    return toOffset(m_edit->textCursor().selectionStart());
}

qsizetype PlainTextEditBuffer::selectionLength() const
{
    const QTextCursor c = m_edit->textCursor();
    return toOffset(c.selectionEnd()) - toOffset(c.selectionStart());
}

QString PlainTextEditBuffer::selectedText() const
{
    return fromRaw(m_edit->textCursor().selectedText());
}

void PlainTextEditBuffer::ReplaceSelection(const QString& text)
{
    QTextCursor c = m_edit->textCursor();
    m_inOperation = true;
    c.beginEditBlock();
    c.insertText(toBoxText(text));
    c.endEditBlock();
    m_inOperation = false;
    m_edit->setTextCursor(c);
    notifyChanged();
}

void PlainTextEditBuffer::SetText(const QString& text)
{
    m_inOperation = true;
    m_edit->setPlainText(toBoxText(text));
    m_inOperation = false;
    QTextCursor c = m_edit->textCursor();
    c.setPosition(0);
    m_edit->setTextCursor(c);
    notifyChanged();
}

void PlainTextEditBuffer::SetSelection(qsizetype start, qsizetype length)
{
    QTextCursor c = m_edit->textCursor();
    c.setPosition(toPosition(start));
    c.setPosition(toPosition(start + std::max<qsizetype>(length, 0)), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(c);
}

}  // namespace tw
