#include "editor/shell/relativepath.h"

#include <QDir>

namespace tw {

QString MakeRelativePath(const QString& panelFolder, const QString& path)
{
    QString result = path;
    if (!panelFolder.isEmpty() && QDir::isAbsolutePath(panelFolder) && QDir::isAbsolutePath(path)) {
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
