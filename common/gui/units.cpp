#include "common/gui/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace tw {

double twipsPerPixel(const QWidget* w)
{
    QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    if (dpi <= 0)
        dpi = 96.0;
    return 1440.0 / dpi;
}

int twipsToPixels(double twips, const QWidget* w)
{
    return int(std::lround(twips / twipsPerPixel(w)));
}

double pixelsToTwips(int pixels, const QWidget* w)
{
    return pixels * twipsPerPixel(w);
}

void centreOnScreen(QWidget* w)
{
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    w->resize(w->size().boundedTo(free.size()));
    QRect frame(QPoint(), w->size());
    frame.moveCenter(free.center());
    w->move(frame.topLeft());
}

}  // namespace tw
