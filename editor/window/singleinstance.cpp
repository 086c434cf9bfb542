#include "editor/window/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

namespace tw {

namespace {
constexpr int kWaitMs = 3000;
constexpr qint64 kMaxMessage = 64 * 1024;
}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      m_name(name),
      m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine()) {
                    if (s->bytesAvailable() > kMaxMessage)
                        s->abort();
                    return;
                }
                const QString path = QString::fromUtf8(s->readLine(kMaxMessage)).chopped(1);
                s->write("ok\n");
                s->flush();
                s->disconnectFromServer();
                // After the answer: opening may ask the user first.
                QTimer::singleShot(0, this, [this, path] {
                    if (onOpen)
                        onOpen(path);
                });
            });
        }
    });
}

QString SingleInstance::defaultName()
{
    // The runtime folder is the user's own; /tmp is shared, so the name
    // carries the user there.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/tagwright-quillet");
    return QStringLiteral("tagwright-quillet-%1").arg(getuid());
}

bool SingleInstance::sendToRunning(const QString& name, const QString& path)
{
    QLocalSocket s;
    s.connectToServer(name);
    if (!s.waitForConnected(kWaitMs))
        return false;
    s.write(path.toUtf8() + '\n');
    if (!s.waitForBytesWritten(kWaitMs))
        return false;
    while (!s.canReadLine()) {
        if (!s.waitForReadyRead(kWaitMs))
            return false;
    }
    return s.readLine() == "ok\n";
}

bool SingleInstance::listen()
{
    if (m_server->listen(m_name))
        return true;
    // Nobody answered on it (the caller tried): a leftover of a crash.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

}  // namespace tw
