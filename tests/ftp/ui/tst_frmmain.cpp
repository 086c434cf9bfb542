// The FTP client's windows driven offscreen against a real pyftpdlib
// server: connect, list, navigate, transfer in each mode, delete, new
// folder, rename, permissions, profiles, and stopping a slow transfer.

#include "tests/testkit/fakes.h"
#include "ftp/ui/frm_main.h"
#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/frm_sync.h"
#include "ftp/ui/frm_user.h"
#include "tests/testkit/ftpserver.h"
#include "ftp/settings/mdl_ini.h"
#include "ftp/ui/panelist.h"
#include "tests/testkit/tempappfolder.h"
#include "tests/common/pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QAction>
#include <QInputMethodEvent>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <memory>

using namespace tw;
using namespace tw::test;
using tw::test::FakePlatform;
using tw::test::FtpServerFixture;
using tw::test::TempAppFolder;

namespace {

void putFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One server, one application folder, one local folder and the fakes.
struct Env {
    explicit Env(const FtpServerFixture::Options& options = {}) : server(options)
    {
        files = FtpSettingFiles::inFolder(app.path() + QStringLiteral("/Setting"));
    }
    void saveProfile(bool listCache, TransferType mode = TransferType::Automatic, const QString& password = QString())
    {
        ConnectionProfile p;
        p.Name = QStringLiteral("テスト");
        p.Server = server.serverText();
        p.UserName = server.user();
        p.Password = password.isEmpty() ? server.password() : password;
        p.TransMode = mode;
        p.LastPathLocal = local.path() + u'/';
        p.PlainWarned = true;  // the plain-FTP warning has its own test
        QVERIFY(SaveProfile(files, p));
        QVERIFY(SaveSettings(files, {p.Name, listCache}));
    }
    std::unique_ptr<Frm_Main> window(const FtpOptions& options = {})
    {
        auto w = std::make_unique<Frm_Main>(FrmMainSetup{fakes.platform(), files, options, local.path()});
        w->show();
        return w;
    }
    FtpServerFixture server;
    TempAppFolder app;
    QTemporaryDir local;
    FakePlatform fakes;
    FtpSettingFiles files;
};

QStringList itemNames(Frm_Main& w, int pane)
{
    QStringList names = w.pane(pane)->names();
    names.sort();
    return names;
}

// Clicks an item of the visible view, as the user does.
void click(Frm_Main& w, int pane, const QString& name, Qt::KeyboardModifiers keys = {})
{
    auto* view = qobject_cast<QAbstractItemView*>(w.pane(pane)->currentView());
    const int row = w.FindListItem(pane, name);
    QVERIFY2(row > 0, qPrintable(name));
    const QModelIndex index = view->model()->index(row - 1, 0);
    view->scrollTo(index);
    w.activateWindow();  // as the window manager does on a click
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(index).center());
}

void select(Frm_Main& w, int pane, const QStringList& names)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        click(w, pane, names[i], i ? Qt::ControlModifier : Qt::NoModifier);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Runs check once the progress window shows label 2, then presses 中止.
void stopWhenUnderway(Frm_Main& w, const std::function<void(Frm_State*)>& check)
{
    auto* timer = new QTimer(&w);
    QObject::connect(timer, &QTimer::timeout, &w, [&w, check, timer] {
        if (auto* state = w.findChild<Frm_State*>();
            state && state->label(2)->text().contains(u'/') && !state->label(2)->text().startsWith(u'0')) {
            timer->stop();
            check(state);
            state->stopButton()->click();
        }
    });
    timer->start(20);
}

QComboBox* dirBox(Frm_Main& w, int pane)
{
    return w.findChild<QComboBox*>(QStringLiteral("Cmb_Dir_%1").arg(pane));
}

int countCommands(const FtpServerFixture& server, const QString& prefix)
{
    int n = 0;
    for (const QString& c : server.commands())
        n += c.startsWith(prefix) ? 1 : 0;
    return n;
}

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void connectListAndNavigate();
    void connectFailureSaysWhy();
    void transfersInEachMode_data();
    void transfersInEachMode();
    void failedTransferStopsTheWalk();
    void deleteAsksAndRemovesTrees();
    void newFolderNames();
    void renameInPlace();
    void permissions_data();
    void permissions();
    void stopButtonEndsSlowDownload();
    void uploadsAreAllOrNothing_data();
    void uploadsAreAllOrNothing();
    void profileDialog_data();
    void profileDialog();
    void detailSettings();
    void closeWhileConnectedAsks();
    void keysInLists();
    void selectionInEveryView_data();
    void selectionInEveryView();
    void hostileNamesStayOut();
    void namesTheServerCannotHold_data();
    void namesTheServerCannotHold();
    void stopDuringSyncFinishesTheFile();
};

void TestFrmMain::keysInLists()
{
    Env env;
    QVERIFY(env.server.isRunning());
    putFile(env.server.homeFile(QStringLiteral("a.txt")), "a");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    QWidget* view = w->pane(1)->currentView();
    view->setFocus();
    putFile(env.server.homeFile(QStringLiteral("b.txt")), "b");
    QTest::keyClick(view, Qt::Key_F5);
    QCOMPARE(itemNames(*w, 1), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    QCOMPARE(w->activePane(), 1);
    select(*w, 1, {QStringLiteral("a.txt")});
    env.fakes.messages.answer(MsgResult::No);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QVERIFY(QFile::exists(env.server.homeFile(QStringLiteral("a.txt"))));
    QTest::keyClick(view, Qt::Key_F2);
    bool editing = false;
    for (QLineEdit* e : view->findChildren<QLineEdit*>())
        editing = editing || e->isVisible();
    QVERIFY(editing);
    // The local pane offers no permission change; the remote one does.
    w->setActivePane(0);
    QVERIFY(!w->findChild<QPushButton*>(QStringLiteral("m_Permision"))->isEnabled());
    w->setActivePane(1);
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("m_Permision"))->isEnabled());
}

void TestFrmMain::selectionInEveryView_data()
{
    QTest::addColumn<int>("view");
    for (int v = 0; v < 4; ++v)
        QTest::newRow(qPrintable(QString::number(v))) << v;
}

void TestFrmMain::selectionInEveryView()
{
    QFETCH(int, view);
    Env env;
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "dir/x"})
        putFile(env.server.homeFile(n), "x");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    w->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(view);
    // Shift+click takes a range, Ctrl+click takes one out of it.
    click(*w, 1, "a.txt");
    click(*w, 1, "c.txt", Qt::ShiftModifier);
    click(*w, 1, "b.txt", Qt::ControlModifier);
    w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_1"))->click();
    QCOMPARE(filesIn(env.local.path()), (QStringList{"a.txt", "c.txt"}));
    // The keyboard: from d.txt up to the first item, then the folder out again.
    click(*w, 1, "d.txt");
    QTest::keyClick(w->pane(1)->currentView(), Qt::Key_Home, Qt::ShiftModifier);
    click(*w, 1, "dir", Qt::ControlModifier);
    env.fakes.messages.answer(MsgResult::Yes);
    QTest::keyClick(w->pane(1)->currentView(), Qt::Key_Delete);
    QCOMPARE(filesIn(env.server.home()), QStringList{"dir"});
    // A rubber band from the empty space over the local items.
    click(*w, 0, "a.txt", Qt::ControlModifier);
    auto* local = qobject_cast<QAbstractItemView*>(w->pane(0)->currentView());
    const QPoint end = local->visualRect(local->model()->index(0, 0)).topLeft() + QPoint(1, 1);
    QTest::mousePress(local->viewport(), Qt::LeftButton, {}, local->viewport()->rect().bottomRight() - QPoint(4, 4));
    QTest::mouseMove(local->viewport(), end + QPoint(8, 8));
    QTest::mouseMove(local->viewport(), end);
    QTest::mouseRelease(local->viewport(), Qt::LeftButton, {}, end);
    env.fakes.messages.answer(MsgResult::Yes);
    w->findChild<QPushButton*>(QStringLiteral("m_DelFile"))->click();
    QCOMPARE(filesIn(env.local.path()), QStringList{});
}

void TestFrmMain::hostileNamesStayOut()
{
    FtpServerFixture::Options hostile;
    hostile.hostile = true;
    Env env(hostile);
    QVERIFY(env.server.isRunning());
    const QString inside = env.local.filePath(QStringLiteral("in"));
    QVERIFY(QDir().mkpath(inside));
    env.saveProfile(true);
    auto w = env.window();
    w->SetLocalPath(inside + u'/');
    w->toggleConnection();
    w->SetRemotePath(QStringLiteral("/hostile/"));
    QCOMPARE(itemNames(*w, 1), QStringList{QStringLiteral("ok.txt")});
    w->SetRemotePath(QStringLiteral("/"));
    select(*w, 1, {QStringLiteral("hostile")});
    w->transfer(false);
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QVERIFY(env.fakes.messages.shown[0].text.startsWith(QStringLiteral("ファイルの受信に失敗しました\r\nhostile\r\n")));
    QVERIFY(!QFile::exists(env.local.filePath(QStringLiteral("evil"))));
    QVERIFY(!QFile::exists(inside + QStringLiteral("/evil")));
    QVERIFY(!QFile::exists(inside + QStringLiteral("/hostile/ok.txt")));
}

void TestFrmMain::namesTheServerCannotHold_data()
{
    QTest::addColumn<bool>("cp932");
    QTest::newRow("Shift_JIS server") << true;
    QTest::newRow("UTF-8 server") << false;
}

void TestFrmMain::namesTheServerCannotHold()
{
    QFETCH(bool, cp932);
    FtpServerFixture::Options options;
    options.cp932Names = cp932;
    Env env(options);
    QVERIFY(env.server.isRunning());
    putFile(env.local.filePath(QStringLiteral("😀.html")), "<p>");
    putFile(env.server.homeFile(QStringLiteral("a.txt")), "a");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    select(*w, 0, {QStringLiteral("😀.html")});
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_0")), Qt::LeftButton);
    select(*w, 1, {QStringLiteral("a.txt")});
    QTest::keyClick(w->pane(1)->currentView(), Qt::Key_F2);
    for (QLineEdit* e : w->pane(1)->currentView()->findChildren<QLineEdit*>()) {
        if (e->isVisible()) {
            e->setText(QStringLiteral("😀.txt"));
            QTest::keyClick(e, Qt::Key_Return);
        }
    }
    QCoreApplication::processEvents();
    if (!cp932) {
        QVERIFY(env.fakes.messages.shown.isEmpty());
        QCOMPARE(filesIn(env.server.home()), (QStringList{"😀.html", "😀.txt"}));
        return;
    }
    // Each failure says which character the server's encoding lacks.
    const QString why = QStringLiteral(
        "サーバの文字コードで表せない文字を含む名前です: /😀.%1 (😀 (U+1F600) は "
        "Shift_JIS で送れません)");
    QCOMPARE(env.fakes.messages.shown.size(), 2);
    QCOMPARE(env.fakes.messages.shown[0].text,
             QStringLiteral("ファイルの送信に失敗しました\r\n😀.html\r\n") + why.arg(QStringLiteral("html")));
    QCOMPARE(env.fakes.messages.shown[1].text,
             QStringLiteral("ファイル名が重複しているか、有効ではありません\r\n名前を変更出来ません\r\n")
                 + why.arg(QStringLiteral("txt")));
    QCOMPARE(filesIn(env.server.home()), QStringList{"a.txt"});
}

void TestFrmMain::stopDuringSyncFinishesTheFile()
{
    FtpServerFixture::Options slow;
    // More than the socket buffers hold, so the file is still on its way.
    slow.throttleBytesPerSec = 400000;
    Env env(slow);
    QVERIFY(env.server.isRunning());
    const QByteArray first(1000000, 'a');
    putFile(env.local.filePath(QStringLiteral("site/a.bin")), first);
    putFile(env.local.filePath(QStringLiteral("site/b.bin")), "b");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    connect(w.get(), &Frm_Main::dialogOpened, this, [](QDialog* d) {
        QTimer::singleShot(0, d, [d] { QTest::mouseClick(qobject_cast<Frm_Sync*>(d)->okButton(), Qt::LeftButton); });
    });
    // 中止 while the first file is on its way.
    QStringList seen;
    auto* timer = new QTimer(w.get());
    connect(timer, &QTimer::timeout, w.get(), [&] {
        auto* state = w->findChild<Frm_State*>();
        if (!state || !state->label(2)->text().contains(u'/') || state->label(2)->text().startsWith(u'0'))
            return;
        timer->stop();
        QTest::mouseClick(state->stopButton(), Qt::LeftButton);
        seen << QString::number(state->stopButton()->isEnabled()) << state->note()->text();
    });
    timer->start(20);
    select(*w, 0, {QStringLiteral("site")});
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Btn_Sync")), Qt::LeftButton);
    QCOMPARE(seen, (QStringList{"0", "現在のファイルの転送が終わると中止します"}));
    // That file arrived whole; the next one never went.
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("a.bin"))), first);
    QCOMPARE(filesIn(env.server.home()), QStringList{"a.bin"});
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QCOMPARE(env.fakes.messages.shown[0].text,
             QStringLiteral("変更分のアップロードを中止しました (1 / 2 ファイル送信済み)"));
    QCOMPARE(env.fakes.messages.shown[0].icon, MsgIcon::Information);
}

void TestFrmMain::connectListAndNavigate()
{
    Env env;
    QVERIFY2(env.server.isRunning(), qPrintable(env.server.errorString()));
    putFile(env.server.homeFile(QStringLiteral("pub/docs/a.txt")), "a");
    putFile(env.server.homeFile(QStringLiteral("pub/x.bin")), QByteArray(2047, 'x'));
    putFile(env.local.filePath(QStringLiteral("page.html")), "<p>");
    env.saveProfile(true);
    withoutIconTheme();
    auto w = env.window();
    QCOMPARE(w->windowTitle(), QStringLiteral("FTPクライアントβ"));
    QCOMPARE(itemNames(*w, 0), QStringList{QStringLiteral("page.html")});
    auto* up = w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_0"));
    QVERIFY(!up->isEnabled());
    for (const char* name : {"Btn_Trs_0", "Btn_Trs_1", "Btn_0", "Btn_1"})
        QVERIFY2(drawsPicture(w->findChild<QPushButton*>(QLatin1String(name))->icon()), name);
    auto* con = w->findChild<QToolButton*>(QStringLiteral("Btn_Con"));
    QVERIFY(drawsPicture(con->icon()));
    const qint64 connectPicture = con->icon().cacheKey();

    w->toggleConnection();
    QVERIFY(w->isConnected());
    QVERIFY(drawsPicture(con->icon()));
    QVERIFY(con->icon().cacheKey() != connectPicture);
    QVERIFY(up->isEnabled());
    QVERIFY(!w->findChild<QPushButton*>(QStringLiteral("Btn_User"))->isEnabled());
    QCOMPARE(itemNames(*w, 1), QStringList{QStringLiteral("pub")});

    // Double-click on the folder in the report view.
    w->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(3);
    QTreeView* tree = w->pane(1)->report();
    QVERIFY(tree->isVisible());
    QVERIFY(drawsPicture(qvariant_cast<QIcon>(tree->model()->index(0, 0).data(Qt::DecorationRole))));
    emit tree->doubleClicked(tree->model()->index(0, 0));
    QCOMPARE(itemNames(*w, 1), (QStringList{QStringLiteral("docs"), QStringLiteral("x.bin")}));
    QComboBox* box = dirBox(*w, 1);
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    QCOMPARE(entries, (QStringList{QStringLiteral("/pub/"), QStringLiteral("/")}));
    const ListItem bin = w->pane(1)->item(w->FindListItem(1, QStringLiteral("x.bin")));
    QCOMPARE(bin.sizeText, QStringLiteral("1KB"));
    QCOMPARE(bin.typeText, QStringLiteral("BIN"));
    QCOMPARE(bin.accessText, QStringLiteral("644"));
    QCOMPARE(w->pane(1)->item(w->FindListItem(1, QStringLiteral("docs"))).typeText, QStringLiteral("<フォルダ>"));

    // Both panes share the view; the report sorts by a clicked column.
    QVERIFY(w->pane(0)->report()->isVisible());
    // Folders first until a header is clicked; the order chosen stays for the next listing.
    QCOMPARE(w->pane(1)->names(), (QStringList{"docs", "x.bin"}));
    for (const QString first : {"x.bin", "docs"}) {
        QTest::mouseClick(tree->header()->viewport(), Qt::LeftButton, {}, QPoint(5, tree->header()->height() / 2));
        w->refresh();
        QCOMPARE(w->pane(1)->item(1).name, first);
    }

    // Enter in the path box, then up.
    box->setEditText(QStringLiteral("/pub/docs/"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(itemNames(*w, 1), QStringList{QStringLiteral("a.txt")});
    w->findChild<QPushButton*>(QStringLiteral("Btn_1"))->click();
    QCOMPARE(box->currentText(), QStringLiteral("/pub/"));
    QCOMPARE(itemNames(*w, 1).size(), 2);
    // A folder that cannot be entered: the box says where the list is from.
    box->setEditText(QStringLiteral("/nowhere/"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->currentText(), QStringLiteral("/pub/"));
    QVERIFY(env.fakes.messages.shown.isEmpty());
    // Text typed without Enter is not where commands go; a relative name is.
    box->setEditText(QStringLiteral("docs/"));
    w->setActivePane(1);
    w->makeFolder();
    QVERIFY(QFileInfo(env.server.homeFile(QStringLiteral("pub/NewFolder"))).isDir());
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->currentText(), QStringLiteral("/pub/docs/"));
    // Enter opens exactly the typed text, not a longer folder of the history.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "/pub");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->currentText(), QStringLiteral("/pub"));

    // Local pane: a relative path is refused and the old folder stays.
    QComboBox* local = dirBox(*w, 0);
    local->setEditText(QStringLiteral("relative/x"));
    QTest::keyClick(local->lineEdit(), Qt::Key_Return);
    QCOMPARE(local->currentText(), env.local.path() + u'/');

    w->toggleConnection();
    QVERIFY(!w->isConnected());
    QCOMPARE(w->pane(1)->count(), 0);
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("Btn_User"))->isEnabled());
    w->close();
    QCOMPARE(IniRead(env.files.userIni, QStringLiteral("テスト"), QStringLiteral("LastPathHost"), {}),
             QStringLiteral("/pub"));
}

void TestFrmMain::connectFailureSaysWhy()
{
    Env env;
    QVERIFY(env.server.isRunning());
    env.saveProfile(true, TransferType::Automatic, QStringLiteral("wrong"));
    auto w = env.window();
    w->toggleConnection();
    QVERIFY(!w->isConnected());
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QCOMPARE(env.fakes.messages.shown[0].text, env.server.serverText() + QStringLiteral(" へ接続出来ませんでした\r\n")
                                                   + describeFtpError({FtpErrorKind::Login, {}}));
    QVERIFY(w->findChild<QToolButton*>(QStringLiteral("Btn_Con"))->isEnabled());
}

void TestFrmMain::transfersInEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("listCache");
    QTest::addColumn<QByteArray>("htmlOnServer");
    QTest::addColumn<QByteArray>("gifOnServer");
    const QByteArray text = "a\nb\n";
    const QByteArray raw = "a\r\nb\r\n";
    QTest::newRow("自動, patched") << 0 << true << text << raw;
    QTest::newRow("自動, listed again") << 0 << false << text << raw;
    QTest::newRow("アスキー") << 1 << true << text << text;
    QTest::newRow("バイナリ") << 2 << false << raw << raw;
}

void TestFrmMain::transfersInEachMode()
{
    QFETCH(int, mode);
    QFETCH(bool, listCache);
    QFETCH(QByteArray, htmlOnServer);
    QFETCH(QByteArray, gifOnServer);
    Env env;
    QVERIFY(env.server.isRunning());
    const QByteArray local = "a\r\nb\r\n";
    putFile(env.local.filePath(QStringLiteral("index.html")), local);
    putFile(env.local.filePath(QStringLiteral("logo.gif")), local);
    putFile(env.local.filePath(QStringLiteral("site/sub/page.html")), local);
    putFile(env.local.filePath(QStringLiteral("site/img.gif")), local);
    env.saveProfile(listCache, TransferType(mode));
    auto w = env.window();
    w->toggleConnection();
    QVERIFY(w->isConnected());

    select(*w, 0, {QStringLiteral("index.html"), QStringLiteral("logo.gif"), QStringLiteral("site")});
    env.server.clearLog();
    w->transfer(true);
    QVERIFY(env.fakes.messages.shown.isEmpty());
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("index.html"))), htmlOnServer);
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("logo.gif"))), gifOnServer);
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("site/sub/page.html"))), htmlOnServer);
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("site/img.gif"))), gifOnServer);
    QCOMPARE(itemNames(*w, 1),
             (QStringList{QStringLiteral("index.html"), QStringLiteral("logo.gif"), QStringLiteral("site")}));
    // Patched in place, or listed again from the server.
    QCOMPARE(countCommands(env.server, QStringLiteral("MLSD")), listCache ? 0 : 1);
    QCOMPARE(w->pane(1)->item(w->FindListItem(1, QStringLiteral("index.html"))).sizeText, QStringLiteral("1KB"));
    QVERIFY(!w->findChild<Frm_State*>());

    // And back into another local folder.
    const QString back = env.local.filePath(QStringLiteral("back"));
    QVERIFY(QDir().mkpath(back));
    dirBox(*w, 0)->setEditText(back + u'/');
    QTest::keyClick(dirBox(*w, 0)->lineEdit(), Qt::Key_Return);
    QCOMPARE(w->pane(0)->count(), 0);
    select(*w, 1, {QStringLiteral("index.html"), QStringLiteral("logo.gif"), QStringLiteral("site")});
    w->transfer(false);
    QVERIFY(env.fakes.messages.shown.isEmpty());
    // What comes back in ASCII mode has CR LF again; binary is as it was.
    const QByteArray gifBack = mode == 1 ? local : gifOnServer;
    QCOMPARE(bytesOf(back + QStringLiteral("/index.html")), local);
    QCOMPARE(bytesOf(back + QStringLiteral("/logo.gif")), gifBack);
    QCOMPARE(bytesOf(back + QStringLiteral("/site/sub/page.html")), local);
    QCOMPARE(itemNames(*w, 0),
             (QStringList{QStringLiteral("index.html"), QStringLiteral("logo.gif"), QStringLiteral("site")}));

    // A second download over the same file updates its item, not a second one.
    putFile(env.server.homeFile(QStringLiteral("index.html")), QByteArray(5000, 'z'));
    select(*w, 1, {QStringLiteral("index.html")});
    w->transfer(false);
    QCOMPARE(w->pane(0)->count(), 3);
    QCOMPARE(w->pane(0)->item(w->FindListItem(0, QStringLiteral("index.html"))).sizeText, QStringLiteral("4KB"));
}

void TestFrmMain::failedTransferStopsTheWalk()
{
    Env env;
    QVERIFY(env.server.isRunning());
    putFile(env.local.filePath(QStringLiteral("a.txt")), "a");
    putFile(env.local.filePath(QStringLiteral("b.txt")), "b");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    // a.txt cannot be stored: a folder of that name is in the way.
    QVERIFY(QDir().mkpath(env.server.homeFile(QStringLiteral("a.txt"))));
    w->ListRemote(QStringLiteral("/"));
    select(*w, 0, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    w->transfer(true);
    QCOMPARE(env.fakes.messages.shown.size(), 1);
    QVERIFY(env.fakes.messages.shown[0].text.startsWith(QStringLiteral("ファイルの送信に失敗しました\r\na.txt")));
    QCOMPARE(env.fakes.messages.shown[0].icon, MsgIcon::Critical);
    QVERIFY(!QFile::exists(env.server.homeFile(QStringLiteral("b.txt"))));
    QVERIFY(w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_0"))->isEnabled());
}

void TestFrmMain::deleteAsksAndRemovesTrees()
{
    for (const bool listCache : {true, false}) {
        Env env;
        QVERIFY(env.server.isRunning());
        putFile(env.server.homeFile(QStringLiteral("a.txt")), "a");
        putFile(env.server.homeFile(QStringLiteral("b.txt")), "b");
        putFile(env.server.homeFile(QStringLiteral("tree/sub/c.txt")), "c");
        putFile(env.server.homeFile(QStringLiteral("keep.txt")), "k");
        putFile(env.local.filePath(QStringLiteral("ltree/x/y.txt")), "y");
        putFile(env.local.filePath(QStringLiteral("l.txt")), "l");
        // A link to a folder outside is removed as a link only.
        QTemporaryDir outside;
        putFile(outside.filePath(QStringLiteral("precious.txt")), "p");
        QVERIFY(QFile::link(outside.path(), env.local.filePath(QStringLiteral("link"))));
        env.saveProfile(listCache);
        auto w = env.window();
        w->toggleConnection();

        select(*w, 1, {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("tree")});
        env.fakes.messages.answer(MsgResult::No);
        w->deleteSelected();
        QCOMPARE(env.fakes.messages.shown.last().text,
                 QStringLiteral("選択したファイルを全て削除しますが\r\nよろしいですか？"));
        QVERIFY(QFile::exists(env.server.homeFile(QStringLiteral("a.txt"))));
        QCOMPARE(w->pane(1)->count(), 4);

        env.fakes.messages.answer(MsgResult::Yes);
        w->deleteSelected();
        QCOMPARE(itemNames(*w, 1), QStringList{QStringLiteral("keep.txt")});
        QVERIFY(!QFile::exists(env.server.homeFile(QStringLiteral("tree"))));
        QVERIFY(QFile::exists(env.server.homeFile(QStringLiteral("keep.txt"))));

        select(*w, 0, {QStringLiteral("ltree"), QStringLiteral("l.txt"), QStringLiteral("link")});
        env.fakes.messages.answer(MsgResult::Yes);
        w->deleteSelected();
        QCOMPARE(w->pane(0)->count(), 0);
        QVERIFY(!QFile::exists(env.local.filePath(QStringLiteral("ltree"))));
        QCOMPARE(bytesOf(outside.filePath(QStringLiteral("precious.txt"))), QByteArray("p"));
        QCOMPARE(env.fakes.messages.shown.size(), 3);
    }
}

void TestFrmMain::newFolderNames()
{
    Env env;
    QVERIFY(env.server.isRunning());
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    w->setActivePane(1);
    w->makeFolder();
    w->makeFolder();
    w->makeFolder();
    QCOMPARE(itemNames(*w, 1),
             (QStringList{QStringLiteral("NewFolder"), QStringLiteral("NewFolder2"), QStringLiteral("NewFolder3")}));
    QVERIFY(QFileInfo(env.server.homeFile(QStringLiteral("NewFolder3"))).isDir());
    w->setActivePane(0);
    w->makeFolder();
    w->makeFolder();
    QVERIFY(QFileInfo(env.local.filePath(QStringLiteral("新しいフォルダ2"))).isDir());
    QCOMPARE(w->pane(0)->count(), 2);
}

void TestFrmMain::renameInPlace()
{
    Env env;
    QVERIFY(env.server.isRunning());
    putFile(env.server.homeFile(QStringLiteral("old.txt")), "o");
    putFile(env.server.homeFile(QStringLiteral("taken.txt")), "t");
    putFile(env.local.filePath(QStringLiteral("mine.txt")), "m");
    putFile(env.local.filePath(QStringLiteral("other.txt")), "x");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();

    struct Case {
        int pane;
        QString from, to;
        bool ok;
    };
    const Case cases[] = {
        {1, QStringLiteral("old.txt"), QStringLiteral("new.html"), true},
        {1, QStringLiteral("new.html"), QStringLiteral("taken.txt"), false},
        {1, QStringLiteral("new.html"), QStringLiteral("../up.txt"), false},
        {0, QStringLiteral("mine.txt"), QStringLiteral("renamed.txt"), true},
        {0, QStringLiteral("renamed.txt"), QStringLiteral("other.txt"), false},
    };
    for (const Case& c : cases) {
        select(*w, c.pane, {c.from});
        w->renameSelected();
        QLineEdit* line = nullptr;
        for (QLineEdit* e : w->pane(c.pane)->currentView()->findChildren<QLineEdit*>()) {
            if (e->isVisible())
                line = e;
        }
        QVERIFY2(line, "the label is being edited");
        line->setText(c.to);
        QTest::keyClick(line, Qt::Key_Return);
        // The delegate commits the edit from the event loop.
        QCoreApplication::processEvents();
        const int messages = c.ok ? 0 : 1;
        QCOMPARE(env.fakes.messages.shown.size(), messages);
        env.fakes.messages.shown.clear();
        QCOMPARE(w->FindListItem(c.pane, c.to) > 0,
                 c.ok || c.to == QStringLiteral("taken.txt") || c.to == QStringLiteral("other.txt"));
        QCOMPARE(w->FindListItem(c.pane, c.from) > 0, !c.ok);
    }
    QCOMPARE(w->pane(1)->item(w->FindListItem(1, QStringLiteral("new.html"))).typeText, QStringLiteral("HTML"));
    QCOMPARE(bytesOf(env.server.homeFile(QStringLiteral("taken.txt"))), QByteArray("t"));
    QCOMPARE(bytesOf(env.local.filePath(QStringLiteral("other.txt"))), QByteArray("x"));
    QVERIFY(QFile::exists(env.local.filePath(QStringLiteral("renamed.txt"))));
}

void TestFrmMain::permissions_data()
{
    QTest::addColumn<bool>("listCache");
    QTest::addColumn<bool>("ok");
    QTest::newRow("patched") << true << true;
    QTest::newRow("listed again") << false << true;
    QTest::newRow("cancelled") << true << false;
}

void TestFrmMain::permissions()
{
    QFETCH(bool, listCache);
    QFETCH(bool, ok);
    Env env;
    QVERIFY(env.server.isRunning());
    putFile(env.server.homeFile(QStringLiteral("pub/index.html")), "i");
    QFile::setPermissions(env.server.homeFile(QStringLiteral("pub/index.html")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                              | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                              | QFileDevice::ExeOther);
    env.saveProfile(listCache);
    auto w = env.window();
    w->toggleConnection();
    w->SetRemotePath(QStringLiteral("/pub/"));
    select(*w, 1, {QStringLiteral("index.html")});
    QStringList seen;
    connect(w.get(), &Frm_Main::dialogOpened, this, [&](QDialog* d) {
        QTimer::singleShot(0, d, [&, d] {
            auto* box = d->findChild<QCheckBox*>(QStringLiteral("chk_own_2"));
            for (const char* n : {"chk_own_0", "chk_own_1", "chk_own_2", "chk_grp_0", "chk_grp_1", "chk_grp_2"})
                seen << (d->findChild<QCheckBox*>(QLatin1String(n))->isChecked() ? QStringLiteral("1")
                                                                                 : QStringLiteral("0"));
            box->click();
            seen << d->findChild<QLabel*>(QStringLiteral("lbl_own"))->text();
            d->findChild<QPushButton*>(ok ? QStringLiteral("cmd_ok") : QStringLiteral("cmd_cancel"))->click();
        });
    });
    env.server.clearLog();
    w->changePermissions();
    QCOMPARE(seen, (QStringList{"1", "1", "1", "1", "0", "1", "6"}));
    const QString digits = w->pane(1)->item(w->FindListItem(1, QStringLiteral("index.html"))).accessText;
    const auto perms = QFileInfo(env.server.homeFile(QStringLiteral("pub/index.html"))).permissions();
    if (ok) {
        // The access text of the list opens the dialog with its boxes.
        select(*w, 1, {QStringLiteral("index.html")});
        w->changePermissions();
        QCOMPARE(seen.mid(7), (QStringList{"1", "1", "0", "1", "0", "1", "7"}));
        QVERIFY(env.server.commands().contains(QStringLiteral("SITE CHMOD 655 index.html")));
        QCOMPARE(digits, listCache ? QStringLiteral("655 ") : QStringLiteral("655"));
        QVERIFY(!(perms & QFileDevice::ExeOwner));
    } else {
        QCOMPARE(countCommands(env.server, QStringLiteral("SITE")), 0);
        QCOMPARE(digits, QStringLiteral("755"));
    }
    QVERIFY(env.fakes.messages.shown.isEmpty());
}

void TestFrmMain::stopButtonEndsSlowDownload()
{
    FtpServerFixture::Options slow;
    slow.throttleBytesPerSec = 20000;
    Env env(slow);
    QVERIFY(env.server.isRunning());
    putFile(env.server.homeFile("big.bin"), QByteArray(4 * 1024 * 1024, 'b'));
    putFile(env.server.homeFile("empty.txt"), {});
    putFile(env.local.filePath("big.bin"), "old");
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    select(*w, 1, {"big.bin", "empty.txt"});
    QStringList seen;
    stopWhenUnderway(*w, [&](Frm_State* state) {
        seen << state->windowTitle() << state->label(0)->text() << state->label(2)->text().section(u'/', 1)
             << state->label(3)->text().section(u'/', 0, 1).section(u'合', 0, 0)
             << state->label(3)->text().section(u'/', 2);
        seen << filesIn(env.local.path());  // nothing new mid-way: a crash leaves nothing
        // The window stays usable; a command that needs the server says why not.
        QVERIFY(w->centralWidget()->isEnabled()
                && !w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_1"))->isEnabled());
        w->setActivePane(0);
        w->refresh();
        QCOMPARE(w->pane(0)->count(), 1);
        w->setActivePane(1);
        w->refresh();
        QCOMPARE(env.fakes.messages.shown.value(0).icon, MsgIcon::Information);
        QVERIFY(!w->close());
    });
    w->transfer(false);
    QCOMPARE(seen, (QStringList{"処理中です...", "big.bin を受信中です...", " 4,096KB", "ファイル 1 / 2　", " 4,096KB",
                                "big.bin"}));
    QCOMPARE(env.fakes.messages.shown.size(), 2);
    QCOMPARE(env.fakes.messages.shown[1].text, QStringLiteral("ファイルの受信に失敗しました\r\nbig.bin\r\n")
                                                   + describeFtpError({FtpErrorKind::Cancelled, {}}));
    // The old file stays, and no partial file is left beside it.
    QCOMPARE(bytesOf(env.local.filePath(QStringLiteral("big.bin"))), QByteArray("old"));
    QCOMPARE(filesIn(env.local.path()), QStringList{"big.bin"});
    // The connection works on.
    w->setActivePane(1);
    w->refresh();
    QCOMPARE(itemNames(*w, 1), (QStringList{"big.bin", "empty.txt"}));
}

void TestFrmMain::uploadsAreAllOrNothing_data()
{
    QTest::addColumn<bool>("refusesRenameOver");
    QTest::newRow("rename replaces") << false;
    QTest::newRow("rename refused over a file") << true;
}

void TestFrmMain::uploadsAreAllOrNothing()
{
    FtpServerFixture::Options slow;
    slow.throttleBytesPerSec = 40000;
    QFETCH(bool, refusesRenameOver);
    slow.noRenameOver = refusesRenameOver;
    Env env(slow);
    for (const char* name : {"live.bin", "new.bin"})
        putFile(env.local.filePath(name), QByteArray(2 * 1024 * 1024, 'n'));
    putFile(env.local.filePath("page.html"), "new\n");
    putFile(env.server.homeFile("live.bin"), "old site");
    putFile(env.server.homeFile("page.html"), "old page");
    const QStringList site = {"live.bin", "loop", "page.html"};
    // Folder copies leave out links to outside and a server folder that lists itself.
    QTemporaryDir outside;
    putFile(env.local.filePath("site/index.html"), "i");
    QVERIFY(QFile::link(outside.path(), env.local.filePath("site/key")));
    QVERIFY(QFile::link("index.html", env.local.filePath("site/home.html")));
    putFile(env.server.homeFile("loop/a.txt"), "a");
    QVERIFY(QFile::link(".", env.server.homeFile("loop/self")));
    env.saveProfile(true);
    auto w = env.window();
    w->toggleConnection();
    // Stopped over an existing file and to a new name: the site is as it was.
    for (const QString name : {"live.bin", "new.bin"}) {
        select(*w, 0, {name});
        stopWhenUnderway(*w, [](Frm_State*) {});
        w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_0"))->click();
        QCOMPARE(filesIn(env.server.home()), site);
        QCOMPARE(bytesOf(env.server.homeFile("live.bin")), QByteArray("old site"));
        QCOMPARE(itemNames(*w, 1), site);
        QCOMPARE(env.fakes.messages.shown.last().text, QStringLiteral("ファイルの送信に失敗しました\r\n") + name
                                                           + "\r\n" + describeFtpError({FtpErrorKind::Cancelled, {}}));
    }
    // A whole upload replaces the old file, also where the server refuses that rename.
    select(*w, 0, {"page.html"});
    w->findChild<QPushButton*>(QStringLiteral("Btn_Trs_0"))->click();
    QCOMPARE(env.fakes.messages.shown.size(), 2);
    QCOMPARE(bytesOf(env.server.homeFile("page.html")), QByteArray("new\n"));
    QCOMPARE(filesIn(env.server.home()), site);
    select(*w, 0, {"site"});
    w->transfer(true);
    QCOMPARE(filesIn(env.server.homeFile("site")), (QStringList{"home.html", "index.html"}));
    select(*w, 1, {"loop"});
    w->transfer(false);
    QCOMPARE(filesIn(env.local.filePath("loop")), QStringList{"a.txt"});
    QCOMPARE(env.fakes.messages.shown.size(), 4);
    QCOMPARE(env.fakes.messages.shown[2].text,
             QStringLiteral("フォルダの外を指すリンクのため、次のファイルは送信しませんでした:\r\nsite/key"));
    QCOMPARE(env.fakes.messages.shown[3].text,
             QStringLiteral("上のフォルダと同じ内容を示すため、次のフォルダはたどりませんでした:\r\nloop/self"));
    // Deleting it removes the link to itself, not the same files twice over.
    env.fakes.messages.answer(MsgResult::Yes);
    QTest::keyClick(w->pane(1)->currentView(), Qt::Key_Delete);
    QCOMPARE(filesIn(env.server.home()), (QStringList{"live.bin", "page.html", "site"}));
}

void TestFrmMain::profileDialog()
{
    QFETCH(QString, password);
    Env env;
    env.saveProfile(true);
    auto w = env.window();
    QStringList steps;
    connect(w.get(), &Frm_Main::dialogOpened, this, [&](QDialog* d) {
        QTimer::singleShot(0, d, [&, d] {
            auto* user = qobject_cast<Frm_User*>(d);
            QCOMPARE(user->field(0)->text(), QStringLiteral("テスト"));
            d->findChild<QPushButton*>(QStringLiteral("Btn_Set_0"))->click();
            QCOMPARE(user->field(0)->text(), QStringLiteral("新しい接続"));
            d->findChild<QPushButton*>(QStringLiteral("Btn_0"))->click();
            steps << env.fakes.messages.shown.value(0).text;
            user->field(1)->setText(QStringLiteral("example.org"));
            user->field(2)->setText(QStringLiteral("me"));
            QInputMethodEvent typed;
            typed.setCommitString(password);
            QApplication::sendEvent(user->field(3), &typed);
            d->findChild<QPushButton*>(QStringLiteral("Btn_0"))->click();
        });
    });
    w->openProfiles();
    QCOMPARE(steps, QStringList{QStringLiteral("入力必須箇所が埋まっていません\r\n登録名とサーバ名は必須です")});
    QCOMPARE(ProfileNames(env.files), (QStringList{QStringLiteral("テスト"), QStringLiteral("新しい接続")}));
    QCOMPARE(w->profile().Name, QStringLiteral("新しい接続"));
    QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cmb"))->currentText(), QStringLiteral("新しい接続"));
    // The password reads back from User.ini exactly as typed.
    ConnectionProfile saved{QStringLiteral("新しい接続")};
    LoadProfile(env.files, saved);
    QCOMPARE(saved.Password, password);

    // A click in the list stays current after キャンセル; deleting selects the one above.
    // The profile clicked keeps its own folder; the one left keeps the folder shown.
    const QString sub = env.local.filePath(QStringLiteral("sub/"));
    QVERIFY(QDir().mkpath(sub));
    QVERIFY(w->SetLocalPath(sub));
    disconnect(w.get(), &Frm_Main::dialogOpened, this, nullptr);
    connect(w.get(), &Frm_Main::dialogOpened, this, [&](QDialog* d) {
        QTimer::singleShot(0, d, [&, d] {
            auto* user = qobject_cast<Frm_User*>(d);
            QListWidget* list = user->list();
            list->setCurrentRow(1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
            d->findChild<QPushButton*>(QStringLiteral("Btn_Set_1"))->click();
            steps << list->currentItem()->text() << user->field(1)->text();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
            d->findChild<QPushButton*>(QStringLiteral("Btn_1"))->click();
        });
    });
    w->openProfiles();
    QCOMPARE(steps.mid(1), (QStringList{QStringLiteral("テスト"), env.server.serverText()}));
    QCOMPARE(ProfileNames(env.files), QStringList{QStringLiteral("テスト")});
    QCOMPARE(w->profile().Name, QStringLiteral("テスト"));
    QCOMPARE(w->profile().Server, env.server.serverText());
    QCOMPARE(w->profile().LastPathLocal, env.local.path() + u'/');
    QCOMPARE(dirBox(*w, 0)->currentText(), env.local.path() + u'/');
}

void TestFrmMain::profileDialog_data()
{
    // What Linux input methods type; CP932 reads each back as its full-width twin.
    QTest::addColumn<QString>("password");
    for (const char16_t c : {u'〜', u'—', u'−', u'‖', u'¬', u'¢', u'£'})
        QTest::newRow(qPrintable(QString(QChar(c)))) << QStringLiteral("pw") + QChar(c) + QStringLiteral("9");
    QTest::newRow("CP932 as it was") << QStringLiteral("ｶﾅ～漢字");
}

void TestFrmMain::detailSettings()
{
    Env env;
    env.saveProfile(true);
    putFile(env.local.filePath("a.php"), "<?php");
    auto w = env.window();
    connect(w.get(), &Frm_Main::dialogOpened, this, [&](QDialog* d) {
        QTimer::singleShot(0, d, [&, d] {
            d->findChild<QLineEdit*>(QStringLiteral("txt_Ext"))->setText(".php");
            d->findChild<QPushButton*>(QStringLiteral("cmd_add"))->click();
            d->findChild<QCheckBox*>(QStringLiteral("chk_ListCache"))->click();
            d->findChild<QPushButton*>(QStringLiteral("cmd_ok"))->click();
        });
    });
    w->findChild<QAction*>(QStringLiteral("m_DetailSet"))->trigger();
    QCOMPARE(w->pane(0)->item(1).icon, int(ListItem::TextIcon));
    w->close();
    // Read back from Ftp.ini by the next start.
    QVERIFY(!env.window()->listCache());
    QCOMPARE(TextExtensions(), BuiltInTextExtensions() + QStringList{"PHP"});
    setTextExtensions(BuiltInTextExtensions());
}

void TestFrmMain::closeWhileConnectedAsks()
{
    Env env;
    QVERIFY(env.server.isRunning());
    env.saveProfile(true, TransferType::Binary);
    auto w = env.window();
    w->toggleConnection();
    env.fakes.messages.answer(MsgResult::No);
    QVERIFY(!w->close());
    QCOMPARE(env.fakes.messages.shown.last().text,
             env.server.serverText() + QStringLiteral(" へ接続中ですが、切断しますか？"));
    w->findChild<QComboBox*>(QStringLiteral("Cmb_Trs"))->setCurrentIndex(1);
    env.fakes.messages.answer(MsgResult::Yes);
    QVERIFY(w->close());
    QVERIFY(!w->isConnected());
    QCOMPARE(IniRead(env.files.userIni, QStringLiteral("テスト"), QStringLiteral("TransMode"), {}),
             QStringLiteral("1"));
    QCOMPARE(IniRead(env.files.ftpIni, QStringLiteral("Skyport"), QStringLiteral("User"), {}),
             QStringLiteral("テスト"));
    QCOMPARE(IniRead(env.files.ftpIni, QStringLiteral("Extension"), QStringLiteral("Extension9"), {}),
             QStringLiteral("TXT"));
    // Closing while disconnected asks nothing.
    auto again = env.window();
    const qsizetype asked = env.fakes.messages.shown.size();
    QVERIFY(again->close());
    QCOMPARE(env.fakes.messages.shown.size(), asked);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
