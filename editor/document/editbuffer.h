#pragma once
// The document text with its selection. Every change of the text goes
// through ReplaceSelection, WrapSelection, SetText or replaceRanges, and each
// raises one change notification, which can ask for the elementary edits
// that made the change.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tw {

// A character UTF-8 cannot hold (a lone surrogate: a byte of the file that
// its encoding could not read) stands in the edit box as U+FFFD with a mark
// carrying the character: the byte offset in the box's UTF-8 and the unit.
struct CharMark {
    qsizetype at;
    char16_t unit;
};

// The edit box's UTF-8 for a text, with the marks for its lone surrogates.
QByteArray boxUtf8(QStringView text, std::vector<CharMark>& marks);

// What tells two texts apart without keeping either: a digest of their
// edit-box UTF-8, fed piece by piece.
class TextDigest {
public:
    TextDigest();
    ~TextDigest();
    void addUtf8(QByteArrayView bytes);
    void addText(QStringView text);  // as its edit-box UTF-8
    QByteArray result();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// From this size of UTF-8 on, a read text is kept without colours: the
// box then holds a byte per byte of text instead of two.
constexpr qint64 kUnstyledFromBytes = 64 << 20;

// A document being read into the buffer piece by piece. The buffer's text
// stays as it was until commit; dropping the load without commit leaves it
// untouched and frees what was read.
class TextLoad {
public:
    virtual ~TextLoad() = default;
    // Appends edit-box UTF-8 (CR LF breaks) and its marks, whose offsets
    // count from the start of this piece; false when there is no memory for it.
    virtual bool append(QByteArrayView utf8, const std::vector<CharMark>& marks) = 0;
    // The read text becomes the whole document, caret at 0: one change
    // notification that carries no edits (whoever loads resets the history).
    virtual void commit() = 0;
};

// One elementary change of the text: at position, removed was taken out and
// inserted put in its place (UTF-16 offsets, CR LF counted as two).
struct TextEdit {
    qsizetype position = 0;
    QString removed;
    QString inserted;

    friend bool operator==(const TextEdit&, const TextEdit&) = default;
};

class EditBuffer : public QObject {
    Q_OBJECT
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

    // Starts reading a new text of about expectedBytes of UTF-8; nullptr
    // when that much memory cannot be had.
    virtual std::unique_ptr<TextLoad> beginLoad(qsizetype expectedBytes);
    // The digest of the whole text (TextDigest of its edit-box UTF-8).
    virtual QByteArray contentDigest() const;

    QString GetText() const { return text(); }
    QString GetSelectedText() const { return selectedText(); }

    // While the change handler runs: the edits of this change, in order.
    const std::vector<TextEdit>& lastEdits() const { return m_delivered; }
    // Counts the changes: equal counts mean the text has not changed between.
    std::uint64_t revision() const { return m_revision; }

signals:
    // After every change of the text, typed or made by the program; while it
    // is delivered, lastEdits() holds the change's edits.
    void changed();

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
            if (inserted.isEmpty() && at >= 0 && at + removed.size() <= last.inserted.size()
                && QStringView(last.inserted).mid(at, removed.size()) == removed) {
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
        emit changed();
        m_delivered.clear();
    }

private:
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
