// FTP speed against the command-line tools, on one loopback pyftpdlib server
// in the same run: a 200 MB file down and up against curl, and a tree of
// 1,000 small files up and down against lftp's "mirror -R" and "mirror",
// both by the engine alone and through the main window, whose buttons are
// pressed with the mouse as a user does (run it with
// QT_QPA_PLATFORM=offscreen). Five interleaved runs each; the medians, our
// time over the tool's, and the spreads are printed as targets.
// Like the tools, every measured run of ours connects and logs in first.

#include "ftp/session/ftpoperations.h"
#include "ftp/ui/frm_main.h"
#include "ftp/ui/panelist.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/ftpserver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
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
constexpr qint64 kBudgetMs = 300000;

// Clicks an item of a pane's visible view, as the user does.
bool clickItem(tw::Frm_Main& w, int pane, const QString& name)
{
    auto* view = qobject_cast<QAbstractItemView*>(w.pane(pane)->currentView());
    const int row = w.FindListItem(pane, name);
    if (!view || row < 1)
        return false;
    const QModelIndex index = view->model()->index(row - 1, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    return w.pane(pane)->selectedRows() == QList<int>{row};
}

// One tree copied through a new main window in its default view: 接続,
// a click on the folder, アップロード or ダウンロード. The time from the
// first press to the end of the transfer, or -1.
qint64 windowRun(const FtpServerFixture& server, const QString& settingFolder, const QString& localFolder,
                 const QString& folder, bool upload)
{
    const tw::FtpSettingFiles files = tw::FtpSettingFiles::inFolder(settingFolder);
    tw::ConnectionProfile profile;
    profile.Name = QStringLiteral("bench");
    profile.Server = server.serverText();
    profile.UserName = server.user();
    profile.Password = server.password();
    profile.LastPathLocal = localFolder;
    profile.LastPathHost = QStringLiteral("/");
    profile.PlainWarned = true;
    tw::FtpProgramSettings settings;
    settings.User = profile.Name;
    if (!tw::SaveProfile(files, profile) || !tw::SaveSettings(files, settings))
        return -1;
    tw::test::FakePlatform fakes;
    fakes.messages.defaultAnswer = tw::MsgResult::No;  // any question spoils the run
    tw::Frm_Main w(tw::FrmMainSetup{fakes.platform(), files, {}, localFolder, {}});
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return -1;
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(w.findChild<QToolButton*>(QStringLiteral("Btn_Con")), Qt::LeftButton);
    if (!w.isConnected() || !clickItem(w, upload ? 0 : 1, folder))
        return -1;
    QTest::mouseClick(w.findChild<QPushButton*>(upload ? QStringLiteral("Btn_Trs_0") : QStringLiteral("Btn_Trs_1")),
                      Qt::LeftButton);
    const qint64 ms = t.elapsed();
    w.toggleConnection();
    w.close();
    return fakes.messages.shown.isEmpty() ? ms : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    // The offscreen platform says this of every window shown.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "warning: " : "", qPrintable(text));
    });
    QApplication app(argc, argv);
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
        unmeasured("FTP download 200 MB", "curl not installed");
        unmeasured("FTP upload 200 MB", "curl not installed");
    } else {
        report("FTP download 200 MB", oursGet, curlGet, "curl", 1.1);
        report("FTP upload 200 MB", oursPut, curlPut, "curl", 1.1);
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
    // The window's local folders: the one holding the tree, and an empty one
    // the server's tree comes into.
    const QString windowDown = work.filePath(QStringLiteral("window-down"));
    Runs oursUpTree, lftpUpTree, oursDownTree, lftpDownTree, windowUpTree, windowDownTree;
    for (int round = 0; round < kRounds && withinBudget(kBudgetMs); ++round) {
        const QString settings = work.filePath(QStringLiteral("Setting%1").arg(round));
        oursUpTree.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpUploadTree(c, tree, QStringLiteral("/tree-ours"), tw::TransferType::Automatic);
                   })
                   && countFiles(server.homeFile(QStringLiteral("tree-ours"))) == files;
        }));
        QDir(server.homeFile(QStringLiteral("tree-ours"))).removeRecursively();
        windowUpTree.add(windowRun(server, settings, work.path() + u'/', QStringLiteral("tree"), true));
        if (countFiles(server.homeFile(QStringLiteral("tree"))) != files)
            windowUpTree.add(-1);
        QDir(server.homeFile(QStringLiteral("tree"))).removeRecursively();
        oursDownTree.add(timed([&] {
            return session([&](tw::FtpConnection& c) {
                       return tw::FtpDownloadTree(c, QStringLiteral("/tree-src"), down, tw::TransferType::Automatic);
                   })
                   && countFiles(down) == files;
        }));
        QDir(down).removeRecursively();
        QDir().mkpath(windowDown);
        windowDownTree.add(windowRun(server, settings, windowDown + u'/', QStringLiteral("tree-src"), false));
        if (countFiles(windowDown) != files)
            windowDownTree.add(-1);
        QDir(windowDown).removeRecursively();
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
    const char* const treeTargets[4] = {"engine: upload tree of 1,000 files (mirror -R)",
                                        "engine: download tree of 1,000 files (mirror)",
                                        "window: upload tree of 1,000 files, button pressed (mirror -R)",
                                        "window: download tree of 1,000 files, button pressed (mirror)"};
    if (lftp.isEmpty()) {
        for (const char* what : treeTargets)
            unmeasured(what, "lftp not installed");
    } else {
        report(treeTargets[0], oursUpTree, lftpUpTree, "lftp", 1.0);
        report(treeTargets[1], oursDownTree, lftpDownTree, "lftp", 1.0);
        report(treeTargets[2], windowUpTree, lftpUpTree, "lftp", 1.0);
        report(treeTargets[3], windowDownTree, lftpDownTree, "lftp", 1.0);
    }
    std::printf("total bench time: %.1f s\n", g_run.elapsed() / 1000.0);
    return exitCode();
}
