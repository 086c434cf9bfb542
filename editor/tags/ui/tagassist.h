#pragma once
// What the edit box does for someone typing HTML by hand: colours the page
// with Scintilla's HTML lexer (elements, attributes, values, comments,
// entities, embedded CSS and JavaScript), and offers element and attribute
// names in a list while the user types a tag.

#include <QObject>

class QsciLexerHTML;

namespace tw {

class RichTextBox;
class TagHighlighter;

class TagAssist : public QObject {
    Q_OBJECT
public:
    TagAssist(RichTextBox* box, TagHighlighter* tagColouring);

    // The tag colouring of the options (colours tag names only) takes
    // precedence; otherwise the HTML colouring when html is on; else plain.
    void applyColouring(bool tagColouring, bool html);
    void setCompletion(bool on) { m_completion = on; }
    bool completion() const { return m_completion; }

    QsciLexerHTML* htmlLexer() const { return m_html; }
    bool htmlColouring() const;

    // The indicators that colour style sheets inside <style> (Scintilla's
    // HTML lexer leaves them plain): selectors, properties, values, comments.
    static constexpr int kCssIndicators[4] = {8, 9, 10, 11};

private:
    void charAdded(int ch);
    // Colours the style sheets of the lines shown; bounded by the screen.
    void colourStyleSheets();

    RichTextBox* m_box;
    TagHighlighter* m_tags;
    QsciLexerHTML* m_html;
    bool m_completion = true;
};

}  // namespace tw
