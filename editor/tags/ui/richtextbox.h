#pragma once
// The edit box of the main window, and its adaptation to EditBuffer. The
// document's line breaks are CR LF (two characters); the box keeps one
// paragraph break per line, so offsets are translated both ways.

#include "editor/tags/editbuffer.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <functional>

namespace tw {

class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // A local file dropped on the box (the first of several).
    std::function<void(const QString& path)> onFileDropped;
    // Every key pressed in the box, before the box handles it; true when the
    // key has been dealt with and the box must not handle it too.
    std::function<bool(QKeyEvent*)> onKeyPress;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

class PlainTextEditBuffer : public EditBuffer {
public:
    explicit PlainTextEditBuffer(QPlainTextEdit* edit);

    QString text() const override;
    qsizetype selectionStart() const override;
    qsizetype selectionLength() const override;
    QString selectedText() const override;
    void ReplaceSelection(const QString& text) override;
    void SetText(const QString& text) override;
    void SetSelection(qsizetype start, qsizetype length) override;

    // Document offset (CR LF counted as two) from a position in the box, and back.
    qsizetype toOffset(int position) const;
    int toPosition(qsizetype offset) const;

    // The box's raw text with its paragraph breaks written as CR LF.
    static QString fromRaw(const QString& raw);
    // Text with CR LF, lone CR or LF as the box's line breaks.
    static QString toBoxText(const QString& text);

private:
    QPlainTextEdit* m_edit;
    bool m_inOperation = false;
    // Kept at the end of the text: every edit moves it, a change of display
    // formats does not.
    QTextCursor m_endMarker;
    bool m_textEdited = false;
};

}  // namespace tw
