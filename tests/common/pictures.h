#pragma once

#include <QIcon>
#include <QImage>
#include <QStringList>

namespace tw::test {

// The icon draws something at 24 px: not null and not wholly transparent.
inline bool drawsPicture(const QIcon& icon)
{
    const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

// From here on no desktop icon theme answers: every picture must come from
// our own set, as on a desktop without a full theme.
inline void withoutIconTheme()
{
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QStringLiteral("tw-no-theme"));
    QIcon::setFallbackThemeName(QStringLiteral("tw-no-theme"));
}

}  // namespace tw::test
