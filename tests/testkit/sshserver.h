#pragma once
// A real SFTP server for tests and benchmarks: OpenSSH's sshd (Debian's
// openssh-server), started as a process of its own on 127.0.0.1 with a free
// port, its own configuration, host key and authorized key, and a temporary
// folder as the user's start folder. Never the system's service. Stopped by
// the destructor.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tw::test {

class SshServerFixture {
public:
    SshServerFixture();
    ~SshServerFixture();
    SshServerFixture(const SshServerFixture&) = delete;
    SshServerFixture& operator=(const SshServerFixture&) = delete;

    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }

    quint16 port() const { return m_port; }
    QString serverText() const;  // "127.0.0.1:<port>"
    QString user() const;        // the user running the test (sshd logs in only as that user)
    // The private key the server accepts (no passphrase).
    QString privateKeyFile() const;
    // The server's host key blob (the base64 part of its .pub file, decoded).
    QByteArray hostKeyBlob() const;
    // The folder a login starts in, an absolute path on this machine.
    QString home() const;
    QString homeFile(const QString& relative) const;
    // Ends every open session (the server's child processes), as a server
    // that drops idle clients does; the server keeps listening.
    void dropConnections();

private:
    bool run(const QString& program, const QStringList& args);

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_running = false;
    QString m_error;
};

}  // namespace tw::test
