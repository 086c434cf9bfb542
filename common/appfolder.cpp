#include "common/appfolder.h"

#include <QCoreApplication>

namespace tw {

namespace {
QString& overrideFolder()
{
    static QString folder;
    return folder;
}
}  // namespace

QString appFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QCoreApplication::applicationDirPath();
}

void setAppFolder(const QString& folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    overrideFolder() = f;
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    QString n = name;
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    if (folder.endsWith(QLatin1Char('/')))
        return folder + n;
    return folder + QLatin1Char('/') + n;
}

QString settingsFolder(const QString& appFolder)
{
    return joinPath(appFolder, QStringLiteral("tools/Setting"));
}

}  // namespace tw
