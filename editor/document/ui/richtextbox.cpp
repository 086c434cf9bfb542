#include "editor/document/ui/richtextbox.h"
#include "common/textcodec.h"
#include "editor/document/ui/boxaccessible.h"
#include "editor/document/ui/scintillaeditbuffer.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessibleWidget>
#include <QColor>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <cstddef>
#include <cstring>
#include <new>

namespace tw {

namespace {
constexpr int kUtf16 = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;

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

QWidget* RichTextBox::withAccessibleFactory(QWidget* parent)
{
    installBoxAccessible();
    return parent;
}

RichTextBox::RichTextBox(QWidget* parent) : QsciScintilla(withAccessibleFactory(parent))
{
    setObjectName(QStringLiteral("RichTextBox1"));
    setAccessibleName(QStringLiteral("HTMLソース"));
    // Opening a file reads it into a document of its own and shows that one
    // (showDocument). QScintilla remembers the box's first document and
    // hands it back to the engine when the box goes, so that one is kept
    // alive, empty, and the box shows documents of ours from the start.
    const long first = SendScintilla(SCI_GETDOCPOINTER);
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, first);
    const long own = SendScintilla(SCI_CREATEDOCUMENT, 0UL, long(SC_DOCUMENTOPTION_DEFAULT));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, own);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, own);
    prepareDocument();
    // Pasted text gets CR LF line ends like the rest of the document.
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    // Edits are taken from the notifications sent before they happen: the
    // text to be removed is still there to read, and the box's handlers of
    // the after-change notifications (its accessibility events) count the
    // characters from the start of the page on every one, which on a large
    // page costs more than the edit.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    // Lines are measured as they are shown, not all at once: a 20 MB page
    // opens without laying out every line.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    // No wrapping, as in code editors: wrapping lays out every line of the
    // page in the background, which on a large page makes each key wait.
    setWrapMode(WrapNone);
    setTabWidth(8);
    setIndentationsUseTabs(true);
    setAutoIndent(false);
    setCaretLineVisible(false);
    setFont(defaultEditFont());
    setAcceptDrops(true);
    setLineNumbersShown(true);

    // The editor keeps its own history and commands: the box's bindings for
    // undo, select all and its line commands would act behind its back
    // (Ctrl+L, Ctrl+U and Ctrl+T would cut a line, lower the case, swap lines).
    const QList<QsciCommand::Command> taken = {QsciCommand::Undo,
                                               QsciCommand::Redo,
                                               QsciCommand::SelectAll,
                                               QsciCommand::LineCut,
                                               QsciCommand::LineDelete,
                                               QsciCommand::LineCopy,
                                               QsciCommand::LineTranspose,
                                               QsciCommand::LineDuplicate,
                                               QsciCommand::SelectionDuplicate,
                                               QsciCommand::SelectionLowerCase,
                                               QsciCommand::SelectionUpperCase,
                                               QsciCommand::EditToggleOvertype,
                                               QsciCommand::MoveSelectedLinesUp,
                                               QsciCommand::MoveSelectedLinesDown};
    for (QsciCommand* c : standardCommands()->commands()) {
        if (taken.contains(c->command())) {
            c->setKey(0);
            c->setAlternateKey(0);
        }
    }

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int, int) {
                onModified(position, type, text, length);
            });
}

void RichTextBox::prepareDocument()
{
    // The code page, the line end and the line index belong to the document.
    setUtf8(true);
    setEolMode(EolWindows);
    SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, kUtf16);
}

void RichTextBox::showDocument(void* document)
{
    m_recording = false;
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    prepareDocument();
    m_recording = true;
    m_insert = PendingInsert{};
    SendScintilla(SCI_GOTOPOS, 0UL);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL);
}

void RichTextBox::setLineNumbersShown(bool on)
{
    m_lineNumbers = on;
    setMarginType(0, NumberMargin);
    m_marginDigits = 0;
    setMarginLineNumbers(0, on);
    setMarginWidth(1, 0);
    setMarginWidth(2, 0);
    updateMarginWidth();
}

void RichTextBox::updateMarginWidth()
{
    if (!m_lineNumbers) {
        setMarginWidth(0, 0);
        return;
    }
    int digits = 1;
    for (int n = lines(); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, 3);
    if (digits == m_marginDigits)
        return;
    m_marginDigits = digits;
    setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
}

qsizetype RichTextBox::toOffset(qsizetype position) const
{
    auto* self = const_cast<RichTextBox*>(this);
    const long line = self->SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)position);
    const long lineStart = self->SendScintilla(SCI_POSITIONFROMLINE, (unsigned long)line);
    const long lineIndex = self->SendScintilla(SCI_INDEXPOSITIONFROMLINE, (unsigned long)line, (long)kUtf16);
    return lineIndex + self->SendScintilla(SCI_COUNTCODEUNITS, (unsigned long)lineStart, (long)position);
}

qsizetype RichTextBox::toPosition(qsizetype offset) const
{
    auto* self = const_cast<RichTextBox*>(this);
    const long bytes = self->SendScintilla(SCI_GETLENGTH);
    if (offset <= 0)
        return 0;
    const long line = self->SendScintilla(SCI_LINEFROMINDEXPOSITION, (unsigned long)offset, (long)kUtf16);
    const long lineStart = self->SendScintilla(SCI_POSITIONFROMLINE, (unsigned long)line);
    const long lineIndex = self->SendScintilla(SCI_INDEXPOSITIONFROMLINE, (unsigned long)line, (long)kUtf16);
    if (offset == lineIndex)
        return lineStart;
    const long pos =
        self->SendScintilla(SCI_POSITIONRELATIVECODEUNITS, (unsigned long)lineStart, long(offset - lineIndex));
    // Past the end: Scintilla answers 0.
    return pos <= 0 ? bytes : pos;
}

int RichTextBox::lineOfOffset(qsizetype offset) const
{
    return int(const_cast<RichTextBox*>(this)->SendScintilla(SCI_LINEFROMPOSITION, (unsigned long)toPosition(offset)));
}

qsizetype RichTextBox::columnOfOffset(qsizetype offset) const
{
    auto* self = const_cast<RichTextBox*>(this);
    const long line = lineOfOffset(offset);
    return offset - self->SendScintilla(SCI_INDEXPOSITIONFROMLINE, (unsigned long)line, (long)kUtf16);
}

void RichTextBox::onModified(int position, int type, const char* text, int length)
{
    if (!m_adapter || !m_recording || !(type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) || length <= 0)
        return;
    (void)text;  // not given with the notifications before a change
    resolveInsert();
    const qsizetype at = toOffset(position);
    if (type & SC_MOD_BEFOREINSERT) {
        // The inserted text is read once it is in, at the next notification
        // or when the event ends.
        m_insert = PendingInsert{position, length, at};
    } else {
        m_adapter->edited(at, readRange(position, position + length), QString());
    }
    // An edit outside any event of the box and outside the buffer's own
    // operations (a call of the box's API) is a change of its own, finished
    // once the box has made it.
    if (m_actionDepth == 0 && !m_adapter->m_inOperation && !m_composing && !m_finishQueued) {
        m_finishQueued = true;
        QMetaObject::invokeMethod(
            this, [this] { finishQueuedChange(); }, Qt::QueuedConnection);
    }
}

void RichTextBox::resolveInsert()
{
    if (m_insert.position < 0)
        return;
    const PendingInsert ins = m_insert;
    m_insert = PendingInsert{};
    if (!m_adapter)
        return;
    m_adapter->edited(ins.offset, QString(), readRange(ins.position, ins.position + ins.length));
}

namespace {
constexpr int kCharMarkIndicator = 20;
const char kPlaceholder[] = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

QString RichTextBox::readRange(long from, long to) const
{
    if (to <= from)
        return QString();
    auto* self = const_cast<RichTextBox*>(this);
    const char* p =
        reinterpret_cast<const char*>(self->SendScintilla(SCI_GETRANGEPOINTER, (unsigned long)from, long(to - from)));
    QString text = textFromUtf8(QByteArrayView(p, to - from));
    if (!m_hasMarks)
        return text;
    // UTF-16 index in the text of a byte, counted on from the last one found.
    long countedTo = from;
    qsizetype index = 0;
    auto indexOf = [&](long byte) {
        for (; countedTo < byte; ++countedTo) {
            const uchar b = uchar(p[countedTo - from]);
            if ((b & 0xC0) != 0x80)
                index += b >= 0xF0 ? 2 : 1;
        }
        return index;
    };
    for (long pos = from; pos < to;) {
        const long end = std::min<long>(self->SendScintilla(SCI_INDICATOREND, kCharMarkIndicator, pos), to);
        const long value = self->SendScintilla(SCI_INDICATORVALUEAT, kCharMarkIndicator, pos);
        if (end <= pos)
            break;
        if (value != 0) {
            // A lead byte of UTF-8 never continues another character, so
            // the placeholders are found byte by byte.
            for (long q = pos; q + 3 <= end; ++q) {
                if (std::memcmp(p + (q - from), kPlaceholder, 3) == 0) {
                    text[indexOf(q)] = QChar(char16_t(value));
                    q += 2;
                }
            }
        }
        pos = end;
    }
    return text;
}

void RichTextBox::putMarks(long position, const std::vector<CharMark>& marks)
{
    if (marks.empty())
        return;
    if (!m_hasMarks) {
        m_hasMarks = true;
        SendScintilla(SCI_INDICSETSTYLE, kCharMarkIndicator, INDIC_ROUNDBOX);
        SendScintilla(SCI_INDICSETFORE, kCharMarkIndicator, QColor(Qt::red));
        SendScintilla(SCI_INDICSETALPHA, kCharMarkIndicator, 80);
    }
    SendScintilla(SCI_SETINDICATORCURRENT, kCharMarkIndicator);
    for (const CharMark& m : marks) {
        SendScintilla(SCI_SETINDICATORVALUE, (unsigned long)m.unit);
        SendScintilla(SCI_INDICATORFILLRANGE, (unsigned long)(position + m.at), 3L);
    }
}

void RichTextBox::finishQueuedChange()
{
    m_finishQueued = false;
    resolveInsert();
    if (m_actionDepth == 0 && m_adapter && !m_adapter->m_inOperation && !m_composing && m_adapter->hasPendingEdits())
        m_adapter->finishChange();
}

void RichTextBox::leaveAction()
{
    resolveInsert();
    if (--m_actionDepth == 0 && m_adapter && !m_adapter->m_inOperation && !m_composing && m_adapter->hasPendingEdits())
        m_adapter->finishChange();
}

bool RichTextBox::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // Undo, redo and select all are the editor's own menu commands.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) || k->matches(QKeySequence::SelectAll)
            || (k->modifiers() == Qt::ControlModifier && k->key() == Qt::Key_Y)) {
            e->ignore();
            return false;
        }
    }
    enterAction();
    const bool handled = QsciScintilla::event(e);
    leaveAction();
    return handled;
}

bool RichTextBox::focusNextPrevChild(bool)
{
    // Tab is a key of the editor (snippets, a tab character), never a move
    // to the next control.
    return false;
}

void RichTextBox::keyPressEvent(QKeyEvent* e)
{
    enterAction();
    // While the completion list is open its keys choose from it.
    const bool listKey = SendScintilla(SCI_AUTOCACTIVE) != 0
                         && (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter
                             || e->key() == Qt::Key_Escape || e->key() == Qt::Key_Up || e->key() == Qt::Key_Down
                             || e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown);
    if (!listKey && onKeyPress && onKeyPress(e)) {
        e->accept();
    } else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && (e->modifiers() & Qt::ShiftModifier)) {
        // Shift+Enter breaks the line like Enter: the document has no soft breaks.
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(), e->isAutoRepeat(),
                        ushort(e->count()));
        QsciScintilla::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
    } else if ((e->modifiers() & Qt::ControlModifier) && !(e->modifiers() & Qt::AltModifier) && !e->text().isEmpty()) {
        // A Ctrl key the box has no command for types nothing (Scintilla
        // would insert its letter).
        QKeyEvent bare(e->type(), e->key(), e->modifiers(), QString(), e->isAutoRepeat(), ushort(e->count()));
        QsciScintilla::keyPressEvent(&bare);
        e->setAccepted(bare.isAccepted());
    } else {
        QsciScintilla::keyPressEvent(e);
    }
    leaveAction();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent* e)
{
    enterAction();
    QsciScintilla::inputMethodEvent(e);
    // While text is composed its steps are shown in the box; the document
    // changes once, by what is committed.
    m_composing = !e->preeditString().isEmpty();
    leaveAction();
}

void RichTextBox::cut()
{
    enterAction();
    QsciScintilla::cut();
    leaveAction();
}

void RichTextBox::paste()
{
    enterAction();
    QsciScintilla::paste();
    leaveAction();
}

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

QFont RichTextBox::defaultEditFont()
{
    // A fixed-width face that has the Japanese characters too, so that kana
    // and kanji line up at two columns; the system's fixed font otherwise.
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setFamilies({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans Mono"), f.family()});
    f.setStyleHint(QFont::Monospace);
    return f;
}

}  // namespace tw
