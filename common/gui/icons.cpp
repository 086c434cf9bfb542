#include "common/gui/icons.h"

#include <QFile>

namespace tw {

namespace {
QString ownPath(const QString& name)
{
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}
}  // namespace

QIcon toolIcon(const QString& name)
{
    const QIcon own(ownPath(name));
    if (name.startsWith(QLatin1String("tw-")))
        return own;
    return QIcon::fromTheme(name, own);
}

QIcon appIcon(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/apps/") + name + QStringLiteral(".svg"));
}

void setUpIcons()
{
    // Without a desktop session the platform names no theme, or only the
    // bare hicolor one; a full theme then fills in the standard names.
    for (const char* theme : {"Adwaita", "breeze", "Papirus"}) {
        const QString name = QString::fromLatin1(theme);
        bool present = false;
        for (const QString& dir : QIcon::themeSearchPaths())
            present = present || QFile::exists(dir + QLatin1Char('/') + name + QStringLiteral("/index.theme"));
        if (present) {
            if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
                QIcon::setThemeName(name);
            else
                QIcon::setFallbackThemeName(name);
            break;
        }
    }
}

}  // namespace tw
