#pragma once
// Optional tag colouring of the edit box. It only sets display formats on the
// box's lines and never touches the text, so it records no history. Lines are
// coloured as they change; a change that opens or closes a comment or a tag
// across lines carries on into the lines after it.

#include "editor/tags/tagcolour.h"

#include <QPointer>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextDocument>

#include <array>

namespace tw {

class TagHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Colours document once enabled. Owned by parent, or by the document
    // when no parent is given.
    explicit TagHighlighter(QTextDocument* document, QObject* parent = nullptr,
                            const TagColourTable& table = TagColourTable::defaultTable());

    // On: colours the whole text now and every change after it. Off: the
    // whole text shows plain again.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    const TagColourTable& table() const { return m_table; }

protected:
    void highlightBlock(const QString& text) override;

private:
    QPointer<QTextDocument> m_target;
    TagColourTable m_table;
    std::array<QTextCharFormat, 4> m_formats;
    QList<ColourRange> m_ranges;  // reused from line to line
    bool m_enabled = false;
};

}  // namespace tw
