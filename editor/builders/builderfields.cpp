#include "editor/builders/builderfields.h"

#include <cmath>

namespace tw {

std::optional<double> typedNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double loopCount(double count)
{
    return count < 1 ? 0 : std::floor(count);
}

const QStringList& sizeUnitNames()
{
    static const QStringList names = {QStringLiteral("パーセント"), QStringLiteral("ピクセル")};
    return names;
}

QString sizeWithUnit(const QString& value, const QString& unit)
{
    return unit == sizeUnitNames().first() ? value + QLatin1Char('%') : value;
}

}  // namespace tw
