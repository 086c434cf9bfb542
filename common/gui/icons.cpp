#include "common/gui/icons.h"

#include <algorithm>

#include <QFile>
#include <QGuiApplication>

namespace tw {

QIcon toolIcon(const QString& name)
{
    const QIcon own(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (name.startsWith(QLatin1String("tw-")))
        return own;
    return QIcon::fromTheme(name, own);
}

QIcon appIcon(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/apps/") + name + QStringLiteral(".svg"));
}

void setUpIcons(const QString& appName)
{
    QGuiApplication::setWindowIcon(appIcon(appName));
    QGuiApplication::setDesktopFileName(appName);
    // Without a desktop session the platform names no theme, or only the
    // bare hicolor one; a full theme then fills in the standard names.
    for (const char* theme : {"Adwaita", "breeze", "Papirus"}) {
        const QString name = QString::fromLatin1(theme);
        const QStringList dirs = QIcon::themeSearchPaths();
        if (std::any_of(dirs.begin(), dirs.end(), [&](const QString& dir) {
                return QFile::exists(dir + QLatin1Char('/') + name + QStringLiteral("/index.theme"));
            })) {
            if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
                QIcon::setThemeName(name);
            else
                QIcon::setFallbackThemeName(name);
            break;
        }
    }
}

}  // namespace tw
