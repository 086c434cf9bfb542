// FTP speed against the command-line tools, on one loopback pyftpdlib server
// in the same run: a 200 MB file down and up against curl (throughput
// ratio, ours / curl's), and a tree of 1,000 small files up and down against
// lftp's "mirror -R" and "mirror" (speed ratio, ours / lftp's). Five
// interleaved runs each; medians and spreads are printed.
// Like the tools, every measured run of ours connects and logs in first.

#include "ftp/session/ftpoperations.h"
#include "tests/testkit/ftpserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <limits>

using tw::test::FtpServerFixture;

#include "bench/benchftp.h"

using namespace tw::bench;

namespace {

// The whole run stays inside its time budget.
constexpr qint64 kBudgetMs = 240000;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_run.start();
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString lftp = QStandardPaths::findExecutable(QStringLiteral("lftp"));

    FtpServerFixture::Options options;
    options.log = false;
    FtpServerFixture server(options);
    if (!server.isRunning()) {
        std::printf("FTP server did not start: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/tw-bench-ftp-XXXXXX"));
    if (!work.isValid() || !writeBigFile(server.homeFile(QStringLiteral("big.bin")))
        || !QFile::copy(server.homeFile(QStringLiteral("big.bin")), work.filePath(QStringLiteral("big-up.bin")))
        || !writeTree(work.filePath(QStringLiteral("tree")))) {
        std::printf("cannot prepare the files in %s\n", qPrintable(QDir::tempPath()));
        return 1;
    }
    // One session per measured run, as each run of a tool is one.
    auto session = [&](const std::function<bool(tw::FtpConnection&)>& job) {
        std::unique_ptr<tw::FtpConnection> conn = tw::FtpConnect(server.serverText(), server.user(), server.password());
        const bool ok = conn && job(*conn);
        tw::FtpDisconnect(conn);
        return ok;
    };
    const QString url = QStringLiteral("ftp://%1:%2@%3/").arg(server.user(), server.password(), server.serverText());
    const QString bigUp = work.filePath(QStringLiteral("big-up.bin"));

    // 200 MB down and up, the clients interleaved.
    Runs oursGet, curlGet, oursPut, curlPut;
    for (int round = 0; round < kRounds && withinBudget(kBudgetMs); ++round) {
        oursGet.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpDownload(c, QStringLiteral("/big.bin"), work.filePath(QStringLiteral("ours.bin")),
                                              tw::TransferType::Binary);
                   })
                   && QFileInfo(work.filePath(QStringLiteral("ours.bin"))).size() == kBigSize;
        }));
        QFile::remove(work.filePath(QStringLiteral("ours.bin")));
        oursPut.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpUpload(c, bigUp, QStringLiteral("/up-ours.bin"), tw::TransferType::Binary);
                   })
                   && QFileInfo(server.homeFile(QStringLiteral("up-ours.bin"))).size() == kBigSize;
        }));
        QFile::remove(server.homeFile(QStringLiteral("up-ours.bin")));
        if (!curl.isEmpty()) {
            curlGet.add(runTool(curl, {QStringLiteral("-sS"), QStringLiteral("-o"),
                                       work.filePath(QStringLiteral("curl.bin")), url + QStringLiteral("big.bin")}));
            QFile::remove(work.filePath(QStringLiteral("curl.bin")));
            curlPut.add(runTool(
                curl, {QStringLiteral("-sS"), QStringLiteral("-T"), bigUp, url + QStringLiteral("up-curl.bin")}));
            if (QFileInfo(server.homeFile(QStringLiteral("up-curl.bin"))).size() != kBigSize)
                curlPut.add(-1);
            QFile::remove(server.homeFile(QStringLiteral("up-curl.bin")));
        }
    }
    if (curl.isEmpty()) {
        std::printf("curl not installed: download/upload ratios skipped\n");
    } else {
        report("download 200 MB", oursGet, curlGet, "curl");
        report("upload 200 MB", oursPut, curlPut, "curl");
    }

    // 1,000 small files in ten folders, up and down, the clients interleaved.
    const QString tree = work.filePath(QStringLiteral("tree"));
    const int files = kFolders * kFilesPerFolder;
    if (!QDir().mkpath(server.homeFile(QStringLiteral("tree-src")))
        || !writeTree(server.homeFile(QStringLiteral("tree-src")))) {
        std::printf("cannot prepare the server's tree\n");
        return 1;
    }
    auto lftpRun = [&](const QString& command) {
        const QString script =
            QStringLiteral("set cmd:fail-exit yes; set net:max-retries 1; set ftp:ssl-allow no; %1; quit").arg(command);
        return runTool(lftp, {QStringLiteral("-u"), server.user() + u',' + server.password(), QStringLiteral("-p"),
                              QString::number(server.port()), QStringLiteral("-e"), script, server.host()});
    };
    const QString down = work.filePath(QStringLiteral("down"));
    Runs oursUpTree, lftpUpTree, oursDownTree, lftpDownTree;
    for (int round = 0; round < kRounds && withinBudget(kBudgetMs); ++round) {
        oursUpTree.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpUploadTree(c, tree, QStringLiteral("/tree-ours"), tw::TransferType::Automatic);
                   })
                   && countFiles(server.homeFile(QStringLiteral("tree-ours"))) == files;
        }));
        QDir(server.homeFile(QStringLiteral("tree-ours"))).removeRecursively();
        oursDownTree.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpDownloadTree(c, QStringLiteral("/tree-src"), down, tw::TransferType::Automatic);
                   })
                   && countFiles(down) == files;
        }));
        QDir(down).removeRecursively();
        if (!lftp.isEmpty()) {
            lftpUpTree.add(lftpRun(QStringLiteral("mirror -R %1 /tree-lftp").arg(tree)));
            if (countFiles(server.homeFile(QStringLiteral("tree-lftp"))) != files)
                lftpUpTree.add(-1);
            QDir(server.homeFile(QStringLiteral("tree-lftp"))).removeRecursively();
            lftpDownTree.add(lftpRun(QStringLiteral("mirror /tree-src %1").arg(down)));
            if (countFiles(down) != files)
                lftpDownTree.add(-1);
            QDir(down).removeRecursively();
        }
    }
    if (lftp.isEmpty()) {
        std::printf("lftp not installed: tree ratios skipped\n");
    } else {
        report("upload tree of 1,000 files (mirror -R)", oursUpTree, lftpUpTree, "lftp");
        report("download tree of 1,000 files (mirror)", oursDownTree, lftpDownTree, "lftp");
    }
    std::printf("total bench time: %.1f s\n", g_run.elapsed() / 1000.0);
    return 0;
}
