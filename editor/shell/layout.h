#pragma once
// The main window's sizes and texts that need no window: the link bar's
// file box, the stored placement kept on the screen, status bar texts.

#include <QRect>
#include <QString>

namespace tw {

// Width of the link bar's file box: below 11055 twips of window width it
// fills the rest of the row, otherwise it is 5100 twips wide.
int linkFileBoxWidthTwips(double innerWidthTwips, double boxLeftTwips, double buttonWidthTwips);

struct WindowPlacement;

// The main window's rectangle from a stored placement (twips, any of the four
// values may be missing or absurd), kept inside the available screen area:
// no larger than the screen, at least 320 x 240, and wholly visible. Without
// a stored size the window takes three quarters of the screen (at least
// 1000 x 700 where it fits); without a stored position it is centred.
QRect clampPlacement(const WindowPlacement& stored, const QRect& available, const QRect& current, double twipsPerPixel);

// The font setter's text, or an empty text when neither a size nor a colour
// is chosen ("なし" in both).
QString fontTagText(const QString& size, const QString& colour, const QString& selected);

// "12行 5桁"
QString caretStatusText(int line, int column);
QString folderStatusText(const QString& folder);

}  // namespace tw
