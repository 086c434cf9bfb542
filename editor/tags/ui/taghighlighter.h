#pragma once
// Optional tag colouring of the edit box, as a Scintilla lexer. It only sets
// styles and never touches the text, so it records no history. Scintilla asks
// for the lines from the first changed one to the end of what is shown; each
// line is coloured from the state its predecessor left, kept as the line's
// state, so a change that opens or closes a comment across lines carries on.

#include "editor/tags/tagcolour.h"

#include <Qsci/qscilexercustom.h>

namespace tw {

class RichTextBox;

class TagHighlighter : public QsciLexerCustom {
    Q_OBJECT
public:
    // Colours box once enabled. Owned by parent, or by the box when no
    // parent is given.
    explicit TagHighlighter(RichTextBox* box, QObject* parent = nullptr,
                            const TagColourTable& table = TagColourTable::defaultTable());

    // On: colours the whole text now and every change after it. Off: the
    // whole text shows plain again.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    const TagColourTable& table() const { return m_table; }

    // The colour (0xRRGGBB) and weight shown at a byte position of the box.
    unsigned colourAtPosition(qsizetype position) const;
    bool boldAtPosition(qsizetype position) const;

    const char* language() const override { return "Tagwright HTML"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

private:
    void applyFont();

    RichTextBox* m_box;
    TagColourTable m_table;
    QList<ColourRange> m_ranges;  // reused from line to line
    bool m_enabled = false;
};

}  // namespace tw
