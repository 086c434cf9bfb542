#include "tests/testkit/processmemory.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <unistd.h>

namespace tw::test {

namespace {

qint64 residentBytes(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;  // kB
    }
    return 0;
}

QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> out;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(task + QStringLiteral("/children")));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : f.readAll().split(' ')) {
            if (const qint64 c = child.trimmed().toLongLong(); c > 0)
                out << c;
        }
    }
    return out;
}

qint64 treeBytes(qint64 pid, bool includeRoot)
{
    qint64 total = includeRoot ? residentBytes(pid) : 0;
    QSet<qint64> seen{pid};
    QList<qint64> todo = childrenOf(pid);
    while (!todo.isEmpty()) {
        const qint64 p = todo.takeLast();
        if (seen.contains(p))
            continue;
        seen.insert(p);
        total += residentBytes(p);
        todo << childrenOf(p);
    }
    return total;
}

}  // namespace

qint64 processTreeResidentBytes(qint64 pid)
{
    return treeBytes(pid, true);
}

qint64 childrenResidentBytes()
{
    return treeBytes(qint64(getpid()), false);
}

}  // namespace tw::test
