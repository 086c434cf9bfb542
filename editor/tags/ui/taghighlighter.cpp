#include "editor/tags/ui/taghighlighter.h"

#include <QColor>
#include <QFont>

namespace tw {

TagHighlighter::TagHighlighter(QTextDocument* document, QObject* parent, const TagColourTable& table)
    : QSyntaxHighlighter(parent ? parent : static_cast<QObject*>(document)), m_target(document), m_table(table)
{
    for (int c = 0; c < int(m_formats.size()); ++c) {
        QTextCharFormat& f = m_formats[size_t(c)];
        f.setForeground(QColor::fromRgb(QRgb(m_table.colours[size_t(c)])));
        f.setFontWeight(c == 0 ? QFont::Normal : QFont::Bold);
    }
}

void TagHighlighter::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on) {
        setDocument(m_target);
        // At once rather than on the next pass of the event loop, so the
        // colours are there when the caller looks.
        rehighlight();
    } else {
        // Detaching drops the formats of every line.
        setDocument(nullptr);
    }
}

void TagHighlighter::highlightBlock(const QString& text)
{
    m_ranges.clear();
    const int state = colourLine(text, previousBlockState(), m_table, m_ranges);
    if (!text.isEmpty())
        setFormat(0, int(text.size()), m_formats[0]);
    for (const ColourRange& r : std::as_const(m_ranges))
        setFormat(int(r.start), int(r.length), m_formats[size_t(r.colour)]);
    setCurrentBlockState(state);
}

}  // namespace tw
