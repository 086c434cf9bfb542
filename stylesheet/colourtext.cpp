#include "stylesheet/colourtext.h"

#include <cmath>

namespace tw::velmora {

QString ColourText(int red, int green, int blue)
{
    auto hex = [](int v) { return QStringLiteral("%1").arg(v & 0xff, 2, 16, QLatin1Char('0')).toUpper(); };
    return QLatin1Char('#') + hex(red) + hex(green) + hex(blue);
}

std::optional<int> parseColourComponent(const QString& text)
{
    const QString t = text.trimmed();
    // Only ASCII digits: toInt alone would also take "+5" and full-width digits.
    if (t.isEmpty() || t.size() > 3)
        return std::nullopt;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int v = t.toInt();
    if (v > 255)
        return std::nullopt;
    return v;
}

int tickSpacing(int maximum)
{
    return int(std::nearbyint(maximum / 10.0));
}

}  // namespace tw::velmora
