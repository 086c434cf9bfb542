#include "tests/testkit/sshserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::test {

namespace {

// A port nobody listens on now.
quint16 freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool accepts(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

SshServerFixture::SshServerFixture()
{
    const QString sshd = QStringLiteral("/usr/sbin/sshd");
    if (!m_dir.isValid() || !QFile::exists(sshd)) {
        m_error = QStringLiteral("sshd is missing (Debian package openssh-server)");
        return;
    }
    QDir().mkpath(home());
    const QString d = m_dir.path();
    if (!run(QStringLiteral("ssh-keygen"), {"-q", "-t", "ed25519", "-N", "", "-f", d + "/host_key"})
        || !run(QStringLiteral("ssh-keygen"), {"-q", "-t", "ed25519", "-N", "", "-f", privateKeyFile()}))
        return;
    QFile::copy(privateKeyFile() + QStringLiteral(".pub"), d + QStringLiteral("/authorized_keys"));
    // sshd started by root wants its privilege separation folder.
    if (::geteuid() == 0 && !QFileInfo::exists(QStringLiteral("/run/sshd")))
        ::mkdir("/run/sshd", 0755);
    const QString config = QStringLiteral(
                               "HostKey %1/host_key\n"
                               "ListenAddress 127.0.0.1\n"
                               "PidFile none\n"
                               "UsePAM no\n"
                               "StrictModes no\n"
                               "PermitRootLogin prohibit-password\n"
                               "PasswordAuthentication no\n"
                               "KbdInteractiveAuthentication no\n"
                               "PubkeyAuthentication yes\n"
                               "AuthorizedKeysFile %1/authorized_keys\n"
                               "Subsystem sftp internal-sftp\n"
                               "ForceCommand internal-sftp -d %2\n"
                               "LogLevel ERROR\n")
                               .arg(d, home());
    QFile f(d + QStringLiteral("/sshd_config"));
    if (!f.open(QIODevice::WriteOnly) || f.write(config.toUtf8()) != config.toUtf8().size()) {
        m_error = QStringLiteral("cannot write sshd_config");
        return;
    }
    f.close();
    m_port = freePort();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));  // listings show times in UTC
    m_process.setProcessEnvironment(env);
    m_process.setStandardOutputFile(d + QStringLiteral("/sshd.log"));
    m_process.setStandardErrorFile(d + QStringLiteral("/sshd.log"));
    m_process.start(sshd, {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"),
                           d + QStringLiteral("/sshd_config"), QStringLiteral("-p"), QString::number(m_port)});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("sshd did not start");
        return;
    }
    for (int i = 0; i < 200 && !m_running; ++i) {
        if (m_process.state() != QProcess::Running)
            break;
        m_running = accepts(m_port);
        if (!m_running)
            QThread::msleep(25);
    }
    if (!m_running) {
        QFile log(d + QStringLiteral("/sshd.log"));
        m_error =
            QStringLiteral("sshd does not listen: ") + (log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
    }
}

SshServerFixture::~SshServerFixture()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool SshServerFixture::run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        m_error = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

void SshServerFixture::dropConnections()
{
    const QString parent = QString::number(m_process.processId());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces, so count from its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (QString::fromLatin1(rest.value(1)) == parent)
            ::kill(pid.toInt(), SIGTERM);
    }
}

QString SshServerFixture::serverText() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(m_port);
}

QString SshServerFixture::user() const
{
    const passwd* pw = ::getpwuid(::getuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString();
}

QString SshServerFixture::privateKeyFile() const
{
    return m_dir.filePath(QStringLiteral("user_key"));
}

QByteArray SshServerFixture::hostKeyBlob() const
{
    QFile f(m_dir.filePath(QStringLiteral("host_key.pub")));
    return f.open(QIODevice::ReadOnly) ? QByteArray::fromBase64(f.readAll().split(' ').value(1)) : QByteArray();
}

QString SshServerFixture::home() const
{
    return m_dir.filePath(QStringLiteral("home"));
}

QString SshServerFixture::homeFile(const QString& relative) const
{
    return home() + u'/' + relative;
}

}  // namespace tw::test
