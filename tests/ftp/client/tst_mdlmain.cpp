// The client's helpers (list items, paths, folder names, permission digits)
// and the engine's answers to the faults found by attacking it: names with
// line breaks, busy refusals, stalls.

#include "ftp/session/direntry.h"
#include "ftp/session/ftpoperations.h"
#include "tests/testkit/ftpserver.h"
#include "ftp/client/mdl_main.h"
#include "ftp/client/permissions.h"
#include "ftp/session/progress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;
using tw::test::FtpServerFixture;

class TestMdlMain : public QObject {
    Q_OBJECT
private slots:
    void formatSizeKB_data();
    void formatSizeKB();
    void listItem_data();
    void listItem();
    void ancestors_data();
    void ancestors();
    void newFolderName_data();
    void newFolderName();
    void permissionDigits_data();
    void permissionDigits();
    void permissionBoxes();
    void mlsdLineNeedsType();
    void nameWithCarriageReturn();
    void busyConnectionRefuses();
    void stalledTransferEnds();
    void asciiDownloadShowsListedSize();
};

namespace {
class Counter : public FtpProgressListener {
public:
    void setLabel(int index, const QString& text) override { labels[index] = text; }
    void startBar() override {}
    void drawBar(qint64, qint64 t) override { total = t; }
    void pumpEvents() override {}
    QString labels[3];
    qint64 total = 0;
};
}  // namespace

void TestMdlMain::asciiDownloadShowsListedSize()
{
    // In ASCII mode the server tells no size: the listing's size is the total.
    FtpServerFixture server;
    QVERIFY(server.isRunning());
    QFile f(server.homeFile(QStringLiteral("page.html")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300000, 'a'));
    f.close();
    auto c = FtpConnect(server.serverText(), server.user(), server.password());
    QVERIFY(c);
    Counter counter;
    c->setProgressListener(&counter);
    QTemporaryDir dir;
    for (const qint64 known : {qint64(300000), qint64(-1)}) {
        counter.total = 0;
        QVERIFY(FtpDownload(*c, QStringLiteral("/page.html"), dir.filePath(QStringLiteral("page.html")),
                            TransferType::Automatic, known));
        QCOMPARE(counter.total, qint64(300000));
        QCOMPARE(counter.labels[1], QStringLiteral("転送モード Ascii"));
        QCOMPARE(counter.labels[2], QStringLiteral("293KB / 293KB"));
    }
    // A binary download of a file that changed since the listing: its size now.
    QVERIFY(
        FtpDownload(*c, QStringLiteral("/page.html"), dir.filePath(QStringLiteral("b.bin")), TransferType::Binary, 10));
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("b.bin"))).size(), 300000);
}

void TestMdlMain::formatSizeKB_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0KB";
    QTest::newRow("1") << qint64(1) << "1KB";
    QTest::newRow("1023") << qint64(1023) << "1KB";
    QTest::newRow("1024") << qint64(1024) << "1KB";
    QTest::newRow("2047") << qint64(2047) << "1KB";
    QTest::newRow("1,572,864") << qint64(1572864) << "1,536KB";
    QTest::newRow("beyond 4 GB") << qint64(5) * 1024 * 1024 * 1024 << "5,242,880KB";
}

void TestMdlMain::formatSizeKB()
{
    QFETCH(qint64, size);
    QFETCH(QString, text);
    QCOMPARE(FormatSizeKB(size), text);
}

void TestMdlMain::listItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("size");
    QTest::newRow("a.b") << "a.b" << false << "B" << 3 << "1KB";
    QTest::newRow("no dot") << "README" << false << "" << 3 << "1KB";
    QTest::newRow("text") << "index.Html" << false << "HTML" << 2 << "1KB";
    QTest::newRow("folder a.b") << "a.b" << true << "<フォルダ>" << 1 << "";
}

void TestMdlMain::listItem()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(QString, type);
    QFETCH(int, icon);
    QFETCH(QString, size);
    DirEntry e;
    e.name = name;
    e.folder = folder;
    e.size = 1000;
    e.access = 0x755;
    e.lastWrite = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
    const ListItem item = MakeListItem(e, true);
    QCOMPARE(item.name, name);
    QCOMPARE(item.typeText, type);
    QCOMPARE(item.icon, icon);
    QCOMPARE(item.sizeText, size);
    QCOMPARE(item.accessText, QStringLiteral("755"));
    QVERIFY(item.timeText.endsWith(e.lastWrite.toLocalTime().time().toString(QStringLiteral("H:mm:ss"))));
    QVERIFY(MakeListItem(e, false).accessText.isEmpty());
}

void TestMdlMain::ancestors_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("remote") << "/pub/x/" << QStringList{"/pub/x/", "/pub/", "/"};
    QTest::newRow("no trailing") << "/home/a" << QStringList{"/home/a", "/home/", "/"};
    QTest::newRow("root") << "/" << QStringList{"/"};
}

void TestMdlMain::ancestors()
{
    QFETCH(QString, path);
    QFETCH(QStringList, list);
    QCOMPARE(PathAncestors(path, u'/'), list);
    QCOMPARE(ParentOf(QStringLiteral("C:\\"), u'\\'), QStringLiteral("C:\\"));
    QCOMPARE(FileNameOf(QStringLiteral("/a/b.txt"), u'/'), QStringLiteral("b.txt"));
    QCOMPARE(TrimAtNul(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd")), QStringLiteral("ab"));
}

void TestMdlMain::newFolderName_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("name");
    QTest::newRow("none") << QStringList{"a"} << true << "NewFolder";
    QTest::newRow("one") << QStringList{"NewFolder"} << true << "NewFolder2";
    QTest::newRow("two") << QStringList{"NewFolder", "NewFolder2"} << true << "NewFolder3";
    QTest::newRow("only 2") << QStringList{"NewFolder2"} << true << "NewFolder2";
    QTest::newRow("case") << QStringList{"newfolder"} << true << "NewFolder";
    QTest::newRow("local") << QStringList{"新しいフォルダ"} << false << "新しいフォルダ2";
}

void TestMdlMain::newFolderName()
{
    QFETCH(QStringList, names);
    QFETCH(bool, remote);
    QFETCH(QString, name);
    QCOMPARE(NewFolderName(names, remote), name);
}

void TestMdlMain::permissionDigits_data()
{
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("digits");
    QTest::newRow("755") << "755"
                         << "755";
    QTest::newRow("after a change, with its blank") << "644 "
                                                    << "644";
    QTest::newRow("empty") << ""
                           << "000";
    QTest::newRow("zero") << "0"
                          << "000";
    QTest::newRow("leading zero left out") << "44"
                                           << "044";
    QTest::newRow("not digits") << "rwx"
                                << "000";
}

void TestMdlMain::permissionDigits()
{
    QFETCH(QString, access);
    QFETCH(QString, digits);
    QCOMPARE(PermissionDigits::fromAccessText(access).text(), digits);
}

void TestMdlMain::permissionBoxes()
{
    PermissionDigits p = PermissionDigits::fromAccessText(QStringLiteral("755"));
    QVERIFY(p.box(PermissionDigits::Owner, 0) && p.box(PermissionDigits::Owner, 1)
            && p.box(PermissionDigits::Owner, 2));
    QVERIFY(p.box(PermissionDigits::Group, 0) && !p.box(PermissionDigits::Group, 1)
            && p.box(PermissionDigits::Group, 2));
    p.setBox(PermissionDigits::Owner, 2, false);
    QCOMPARE(p.digit(PermissionDigits::Owner), 6);
    QCOMPARE(p.chmodCommand(QStringLiteral("index.html")), QStringLiteral("SITE CHMOD 655 index.html\r"));
}

void TestMdlMain::mlsdLineNeedsType()
{
    const NameDecoder utf8 = [](const QByteArray& b) { return QString::fromUtf8(b); };
    DirEntry e;
    QVERIFY(parseMlsdLine("type=file;size=3; a.txt", utf8, e));
    QVERIFY(!parseMlsdLine("size=3;modify=20240101000000; b.txt", utf8, e));
    const ParsedListing l = parseListing("type=file;size=1; a\r\nsize=1; b\r\ntype=dir; c\r\n", true, utf8);
    QCOMPARE(l.entries.size(), 2);
}

void TestMdlMain::nameWithCarriageReturn()
{
    FtpServerFixture server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    // The tail after the CR looks like a listing line of its own.
    const QString evil = server.homeFile(QStringLiteral("x\rtype=file;size=1; evil"));
    QFile f(evil);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QFile ok(server.homeFile(QStringLiteral("ok.txt")));
    QVERIFY(ok.open(QIODevice::WriteOnly));
    ok.close();
    auto c = FtpConnect(server.serverText(), server.user(), server.password());
    QVERIFY(c);
    QList<DirEntry> entries;
    // The names are read from the bytes the server sent, whatever mode the
    // listing came in; once curl's mode is known, listings go in binary.
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(FtpFileList(*c, QStringLiteral("/*.*"), entries), 1);
        QCOMPARE(entries[0].name, QStringLiteral("ok.txt"));
    }
    const QStringList cmds = server.commands();
    const qsizetype mlsd = cmds.lastIndexOf(QStringLiteral("MLSD /"));
    QVERIFY(mlsd > 0);
    QVERIFY(cmds.lastIndexOf(QStringLiteral("TYPE I"), mlsd) > cmds.lastIndexOf(QStringLiteral("TYPE A"), mlsd));
    // An ASCII upload afterwards is still converted by the server.
    QTemporaryDir dir;
    QFile text(dir.filePath(QStringLiteral("t.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("a\r\nb\r\n");
    text.close();
    QVERIFY(FtpUpload(*c, text.fileName(), QStringLiteral("/t.txt"), TransferType::Ascii));
    QFile back(server.homeFile(QStringLiteral("t.txt")));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), QByteArray("a\nb\n"));
}

namespace {

// Tries other operations from inside a running transfer, as a window event would.
class Reentering : public FtpProgressListener {
public:
    explicit Reentering(std::unique_ptr<FtpConnection>& c) : m_c(c) {}
    void setLabel(int, const QString&) override {}
    void startBar() override {}
    void drawBar(qint64, qint64) override {}
    void pumpEvents() override
    {
        if (tried || !m_c->busy())
            return;
        tried = true;
        QList<DirEntry> entries;
        listCount = FtpFileList(*m_c, QStringLiteral("/*.*"), entries);
        listError = m_c->lastError().kind;
        disconnected = FtpDisconnect(m_c);
    }
    bool tried = false;
    int listCount = -1;
    FtpErrorKind listError = FtpErrorKind::None;
    bool disconnected = true;

private:
    std::unique_ptr<FtpConnection>& m_c;
};

}  // namespace

void TestMdlMain::busyConnectionRefuses()
{
    FtpServerFixture server;
    QVERIFY(server.isRunning());
    QFile f(server.homeFile(QStringLiteral("big.bin")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8 * 1024 * 1024, 'x'));
    f.close();
    auto c = FtpConnect(server.serverText(), server.user(), server.password());
    QVERIFY(c);
    Reentering listener(c);
    c->setProgressListener(&listener);
    QTemporaryDir dir;
    QVERIFY(FtpDownload(*c, QStringLiteral("/big.bin"), dir.filePath(QStringLiteral("big.bin")), TransferType::Binary));
    QVERIFY(listener.tried);
    QCOMPARE(listener.listCount, 0);
    QCOMPARE(listener.listError, FtpErrorKind::Busy);
    QVERIFY(!listener.disconnected);
    QVERIFY(c);
    QCOMPARE(c->lastError().kind, FtpErrorKind::None);
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("big.bin"))).size(), 8 * 1024 * 1024);

    FtpError error;
    QVERIFY(!FtpConnect(server.serverText(), server.user(), QStringLiteral("wrong"), {}, &error));
    QCOMPARE(error.kind, FtpErrorKind::Login);
    QVERIFY(!FtpConnect(QStringLiteral("a b"), server.user(), server.password(), {}, &error));
    QCOMPARE(error.kind, FtpErrorKind::Address);
    QVERIFY(!FtpDownload(*c, QStringLiteral("/missing"), dir.filePath(QStringLiteral("m")), TransferType::Binary));
    QCOMPARE(c->lastError().kind, FtpErrorKind::Refused);
    QVERIFY(c->lastError().reply.startsWith(QStringLiteral("550")));
}

void TestMdlMain::stalledTransferEnds()
{
    FtpServerFixture::Options slow;
    slow.throttleBytesPerSec = 2;
    FtpServerFixture server(slow);
    QVERIFY(server.isRunning());
    QFile f(server.homeFile(QStringLiteral("s.bin")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 's'));
    f.close();
    FtpOptions options;
    options.idleTimeoutSec = 2;
    auto c = FtpConnect(server.serverText(), server.user(), server.password(), options);
    QVERIFY(c);
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    QVERIFY(!FtpDownload(*c, QStringLiteral("/s.bin"), dir.filePath(QStringLiteral("s.bin")), TransferType::Binary));
    QVERIFY2(t.elapsed() < 8000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(c->lastError().kind, FtpErrorKind::Stalled);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_MAIN(TestMdlMain)
#include "tst_mdlmain.moc"
