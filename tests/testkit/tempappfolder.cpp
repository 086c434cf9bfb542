#include "tests/testkit/tempappfolder.h"

#include "common/appfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tw::test {

TempAppFolder::TempAppFolder()
{
    setAppFolder(m_dir.path());
}

TempAppFolder::~TempAppFolder()
{
    setAppFolder(QString());
}

QString TempAppFolder::file(const QString& relative) const
{
    return joinPath(m_dir.path(), relative);
}

void TempAppFolder::put(const QString& relative, const QByteArray& bytes) const
{
    const QString p = file(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TempAppFolder::read(const QString& relative) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool TempAppFolder::exists(const QString& relative) const
{
    return QFileInfo::exists(file(relative));
}

}  // namespace tw::test
