#pragma once
// C source to HTML (IDM_HTML): a fixed sequence of plain text substitutions
// that escapes the source and marks keywords, comments, preprocessor words and
// format strings with coloured markup. Every substitution works on the result
// of the ones before it, so a keyword inside a longer word is marked too ("do"
// in "double", "if" in "#ifdef", "static" once more inside the marked
// "static_cast"); the output keeps all of these effects.

#include <QList>
#include <QString>

namespace tw {

class EditBuffer;

// One substitution: every occurrence of find becomes replacement.
struct CHtmlPass {
    QString find;
    QString replacement;
};

// The substitutions in the order they are applied.
const QList<CHtmlPass>& cToHtmlPasses();

// Replaces every occurrence of find, scanning left to right; the search goes
// on directly behind each inserted replacement, so a replacement is never
// searched again (replacing "a" by "aa" doubles each "a" once). Exact,
// case-sensitive comparison. An empty find leaves the text unchanged.
// Linear in the length of the text.
QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement);

// The converted text (without the <PRE> or page wrapping). Linear in the
// length of the source; identical to cToHtmlTextByPasses.
QString cToHtmlText(const QString& source);
// The same conversion done the plain way: one ReplaceAllText per entry of
// cToHtmlPasses(), in order, over the whole text.
QString cToHtmlTextByPasses(const QString& source);

// "<PRE>" + converted + CR LF + "</PRE>" (no line break after "<PRE>").
QString cToHtmlBlock(const QString& converted);
// The ten-line page around the converted text, lines joined by CR LF, no line
// break after the closing "</HTML>".
QString cToHtmlPage(const QString& converted);

// The menu command: with a selection (length not 0) the selection is
// replaced by the converted block; without one the whole document becomes
// the page (one ReplaceSelection or one SetText).
void ConvertCToHtml(EditBuffer& buffer);

}  // namespace tw
