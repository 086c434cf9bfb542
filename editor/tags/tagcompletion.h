#pragma once
// What the edit box offers while the user types HTML by hand: element names
// after "<", the element's attributes inside a start tag, and after "</" the
// elements still open, innermost first. Works on a bounded stretch of text
// before the caret, so a keystroke costs the same on any page size.

#include <QString>
#include <QStringList>

namespace tw {

enum class CompletionKind { None, Element, Attribute, Closing };

struct Completion {
    CompletionKind kind = CompletionKind::None;
    QString prefix;     // what the user has typed of the name so far
    QStringList items;  // what to offer, in the letter case to insert
};

// How much text before the caret the completion looks at.
inline constexpr qsizetype kCompletionWindow = 64 * 1024;

// before: the text that ends at the caret (at most kCompletionWindow
// characters of it is enough). Items follow the case of the typed prefix;
// with nothing typed, of the element name (attributes) or lower case.
Completion completeAt(const QString& before);

// The elements left open at the end of text, innermost last, as written.
QStringList openElements(const QString& text);

const QStringList& htmlElementNames();
QStringList htmlAttributeNames(const QString& element);

}  // namespace tw
