#pragma once
// The edit box as the editor's EditBuffer: every change of the document goes
// through here, and the box's own edits (typing, cutting, pasting) come back
// as one change each.

#include "editor/document/ui/richtextbox.h"

#include <QTimer>

namespace tw {

class ScintillaEditBuffer : public EditBuffer {
public:
    explicit ScintillaEditBuffer(RichTextBox* box);
    ~ScintillaEditBuffer() override;

    QString text() const override;
    qsizetype length() const override;
    QString textRange(qsizetype start, qsizetype length) const override;
    qsizetype selectionStart() const override;
    qsizetype selectionLength() const override;
    QString selectedText() const override;
    void ReplaceSelection(const QString& text) override;
    void SetText(const QString& text) override;
    void SetSelection(qsizetype start, qsizetype length) override;
    void replaceRanges(const std::vector<TextEdit>& edits) override;
    // Read into a document of the box's engine, shown once committed.
    std::unique_ptr<TextLoad> beginLoad(qsizetype expectedBytes) override;
    QByteArray contentDigest() const override;

    // Text with lone CR or LF made CR LF, as the document keeps it.
    static QString withCrLf(const QString& text);

private:
    friend class RichTextBox;
    friend class ScintillaLoad;
    void edited(qsizetype position, const QString& removed, const QString& inserted)
    {
        recordEdit(position, removed, inserted);
    }
    void finishChange();
    // Room behind the text for what is typed next (see makeRoom).
    void makeRoom(qsizetype bytes);
    // Runs a change made by the program as one change.
    template <typename F>
    void programChange(F&& change);

    RichTextBox* m_box;
    bool m_inOperation = false;
    qsizetype m_capacity = 0;  // bytes the box's text buffer holds at least
    QTimer m_roomLater;        // makes room once typing pauses
};

}  // namespace tw
