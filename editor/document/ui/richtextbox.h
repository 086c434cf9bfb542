#pragma once
// The edit box of the main window, a Scintilla editor, and its adaptation to
// EditBuffer. The box holds the document itself (UTF-8, CR LF line ends);
// offsets handed to EditBuffer are UTF-16 units, translated through
// Scintilla's per-line UTF-16 index, so no operation needs the whole text.

#include "editor/document/editbuffer.h"

#include <Qsci/qsciscintilla.h>

#include <functional>
#include <vector>

namespace tw {

class ScintillaEditBuffer;

class RichTextBox : public QsciScintilla {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // A local file dropped on the box (the first of several).
    std::function<void(const QString& path)> onFileDropped;
    // Every key pressed in the box, before the box handles it; true when the
    // key has been dealt with and the box must not handle it too.
    std::function<bool(QKeyEvent*)> onKeyPress;

    // The box's font until the font setter changes it: a Japanese monospace.
    static QFont defaultEditFont();

    // Line-number margin.
    void setLineNumbersShown(bool on);
    bool lineNumbersShown() const { return m_lineNumbers; }

    // The zero-based line and the UTF-16 column of a document offset.
    int lineOfOffset(qsizetype offset) const;
    qsizetype columnOfOffset(qsizetype offset) const;

    // Document offset (CR LF counted as two) of a byte position in the box, and back.
    qsizetype toOffset(qsizetype position) const;
    qsizetype toPosition(qsizetype offset) const;

    // Text still being composed by an input method is in the box but not yet
    // part of the document.
    bool composing() const { return m_composing; }

    void cut() override;
    void paste() override;

    // The text between two byte positions. A character the box cannot hold
    // (a lone surrogate: a byte of the file that its encoding could not
    // read) stands in the box as U+FFFD with a mark carrying the character,
    // and reads back as itself.
    QString readRange(long from, long to) const;
    // The UTF-8 bytes of a text for the box, and the marks to put on it once
    // it is in (byte offset in the bytes, the character).
    using CharMark = tw::CharMark;
    static QByteArray boxBytes(const QString& text, std::vector<CharMark>& marks) { return boxUtf8(text, marks); }
    void putMarks(long position, const std::vector<CharMark>& marks);

    // Shows a document made elsewhere (a Scintilla document pointer, whose
    // reference passes to the box) in place of the one shown, which goes.
    void showDocument(void* document);

protected:
    bool event(QEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    friend class ScintillaEditBuffer;
    void updateMarginWidth();
    void finishQueuedChange();
    // What the box sets on each document it shows.
    void prepareDocument();
    // Records the insertion announced last, now that its text is in the box.
    void resolveInsert();
    // Puts the box's own accessible in place before the Scintilla base class
    // registers its factory, which would otherwise be asked first; returns
    // parent, for the base class.
    static QWidget* withAccessibleFactory(QWidget* parent);
    void onModified(int position, int type, const char* text, int length);
    // Events of the box nest; their edits make one change, reported when the
    // outermost one ends.
    void enterAction() { ++m_actionDepth; }
    void leaveAction();

    ScintillaEditBuffer* m_adapter = nullptr;
    int m_actionDepth = 0;
    bool m_composing = false;
    bool m_finishQueued = false;
    bool m_recording = true;  // edits of the box are reported to the buffer
    struct PendingInsert {
        long position = -1;  // bytes
        long length = 0;
        qsizetype offset = 0;
    };
    PendingInsert m_insert;
    bool m_lineNumbers = true;
    int m_marginDigits = 0;
    bool m_hasMarks = false;  // some text ever got a mark
};

}  // namespace tw
