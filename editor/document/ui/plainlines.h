#pragma once
// Line breaks between the document's CR LF and the one-break-per-line form
// of Qt's plain text boxes (the small multi-line boxes of the dialogs).

#include <QString>

namespace tw {

// A plain text box's raw text with its paragraph breaks written as CR LF.
QString crLfFromBoxRaw(const QString& raw);
// Text with CR LF, lone CR or LF as a plain text box's line breaks.
QString boxTextFromCrLf(const QString& text);

}  // namespace tw
