#include "tests/testkit/pythonserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tw::test {

namespace {
bool acceptsConnections(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}
}  // namespace

quint16 startPythonServer(QProcess& process, const QString& script, const QStringList& args, const QString& errorFile,
                          QString* error)
{
    process.setStandardErrorFile(errorFile);
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + args);
    if (!process.waitForStarted(10000)) {
        *error = QStringLiteral("/usr/bin/python3 did not start: ") + process.errorString();
        return 0;
    }
    QDeadlineTimer deadline(15000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired()) {
        if (!process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))
            && process.state() != QProcess::Running)
            break;
        out += process.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (!line.startsWith("PORT ")) {
        QFile err(errorFile);
        err.open(QIODevice::ReadOnly);
        *error = QStringLiteral("the server did not start: ") + QString::fromUtf8(err.readAll().right(2000));
        stopPythonServer(process);
        return 0;
    }
    const quint16 port = quint16(line.mid(5).toUInt());
    while (!acceptsConnections(port)) {
        if (deadline.hasExpired()) {
            *error = QStringLiteral("the server does not accept connections");
            stopPythonServer(process);
            return 0;
        }
        QThread::msleep(20);
    }
    return port;
}

void stopPythonServer(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

}  // namespace tw::test
