#pragma once
// A real FTP server for tests and benchmarks: pyftpdlib (Debian's
// python3-pyftpdlib, run by /usr/bin/python3) on 127.0.0.1 with a free
// port, one user, a password and a temporary home folder. Started by the
// constructor, stopped by the destructor.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tw::test {

class FtpServerFixture {
public:
    struct Options {
        QString user = QStringLiteral("tester");
        QString password = QStringLiteral("secret");
        // Names as CP932 on the wire, and no UTF8 in FEAT.
        bool cp932Names = false;
        // No MLSD/MLST: clients must read LIST.
        bool noMlsd = false;
        // A folder named "hostile" lists "../evil", "a/../../evil" and
        // "..\evil" besides its real entries; the home holds a file "evil".
        bool hostile = false;
        // A command line containing this text is never answered.
        QString stallOn;
        // RNTO onto an existing file is refused, as some servers do.
        bool noRenameOver = false;
        // The first this many passive replies name a port nothing listens
        // on, as a busy server's data connection fails now and then.
        int refuseDataConnections = 0;
        // Data connections move at most this many bytes a second (0: no limit).
        int throttleBytesPerSec = 0;
        // Record every command and login (see commands(), loginCount()).
        bool log = true;
        // FTP over TLS only (AUTH TLS, PROT P), with a certificate for
        // 127.0.0.1 made by openssl for this server (certificateFile()).
        bool tls = false;
    };

    FtpServerFixture();
    explicit FtpServerFixture(const Options& options);
    ~FtpServerFixture();
    FtpServerFixture(const FtpServerFixture&) = delete;
    FtpServerFixture& operator=(const FtpServerFixture&) = delete;

    // True once the server accepts connections; errorString() says why not.
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }
    // "127.0.0.1:<port>", the server text a profile holds.
    QString serverText() const;
    // The server's certificate (PEM) when it speaks TLS.
    QString certificateFile() const;
    QString user() const { return m_options.user; }
    QString password() const { return m_options.password; }
    // The folder the user sees as "/".
    QString home() const;
    // A path below home ("pub/a.txt").
    QString homeFile(const QString& relative) const;

    // Command lines received so far, in order (passwords masked).
    QStringList commands() const;
    int loginCount() const;
    void clearLog() const;

    // Closes every client connection, as a server that drops idle clients
    // does (needs log); the server keeps listening.
    void dropConnections();

    // Stops the server now (a test of a vanished server).
    void stop();

private:
    void start();
    QStringList logLines() const;

    Options m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_running = false;
    QString m_error;
};

}  // namespace tw::test
