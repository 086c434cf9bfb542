#pragma once
// One Quillet per user: a second start hands the document it was given to
// the editor already running and ends, instead of a second editor fighting
// over the same settings and preview file. A local socket in the user's
// runtime folder (owner-only) carries the path.

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace tw {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name = defaultName(), QObject* parent = nullptr);

    // The socket of this user's editor.
    static QString defaultName();
    // Gives path (empty: only "come to the front") to the running editor;
    // false when none answers within a few seconds.
    static bool sendToRunning(const QString& name, const QString& path);

    // Starts listening; a socket left by an editor that crashed is replaced.
    bool listen();
    // Each path another start handed over, on the interface thread.
    std::function<void(const QString& path)> onOpen;

private:
    QString m_name;
    QLocalServer* m_server;
};

}  // namespace tw
