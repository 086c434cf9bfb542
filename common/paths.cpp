#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tw {

QString volumeRootOf(const QString& path)
{
    // A file that is not there yet lives on the volume of its nearest
    // existing folder.
    QString at = QDir::cleanPath(path);
    while (!QFileInfo::exists(at)) {
        const QString up = QFileInfo(at).path();
        if (up == at)
            return QString();
        at = up;
    }
    const QStorageInfo volume(at);
    return volume.isValid() ? volume.rootPath() : QString();
}

QString MakeRelativePath(const QString& panelFolder, const QString& path)
{
    QString result = path;
    if (!panelFolder.isEmpty() && QDir::isAbsolutePath(panelFolder) && QDir::isAbsolutePath(path)
        && volumeRootOf(panelFolder) == volumeRootOf(path)) {
        // Both sides are cleaned first, so a trailing "/" or a "//" in either
        // never shows up in the result.
        const QString rel = QDir(QDir::cleanPath(panelFolder)).relativeFilePath(QDir::cleanPath(path));
        const bool goesUp = rel == QLatin1String("..") || rel.startsWith(QLatin1String("../"));
        if (rel.isEmpty())
            result = QStringLiteral(".");
        else
            result = goesUp ? rel : QStringLiteral("./") + rel;
    }
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

}  // namespace tw
