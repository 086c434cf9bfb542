#pragma once
// The document text with its selection. Every change of the text goes
// through ReplaceSelection, WrapSelection, SetText or replaceRanges, and each
// raises one change notification, which can ask for the elementary edits
// that made the change.

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace tw {

// One elementary change of the text: at position, removed was taken out and
// inserted put in its place (UTF-16 offsets, CR LF counted as two).
struct TextEdit {
    qsizetype position = 0;
    QString removed;
    QString inserted;

    friend bool operator==(const TextEdit&, const TextEdit&) = default;
};

class EditBuffer {
public:
    virtual ~EditBuffer() = default;

    // The whole text; line breaks are CR LF.
    virtual QString text() const = 0;
    virtual qsizetype length() const { return text().size(); }
    virtual QString textRange(qsizetype start, qsizetype length) const { return text().mid(start, length); }
    virtual qsizetype selectionStart() const = 0;
    virtual qsizetype selectionLength() const = 0;
    virtual QString selectedText() const = 0;

    // The selection (or nothing, at the caret) is replaced; the caret ends
    // directly behind the new text with no selection.
    virtual void ReplaceSelection(const QString& text) = 0;
    // Replaces the whole document; the caret ends at 0.
    virtual void SetText(const QString& text) = 0;
    virtual void SetSelection(qsizetype start, qsizetype length) = 0;
    // Each range (position, removed.size()) is replaced by inserted, in order,
    // each in the text left by the one before; one change notification.
    virtual void replaceRanges(const std::vector<TextEdit>& edits) = 0;
    void replaceRange(qsizetype start, qsizetype length, const QString& text)
    {
        replaceRanges({TextEdit{start, textRange(start, length), text}});
    }

    // start + selected text + end; with no selection the caret ends behind end.
    void WrapSelection(const QString& start, const QString& end) { ReplaceSelection(start + selectedText() + end); }

    QString GetText() const { return text(); }
    QString GetSelectedText() const { return selectedText(); }

    // Called after every change of the text, typed or made by the program.
    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }
    // While the change handler runs: the edits of this change, in order.
    const std::vector<TextEdit>& lastEdits() const { return m_delivered; }
    // Counts the changes: equal counts mean the text has not changed between.
    std::uint64_t revision() const { return m_revision; }

protected:
    void recordEdit(qsizetype position, const QString& removed, const QString& inserted)
    {
        // Edits inside what the edit before put in fold into it, so replacing
        // a selection, or composing text that is taken out again, stays one
        // edit (or none).
        if (!m_pending.empty()) {
            TextEdit& last = m_pending.back();
            const qsizetype at = position - last.position;
            if (removed.isEmpty() && at >= 0 && at <= last.inserted.size()) {
                last.inserted.insert(at, inserted);
                return;
            }
            if (inserted.isEmpty() && at >= 0 && at + removed.size() <= last.inserted.size() &&
                QStringView(last.inserted).mid(at, removed.size()) == removed) {
                last.inserted.remove(at, removed.size());
                if (last.inserted.isEmpty() && last.removed.isEmpty())
                    m_pending.pop_back();
                return;
            }
        }
        m_pending.push_back(TextEdit{position, removed, inserted});
    }
    bool hasPendingEdits() const { return !m_pending.empty(); }
    const std::vector<TextEdit>& pendingEdits() const { return m_pending; }
    void notifyChanged()
    {
        m_delivered.swap(m_pending);
        m_pending.clear();
        ++m_revision;
        if (m_onChange)
            m_onChange();
        m_delivered.clear();
    }

private:
    std::function<void()> m_onChange;
    std::vector<TextEdit> m_pending;
    std::vector<TextEdit> m_delivered;
    std::uint64_t m_revision = 0;
};

// A document without a window, for headless use and tests.
class MemoryEditBuffer : public EditBuffer {
public:
    explicit MemoryEditBuffer(const QString& text = QString()) : m_text(text) {}

    QString text() const override { return m_text; }
    qsizetype length() const override { return m_text.size(); }
    QString textRange(qsizetype start, qsizetype length) const override { return m_text.mid(start, length); }
    qsizetype selectionStart() const override { return m_start; }
    qsizetype selectionLength() const override { return m_length; }
    QString selectedText() const override { return m_text.mid(m_start, m_length); }

    void ReplaceSelection(const QString& text) override;
    void SetText(const QString& text) override;
    void SetSelection(qsizetype start, qsizetype length) override;
    void replaceRanges(const std::vector<TextEdit>& edits) override;

    // A change typed by the user: the selection replaced, one notification.
    void type(const QString& text) { ReplaceSelection(text); }

private:
    void edit(qsizetype position, qsizetype length, const QString& inserted);

    QString m_text;
    qsizetype m_start = 0;
    qsizetype m_length = 0;
};

}  // namespace tw
