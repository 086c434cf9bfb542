#pragma once
// The document text with its selection. Every change of the text goes
// through ReplaceSelection, WrapSelection or SetText, and each raises one
// change notification.

#include <QString>

#include <functional>

namespace tw {

class EditBuffer {
public:
    virtual ~EditBuffer() = default;

    // The whole text; line breaks are CR LF.
    virtual QString text() const = 0;
    virtual qsizetype selectionStart() const = 0;
    virtual qsizetype selectionLength() const = 0;
    virtual QString selectedText() const = 0;

    // The selection (or nothing, at the caret) is replaced; the caret ends
    // directly behind the new text with no selection.
    virtual void ReplaceSelection(const QString& text) = 0;
    // Replaces the whole document; the caret ends at 0.
    virtual void SetText(const QString& text) = 0;
    virtual void SetSelection(qsizetype start, qsizetype length) = 0;

    // start + selected text + end; with no selection the caret ends behind end.
    void WrapSelection(const QString& start, const QString& end) { ReplaceSelection(start + selectedText() + end); }

    QString GetText() const { return text(); }
    QString GetSelectedText() const { return selectedText(); }

    // Called after every change of the text, typed or made by the program.
    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

protected:
    void notifyChanged()
    {
        if (m_onChange)
            m_onChange();
    }

private:
    std::function<void()> m_onChange;
};

// A document without a window, for headless use and tests.
class MemoryEditBuffer : public EditBuffer {
public:
    explicit MemoryEditBuffer(const QString& text = QString()) : m_text(text) {}

    QString text() const override { return m_text; }
    qsizetype selectionStart() const override { return m_start; }
    qsizetype selectionLength() const override { return m_length; }
    QString selectedText() const override { return m_text.mid(m_start, m_length); }

    void ReplaceSelection(const QString& text) override;
    void SetText(const QString& text) override;
    void SetSelection(qsizetype start, qsizetype length) override;

    // A change typed by the user: the selection replaced, one notification.
    void type(const QString& text) { ReplaceSelection(text); }

private:
    QString m_text;
    qsizetype m_start = 0;
    qsizetype m_length = 0;
};

}  // namespace tw
