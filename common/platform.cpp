#include "common/platform.h"

#include <QFileInfo>

namespace tw {

QString applyDefaultExtension(const QString& path, const QString& ext)
{
    if (path.isEmpty() || ext.isEmpty())
        return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + ext;
}

}  // namespace tw
