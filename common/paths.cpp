#include "common/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tw {

QString WithSeparator(const QString& folder, QChar separator)
{
    return folder.endsWith(separator) ? folder : folder + separator;
}

QString withoutSeparator(const QString& path, QChar separator)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(separator))
        p.chop(1);
    return p;
}

QString FileNameOf(const QString& path, QChar separator)
{
    const qsizetype at = path.lastIndexOf(separator);
    return at < 0 ? QString() : path.mid(at + 1);
}

QString FolderPartOf(const QString& path, QChar separator)
{
    return path.left(path.lastIndexOf(separator) + 1);
}

QString ParentOf(const QString& path, QChar separator)
{
    QString p = path;
    if (p.endsWith(separator))
        p.chop(1);
    const qsizetype at = p.lastIndexOf(separator);
    return at < 0 ? p + separator : p.left(at + 1);
}

QStringList PathAncestors(const QString& path, QChar separator)
{
    QStringList out;
    if (path.isEmpty())
        return out;
    out.append(path);
    // Bounded by the path's length: every step drops at least one segment.
    for (qsizetype i = 0; i <= path.size(); ++i) {
        const QString parent = ParentOf(out.last(), separator);
        if (parent == out.last())
            break;
        out.append(parent);
    }
    return out;
}

bool isUsableLocalPath(const QString& path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && !path.contains(QChar(u'\0'));
}

QString cleanLocalPath(const QString& path)
{
    return QDir::cleanPath(path);
}

QString localFilePath(const QString& folder, const QString& name)
{
    return QDir(folder).filePath(name);
}

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
