// Speed of the encrypted protocols and of 変更分をアップロード, against the
// command-line tools in the same run on loopback servers started here:
// a 200 MB file down and up over FTP over TLS (pyftpdlib) and over SFTP
// (OpenSSH's sshd) against curl on the same URL, and the sync of a
// 1,000-file site where 10 files changed against lftp's
// "mirror -R --only-newer" on the same plain FTP server. Five interleaved
// runs each (nine for the sync); medians and spreads are printed. Every
// measured run of ours connects and logs in first, as each run of a tool does.

#include "ftp/client/operations.h"
#include "ftp/session/ftpoperations.h"
#include "tests/testkit/ftpserver.h"
#include "tests/testkit/sshserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>

using tw::test::FtpServerFixture;
using tw::test::SshServerFixture;

#include "bench/benchftp.h"

using namespace tw::bench;

namespace {

// The whole run stays inside its time budget.
constexpr qint64 kBudgetMs = 420000;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_run.start();
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString lftp = QStandardPaths::findExecutable(QStringLiteral("lftp"));
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/tw-bench-ftps-XXXXXX"));
    const QString bigUp = work.filePath(QStringLiteral("big-up.bin"));
    if (!work.isValid() || !writeBigFile(bigUp)) {
        std::printf("cannot prepare the files in %s\n", qPrintable(QDir::tempPath()));
        return 1;
    }

    // ---- 200 MB over FTP over TLS and over SFTP, against curl ----
    FtpServerFixture::Options tlsOptions;
    tlsOptions.log = false;
    tlsOptions.tls = true;
    FtpServerFixture tls(tlsOptions);
    SshServerFixture ssh;
    struct Target {
        const char* name;
        tw::FtpSecurity security;
        QString server, user, password;
        QString remoteFolder;  // absolute, with "/" at the end
        QString localFolder;   // where that folder is on this machine
        QString url;           // the same folder for curl
        QStringList curlOptions;
    };
    QList<Target> targets;
    if (tls.isRunning()) {
        tw::FtpSecurity s;
        s.protocol = tw::FtpProtocol::Tls;
        s.caFile = tls.certificateFile();
        targets.append({"FTP over TLS",
                        s,
                        tls.serverText(),
                        tls.user(),
                        tls.password(),
                        QStringLiteral("/"),
                        tls.home(),
                        QStringLiteral("ftp://%1:%2@%3/").arg(tls.user(), tls.password(), tls.serverText()),
                        {QStringLiteral("--ssl-reqd"), QStringLiteral("--cacert"), tls.certificateFile()}});
    } else {
        std::printf("FTP over TLS server did not start: %s\n", qPrintable(tls.errorString()));
        unmeasured("FTP over TLS: 200 MB down and up", "the server did not start");
    }
    if (ssh.isRunning()) {
        tw::FtpSecurity s;
        s.protocol = tw::FtpProtocol::Sftp;
        s.privateKey = ssh.privateKeyFile();
        s.ask = [](const tw::PeerIdentity&) { return tw::TrustAnswer::Once; };
        targets.append({"SFTP",
                        s,
                        ssh.serverText(),
                        ssh.user(),
                        QString(),
                        ssh.home() + u'/',
                        ssh.home(),
                        QStringLiteral("sftp://%1@%2%3/").arg(ssh.user(), ssh.serverText(), ssh.home()),
                        {QStringLiteral("-k"), QStringLiteral("--key"), ssh.privateKeyFile(),
                         QStringLiteral("--pubkey"), ssh.privateKeyFile() + QStringLiteral(".pub")}});
    } else {
        std::printf("sshd did not start: %s\n", qPrintable(ssh.errorString()));
        unmeasured("SFTP: 200 MB down and up", "sshd did not start");
    }
    for (const Target& t : targets) {
        if (!QFile::copy(bigUp, t.localFolder + QStringLiteral("/big.bin"))) {
            std::printf("cannot place the file on the %s server\n", t.name);
            unmeasured(t.name, "the file could not be placed on the server");
            continue;
        }
        auto session = [&](const std::function<bool(tw::FtpConnection&)>& job) {
            std::unique_ptr<tw::FtpConnection> conn =
                tw::FtpConnect(t.server, t.user, t.password, {}, nullptr, t.security);
            const bool ok = conn && job(*conn);
            tw::FtpDisconnect(conn);
            return ok;
        };
        Runs oursGet, curlGet, oursPut, curlPut;
        const QString got = work.filePath(QStringLiteral("got.bin"));
        for (int round = 0; round < kRounds && withinBudget(kBudgetMs); ++round) {
            oursGet.add(timed([&] {
                return session([&](tw::FtpConnection& c) {
                           return tw::FtpDownload(c, t.remoteFolder + QStringLiteral("big.bin"), got,
                                                  tw::TransferType::Binary);
                       })
                       && QFileInfo(got).size() == kBigSize;
            }));
            QFile::remove(got);
            oursPut.add(timed([&] {
                return session([&](tw::FtpConnection& c) {
                           return tw::FtpUpload(c, bigUp, t.remoteFolder + QStringLiteral("up.bin"),
                                                tw::TransferType::Binary);
                       })
                       && QFileInfo(t.localFolder + QStringLiteral("/up.bin")).size() == kBigSize;
            }));
            QFile::remove(t.localFolder + QStringLiteral("/up.bin"));
            if (curl.isEmpty())
                continue;
            curlGet.add(runTool(curl, QStringList{QStringLiteral("-sS"), QStringLiteral("-o"), got} + t.curlOptions
                                          + QStringList{t.url + QStringLiteral("big.bin")}));
            if (QFileInfo(got).size() != kBigSize)
                curlGet.add(-1);
            QFile::remove(got);
            curlPut.add(runTool(curl, QStringList{QStringLiteral("-sS"), QStringLiteral("-T"), bigUp} + t.curlOptions
                                          + QStringList{t.url + QStringLiteral("up.bin")}));
            if (QFileInfo(t.localFolder + QStringLiteral("/up.bin")).size() != kBigSize)
                curlPut.add(-1);
            QFile::remove(t.localFolder + QStringLiteral("/up.bin"));
        }
        const QByteArray down = QStringLiteral("%1: download 200 MB").arg(QLatin1String(t.name)).toUtf8();
        const QByteArray up = QStringLiteral("%1: upload 200 MB").arg(QLatin1String(t.name)).toUtf8();
        if (curl.isEmpty()) {
            unmeasured(down.constData(), "curl not installed");
            unmeasured(up.constData(), "curl not installed");
            continue;
        }
        report(down.constData(), oursGet, curlGet, "curl", 1.1);
        report(up.constData(), oursPut, curlPut, "curl", 1.1);
    }

    // ---- 変更分をアップロード of a 1,000-file site, 10 files changed, against lftp ----
    FtpServerFixture::Options plainOptions;
    plainOptions.log = false;
    FtpServerFixture plain(plainOptions);
    const QString site = work.filePath(QStringLiteral("site"));
    if (!plain.isRunning() || !writeTree(site)) {
        std::printf("cannot prepare the site for the sync\n");
        return 1;
    }
    auto plainSession = [&](const std::function<bool(tw::FtpConnection&)>& job) {
        std::unique_ptr<tw::FtpConnection> conn = tw::FtpConnect(plain.serverText(), plain.user(), plain.password());
        const bool ok = conn && job(*conn);
        tw::FtpDisconnect(conn);
        return ok;
    };
    QDir().mkpath(plain.homeFile(QStringLiteral("site")));
    auto ourSync = [&](int* sent) {
        return plainSession([&](tw::FtpConnection& c) {
            tw::SyncPlan plan;
            if (!tw::PlanSync(c, site, QStringLiteral("/site/"), tw::TransferType::Automatic, plan))
                return false;
            const tw::SyncOutcome out = tw::RunSync(c, plan, tw::TransferType::Automatic, false);
            *sent = out.sent;
            return out.ok;
        });
    };
    int sent = 0;
    if (!ourSync(&sent) || sent != kFolders * kFilesPerFolder) {
        std::printf("the first sync of the site failed\n");
        return 1;
    }
    // Ten pages edited now (new text of the same length), in a folder of their own each round.
    int edits = 0;
    auto editTen = [&] {
        QStringList changed;
        for (int i = 0; i < 10; ++i, ++edits) {
            const QString name =
                QStringLiteral("dir%1/page%2.html").arg(edits % kFolders).arg((edits / kFolders) % kFilesPerFolder);
            QFile f(site + u'/' + name);
            if (!f.open(QIODevice::ReadWrite))
                return QStringList();
            const qint64 size = f.size();
            f.seek(0);
            f.write(QByteArray(size, char('A' + edits % 26)));
            f.close();
            changed.append(name);
        }
        return changed;
    };
    auto arrived = [&](const QStringList& names) {
        for (const QString& n : names) {
            QFile a(site + u'/' + n), b(plain.homeFile(QStringLiteral("site/") + n));
            if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll())
                return false;
        }
        return true;
    };
    Runs oursSync, lftpSync;
    // A sync takes tens of milliseconds: more rounds for a steadier median.
    for (int round = 0; round < 2 * kRounds - 1 && withinBudget(kBudgetMs); ++round) {
        QStringList changed = editTen();
        // The clock moves on a second, so that an edit is newer than the last upload.
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 1100)
            QThread::msleep(50);
        oursSync.add(timed([&] { return ourSync(&sent) && sent == 10; }));
        if (!arrived(changed))
            oursSync.add(-1);
        if (lftp.isEmpty())
            continue;
        changed = editTen();
        pause.restart();
        while (pause.elapsed() < 1100)
            QThread::msleep(50);
        const QString script = QStringLiteral(
                                   "set cmd:fail-exit yes; set net:max-retries 1; set ftp:ssl-allow no; "
                                   "mirror -R --only-newer %1 /site; quit")
                                   .arg(site);
        lftpSync.add(runTool(lftp, {QStringLiteral("-u"), plain.user() + u',' + plain.password(), QStringLiteral("-p"),
                                    QString::number(plain.port()), QStringLiteral("-e"), script, plain.host()}));
        if (!arrived(changed))
            lftpSync.add(-1);
    }
    const char* sync = "sync of 1,000 files, 10 changed (mirror -R --only-newer)";
    if (lftp.isEmpty())
        unmeasured(sync, "lftp not installed");
    else
        report(sync, oursSync, lftpSync, "lftp", 1.0);
    std::printf("total bench time: %.1f s\n", g_run.elapsed() / 1000.0);
    return exitCode();
}
