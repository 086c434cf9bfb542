#pragma once
// What assistive tools see of the edit box: its text, caret and selection in
// the document's own offsets, found through the box's line index. Installed
// ahead of Scintilla's own accessible, which counts characters from the start
// of the page at every caret move.

namespace tw {

// Once per program, before the first edit box is made.
void installBoxAccessible();

}  // namespace tw
