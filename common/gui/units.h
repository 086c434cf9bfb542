#pragma once
// Window sizes in the settings files are twips (1440 per inch); the screen's
// logical DPI turns them into pixels (15 twips per pixel at 96 DPI).

class QWidget;

namespace tw {

double twipsPerPixel(const QWidget* w = nullptr);
int twipsToPixels(double twips, const QWidget* w = nullptr);
double pixelsToTwips(int pixels, const QWidget* w = nullptr);

// Before a window's first show: centred on its screen, made smaller where
// the screen's free area is smaller than the window.
void centreOnScreen(QWidget* w);

}  // namespace tw
