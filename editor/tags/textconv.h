#pragma once
// Text conversions of the Edit and Tools menus: plain text to HTML
// (IDM_DEFAULT), address encoding (IDM_ANGOU), line numbering
// (IDM_TEXTNUMADD) and tag removal (IDM_TAGERACE). Each is a pure function
// on text plus the command that applies it to the document: on the
// selection with ReplaceSelection, or on the whole text with SetText.
// All of them are linear in the length of the text.

#include <QString>

#include <functional>

namespace tw {

class EditBuffer;

// IDM_DEFAULT on a selection: "<pre>" CR LF text CR LF "</pre>". Nothing is
// escaped.
QString textToHtmlBlock(const QString& selected);
// IDM_DEFAULT on the whole text: the eight-line page with lower-case tags
// around the text, lines joined by CR LF, no line break after "</html>".
QString textToHtmlPage(const QString& text);
// The command: the selection if its length is not 0, else the whole text.
void runTextToHtml(EditBuffer& buffer);

// A uniform random integer from 0 to bound - 1.
using RandomBelow = std::function<int(int bound)>;

// Address encoding: each character becomes a decimal character reference
// "&#n;" (n its Unicode code point; a surrogate pair is one character) or
// stays plain. CR, LF, "<", ">" and the double quote always stay plain; the
// first character is otherwise always a reference; every other character
// stays plain with probability 3/11. "&" is always a reference, so that a
// plain "&" can never join the characters after it into a reference of its
// own; a lone surrogate always stays plain, since no reference can stand for
// it. Decoding every "&#n;" of the result gives the text back.
QString AngouStr(const QString& text, const RandomBelow& random);
// The same with a generator seeded afresh for each call.
QString AngouStr(const QString& text);
// IDM_ANGOU: the selection is replaced by its encoding (an empty selection
// is replaced by nothing).
void runAngou(EditBuffer& buffer, const RandomBelow& random);
void runAngou(EditBuffer& buffer);

// Line numbering: the text is split at every CR LF (a lone CR or LF stays
// inside its line; a text ending in CR LF has an empty last line, numbered
// too); line i becomes i, zero-padded to the number of digits of the line
// count, ":" and the line, each followed by CR LF. An empty text gives an
// empty result.
QString NumberLines(const QString& text);
// IDM_TEXTNUMADD: the selection if its length is not 0, else the whole text.
void runNumberLines(EditBuffer& buffer);

// Tag removal: everything from a "<" to the first ">" after it is removed,
// repeatedly from the start of the text; from a "<" without a ">" after it
// the rest of the text stays as it is. Character references are not decoded.
QString EraseTags(const QString& text);
// IDM_TAGERACE: the selection if the selected text is not empty, else the
// whole text.
void runEraseTags(EditBuffer& buffer);

}  // namespace tw
