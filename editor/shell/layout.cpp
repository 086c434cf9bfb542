#include "editor/shell/layout.h"

#include "editor/settings/editorsettings.h"

#include <algorithm>
#include <cmath>

#include <QHash>

namespace tw {

QRect clampPlacement(const WindowPlacement& stored, const QRect& available, const QRect& current, double twipsPerPixel)
{
    auto pixels = [twipsPerPixel](const std::optional<double>& twips, int fallback) {
        if (!twips || !std::isfinite(*twips) || twipsPerPixel <= 0)
            return fallback;
        const double px = std::clamp(*twips / twipsPerPixel, -1.0e6, 1.0e6);
        return int(std::lround(px));
    };
    const int maxW = std::max(1, available.width());
    const int maxH = std::max(1, available.height());
    // Without a stored size (a first start) the window takes three quarters
    // of the screen, at least its usual 1000 x 700 where the screen has room.
    const int freshW = std::min(maxW, std::max(1000, maxW * 3 / 4));
    const int freshH = std::min(maxH, std::max(700, maxH * 3 / 4));
    const int w = std::clamp(pixels(stored.width, stored.width ? current.width() : freshW), std::min(320, maxW), maxW);
    const int h =
        std::clamp(pixels(stored.height, stored.height ? current.height() : freshH), std::min(240, maxH), maxH);
    // Without a stored position it is centred.
    int x = available.left() + (maxW - w) / 2;
    int y = available.top() + (maxH - h) / 2;
    if (stored.left && stored.top) {
        x = pixels(stored.left, x);
        y = pixels(stored.top, y);
    }
    x = std::clamp(x, available.left(), available.left() + maxW - w);
    y = std::clamp(y, available.top(), available.top() + maxH - h);
    return QRect(x, y, w, h);
}

int linkFileBoxWidthTwips(double innerWidthTwips, double boxLeftTwips, double buttonWidthTwips)
{
    if (innerWidthTwips < 11055)
        return std::max(0, int(innerWidthTwips - boxLeftTwips - buttonWidthTwips));
    return 5100;
}

QString fontTagText(const QString& size, const QString& colour, const QString& selected)
{
    const QString none = QStringLiteral("なし");
    const bool hasSize = size != none;
    const bool hasColour = colour != none;
    if (!hasSize && !hasColour)
        return {};
    QString tag = QStringLiteral("<font ");
    if (hasSize)
        tag += QStringLiteral("size=\"") + size + QLatin1Char('"');
    if (hasColour)
        tag += (hasSize ? QStringLiteral(" color=\"") : QStringLiteral("color=\"")) + colour + QLatin1Char('"');
    return tag + QLatin1Char('>') + selected + QStringLiteral("</font>");
}

QString caretStatusText(int line, int column)
{
    return QString::number(line) + QStringLiteral("行") + QLatin1Char(' ') + QString::number(column)
           + QStringLiteral("桁");
}

QString folderStatusText(const QString& folder)
{
    return QStringLiteral("カレントディレクトリ:") + folder;
}

}  // namespace tw
