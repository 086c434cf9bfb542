// Every FTP operation against a real server (pyftpdlib on a loopback port),
// including servers that speak CP932, offer no MLSD, send hostile listings,
// stall or vanish.

#include "ftp/session/ftpoperations.h"
#include "tests/testkit/ftpserver.h"
#include "tests/testkit/sshserver.h"
#include "ftp/session/progress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>
#include <sys/resource.h>

using namespace tw;
using tw::test::FtpServerFixture;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions perms = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    if (perms)
        QFile::setPermissions(path, perms);
}

const QFileDevice::Permissions k644 =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions k755 = k644 | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

QByteArray randomBytes(int size)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(QRandomGenerator::global()->bounded(256));
    // Line ends that an accidental text conversion would change.
    if (size > 8)
        b.replace(0, 6, "a\r\nb\nc");
    return b;
}

// Records what the progress window would show.
class RecordingListener : public FtpProgressListener {
public:
    void setLabel(int index, const QString& text) override
    {
        labels[index] = text;
        ++labelSets[index];
    }
    void startBar() override { ++starts; }
    void drawBar(qint64 done, qint64 total) override
    {
        ++draws;
        lastDone = done;
        lastTotal = total;
    }
    void pumpEvents() override
    {
        ++pumps;
        if (onPump)
            onPump();
    }
    QString labels[3];
    int labelSets[3] = {0, 0, 0};
    int starts = 0;
    int draws = 0;
    int pumps = 0;
    qint64 lastDone = -1;
    qint64 lastTotal = -1;
    std::function<void()> onPump;
};

QStringList names(const QList<DirEntry>& entries)
{
    QStringList out;
    for (const DirEntry& e : entries)
        out << e.name;
    out.sort();
    return out;
}

const DirEntry* findByName(const QList<DirEntry>& entries, const QString& name)
{
    for (const DirEntry& e : entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

FtpOptions quickOptions()
{
    FtpOptions o;
    o.connectTimeoutMs = 3000;
    o.replyTimeoutSec = 2;
    o.idleTimeoutSec = 2;
    return o;
}

}  // namespace

class TestFtpSession : public QObject {
    Q_OBJECT

    std::unique_ptr<FtpServerFixture> m_server;
    std::unique_ptr<FtpConnection> m_conn;
    QTemporaryDir m_local;

    std::unique_ptr<FtpConnection> connectTo(const FtpServerFixture& s)
    {
        return FtpConnect(s.serverText(), s.user(), s.password(), quickOptions());
    }

    QString local(const QString& name) const { return m_local.filePath(name); }

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<FtpServerFixture>();
        QVERIFY2(m_server->isRunning(), qPrintable(m_server->errorString()));
        m_conn = connectTo(*m_server);
        QVERIFY(m_conn);
    }

    void cleanupTestCase()
    {
        FtpDisconnect(m_conn);
        QVERIFY(!m_conn);
        m_server.reset();
    }

    void init()
    {
        if (m_conn)
            m_conn->setProgressListener(nullptr);
    }

    void oneLoginForManyOperations()
    {
        FtpServerFixture server;
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        putFile(server.homeFile("pub/a.txt"), "abc\r\n");
        std::unique_ptr<FtpConnection> c = connectTo(server);
        QVERIFY(c);
        QVERIFY(c->utf8Names());
        QVERIFY(c->hasMlst());
        QList<DirEntry> entries;
        QCOMPARE(FtpCurDir(*c, "/pub/"), QStringLiteral("/pub/"));
        QCOMPARE(FtpFileList(*c, "*.*", entries), 1);
        QVERIFY(FtpDownload(*c, "/pub/a.txt", local("one.txt"), TransferType::Automatic));
        QVERIFY(FtpUpload(*c, local("one.txt"), "/pub/b.txt", TransferType::Binary));
        QVERIFY(FtpRename(*c, "/pub/b.txt", "/pub/c.txt"));
        QVERIFY(FtpDelete(*c, "/pub/c.txt"));
        QVERIFY(FtpSendCommand(*c, "SITE CHMOD 600 a.txt\r"));
        QCOMPARE(server.loginCount(), 1);
        QCOMPARE(c->connectionCount(), 1);
        QVERIFY(server.commands().contains("OPTS UTF8 ON"));
        FtpDisconnect(c);
        QVERIFY(server.commands().contains("QUIT"));
    }

    // A connection the server dropped while idle is opened again before the
    // next command, on each protocol, and the operation goes through.
    void reconnectsAfterServerDropped_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::newRow("FTP") << 0;
        QTest::newRow("FTP over TLS") << 1;
        QTest::newRow("SFTP") << 2;
    }

    void reconnectsAfterServerDropped()
    {
        QFETCH(int, protocol);
        FtpSecurity security{.protocol = protocolFromInt(protocol)};
        std::unique_ptr<FtpServerFixture> ftp;
        std::unique_ptr<tw::test::SshServerFixture> ssh;
        std::unique_ptr<FtpConnection> c;
        if (protocol == 2) {
            ssh = std::make_unique<tw::test::SshServerFixture>();
            QVERIFY2(ssh->isRunning(), qPrintable(ssh->errorString()));
            security.privateKey = ssh->privateKeyFile();
            security.ask = [](const PeerIdentity&) { return TrustAnswer::Once; };
            c = FtpConnect(ssh->serverText(), ssh->user(), QString(), quickOptions(), nullptr, security);
        } else {
            FtpServerFixture::Options o;
            o.tls = protocol == 1;
            ftp = std::make_unique<FtpServerFixture>(o);
            QVERIFY2(ftp->isRunning(), qPrintable(ftp->errorString()));
            security.caFile = o.tls ? ftp->certificateFile() : QString();
            c = FtpConnect(ftp->serverText(), ftp->user(), ftp->password(), quickOptions(), nullptr, security);
        }
        QVERIFY(c);
        const QString home = c->currentFolder();
        QVERIFY(FtpMakeDir(*c, home + QStringLiteral("a")));
        ssh ? ssh->dropConnections() : ftp->dropConnections();
        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*c, home + QStringLiteral("*.*"), entries), 1);
        QVERIFY(FtpRename(*c, home + QStringLiteral("a"), home + QStringLiteral("b")));
        QCOMPARE(c->connectionCount(), 2);
    }

    // Where the server refuses to rename over a file (SFTP, some FTP
    // servers), an upload puts the old file aside and back again when the
    // new one cannot take its place: never a moment without either.
    void uploadReplacesSafely_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("tempVanishes");
        QTest::newRow("FTP refusing rename over") << 0 << false;
        QTest::newRow("FTP, temporary file gone") << 0 << true;
        QTest::newRow("SFTP") << 2 << false;
        QTest::newRow("SFTP, temporary file gone") << 2 << true;
    }

    void uploadReplacesSafely()
    {
        QFETCH(int, protocol);
        QFETCH(bool, tempVanishes);
        std::unique_ptr<FtpServerFixture> ftp;
        std::unique_ptr<tw::test::SshServerFixture> ssh;
        std::unique_ptr<FtpConnection> c;
        QString home;
        if (protocol == 2) {
            ssh = std::make_unique<tw::test::SshServerFixture>();
            QVERIFY2(ssh->isRunning(), qPrintable(ssh->errorString()));
            FtpSecurity security{.protocol = FtpProtocol::Sftp};
            security.privateKey = ssh->privateKeyFile();
            security.ask = [](const PeerIdentity&) { return TrustAnswer::Once; };
            c = FtpConnect(ssh->serverText(), ssh->user(), QString(), quickOptions(), nullptr, security);
            home = ssh->home();
        } else {
            FtpServerFixture::Options o;
            o.noRenameOver = true;
            ftp = std::make_unique<FtpServerFixture>(o);
            QVERIFY(ftp->isRunning());
            c = connectTo(*ftp);
            home = ftp->home();
        }
        QVERIFY(c);
        putFile(home + QStringLiteral("/page.html"), "old");
        putFile(local("page.html"), "new");
        // Another client takes the temporary file away while the old one is aside.
        RecordingListener listener;
        listener.onPump = [&] {
            if (tempVanishes && listener.labels[0].endsWith(QStringLiteral("を置き換え中です...")))
                QFile::remove(home + QStringLiteral("/.page.html.twpart"));
        };
        c->setProgressListener(&listener);
        QCOMPARE(
            FtpUpload(*c, local("page.html"), c->currentFolder() + QStringLiteral("page.html"), TransferType::Binary),
            !tempVanishes);
        QCOMPARE(listener.labels[0], QStringLiteral("page.html を置き換え中です..."));
        QCOMPARE(bytesOf(home + QStringLiteral("/page.html")), QByteArray(tempVanishes ? "old" : "new"));
        QCOMPARE(QDir(home).entryList(QDir::Files | QDir::Hidden), QStringList{"page.html"});
        QCOMPARE(c->lastError().kind, tempVanishes ? FtpErrorKind::Refused : FtpErrorKind::None);
    }

    // A data connection the server does not take is tried once more.
    void failedDataConnectionTriedAgain_data()
    {
        QTest::addColumn<QString>("step");
        for (const char* step : {"listing", "upload", "download"})
            QTest::newRow(step) << QString::fromLatin1(step);
    }

    void failedDataConnectionTriedAgain()
    {
        QFETCH(QString, step);
        FtpServerFixture::Options o;
        // curl itself falls back from EPSV to PASV once.
        o.refuseDataConnections = 2;
        FtpServerFixture server(o);
        QVERIFY(server.isRunning());
        putFile(server.homeFile("a.txt"), "a");
        putFile(local("up.bin"), "up");
        auto c = connectTo(server);
        QVERIFY(c);
        QList<DirEntry> entries;
        if (step == u"listing")
            QCOMPARE(FtpFileList(*c, "/*.*", entries), 1);
        else if (step == u"upload")
            QVERIFY(FtpUpload(*c, local("up.bin"), "/up.bin", TransferType::Binary));
        else
            QVERIFY(FtpDownload(*c, "/a.txt", local("a.txt"), TransferType::Binary));
        QCOMPARE(server.commands().filter(QRegularExpression("^(EPSV|PASV)")).size(), 3);
        QCOMPARE(bytesOf(step == u"upload" ? server.homeFile("up.bin") : local("a.txt")),
                 QByteArray(step == u"upload"     ? "up"
                            : step == u"download" ? "a"
                                                  : ""));
    }

    void connectFailures_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("empty server") << ""
                                      << "tester"
                                      << "secret";
        QTest::newRow("wrong password") << "<server>"
                                        << "tester"
                                        << "wrong";
        QTest::newRow("unknown user") << "<server>"
                                      << "nobody"
                                      << "secret";
        QTest::newRow("nobody listening") << "127.0.0.1:1"
                                          << "tester"
                                          << "secret";
        QTest::newRow("port out of range") << "127.0.0.1:70000"
                                           << "tester"
                                           << "secret";
        QTest::newRow("line break in the user") << "<server>"
                                                << "tester\r\nDELE x"
                                                << "secret";
        QTest::newRow("line break in the password") << "<server>"
                                                    << "tester"
                                                    << "secret\nDELE x";
    }
    void connectFailures()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        server.replace("<server>", m_server->serverText());
        m_server->clearLog();
        QElapsedTimer t;
        t.start();
        std::unique_ptr<FtpConnection> c = FtpConnect(server, user, password, quickOptions());
        QVERIFY(!c);
        QVERIFY(t.elapsed() < 5000);
        for (const QString& cmd : m_server->commands())
            QVERIFY2(!cmd.contains("DELE"), qPrintable(cmd));
    }

    void listing_data()
    {
        QTest::addColumn<bool>("cp932");
        QTest::addColumn<bool>("noMlsd");
        QTest::newRow("MLSD, UTF-8 names") << false << false;
        QTest::newRow("LIST, UTF-8 names") << false << true;
        QTest::newRow("MLSD, CP932 names") << true << false;
        QTest::newRow("LIST, CP932 names") << true << true;
    }
    void listing()
    {
        QFETCH(bool, cp932);
        QFETCH(bool, noMlsd);
        FtpServerFixture::Options o;
        o.cp932Names = cp932;
        o.noMlsd = noMlsd;
        FtpServerFixture server(o);
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        putFile(server.homeFile("site/index.html"), QByteArray(1500, 'x'), k644);
        putFile(server.homeFile("site/README"), "r", k755);
        putFile(server.homeFile("site/a.b/inner.txt"), "i");
        QFile::setPermissions(server.homeFile("site/a.b"), k755);
        const QDateTime when(QDate(2023, 6, 7), QTime(8, 9, 0), Qt::UTC);
        {
            QFile f(server.homeFile("site/index.html"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        }
        std::unique_ptr<FtpConnection> c = connectTo(server);
        QVERIFY(c);
        QCOMPARE(c->utf8Names(), !cp932);
        QCOMPARE(c->hasMlst(), !noMlsd);

        // A Japanese name goes up in the server's encoding and arrives intact.
        putFile(local("upload.txt"), "jp");
        QVERIFY(FtpUpload(*c, local("upload.txt"), QStringLiteral("/site/日本語ファイル①.txt"), TransferType::Binary));
        QVERIFY(QFileInfo::exists(server.homeFile(QStringLiteral("site/日本語ファイル①.txt"))));

        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*c, "/site/*.*", entries), 4);
        QCOMPARE(names(entries), (QStringList{"README", "a.b", "index.html", QStringLiteral("日本語ファイル①.txt")}));
        const DirEntry* index = findByName(entries, "index.html");
        QVERIFY(index);
        QVERIFY(!index->folder);
        QCOMPARE(index->size, qint64(1500));
        QCOMPARE(index->accessText(), QStringLiteral("644"));
        QCOMPARE(index->lastWrite.date(), when.date());
        if (!noMlsd)
            QCOMPARE(index->lastWrite, when);
        const DirEntry* folder = findByName(entries, "a.b");
        QVERIFY(folder);
        QVERIFY(folder->folder);
        QCOMPARE(folder->attributes() & DirEntry::FolderAttribute, DirEntry::FolderAttribute);
        QCOMPARE(folder->accessText(), QStringLiteral("755"));
        QCOMPARE(findByName(entries, "README")->accessText(), QStringLiteral("755"));

        // Relative pattern after entering the folder; the folder lists its contents.
        QCOMPARE(FtpCurDir(*c, "/site/a.b/"), QStringLiteral("/site/a.b/"));
        QCOMPARE(FtpFileList(*c, "*.*", entries), 1);
        QCOMPARE(entries[0].name, QStringLiteral("inner.txt"));
        QCOMPARE(FtpFileList(*c, "/site/a.b", entries), 1);
        QCOMPARE(FtpFileList(*c, "/site/*.html", entries), 1);

        // Download the Japanese name back.
        QVERIFY(FtpDownload(*c, QStringLiteral("/site/日本語ファイル①.txt"), local("back.txt"), TransferType::Binary));
        QCOMPARE(bytesOf(local("back.txt")), QByteArray("jp"));

        DirEntry found;
        QCOMPARE(FtpFindFile(*c, "/site/index.html", found), 1);
        QCOMPARE(found.name, QStringLiteral("index.html"));
        QCOMPARE(found.size, qint64(1500));
        QCOMPARE(FtpFindFile(*c, "/site/a.b", found), 1);
        QVERIFY(found.folder);
        QCOMPARE(FtpFindFile(*c, "/site/missing", found), 0);
        QCOMPARE(FtpFileList(*c, "/nowhere/*.*", entries), 0);
        QVERIFY(entries.isEmpty());
        QCOMPARE(FtpCurDir(*c, "/nowhere/"), QString());
        QCOMPARE(c->currentFolder(), QStringLiteral("/site/a.b/"));
    }

    void transfers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("remoteName");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("onServer");
        QTest::addColumn<QByteArray>("backHome");
        const QByteArray bin = randomBytes(200000);
        QTest::newRow("binary keeps every byte") << bin << "data.bin" << int(TransferType::Binary) << bin << bin;
        QTest::newRow("ascii: CR LF file arrives with LF, comes back CR LF")
            << QByteArray("<p>\r\n</p>\r\n") << "page.txt" << int(TransferType::Ascii) << QByteArray("<p>\n</p>\n")
            << QByteArray("<p>\r\n</p>\r\n");
        QTest::newRow("ascii: LF file comes back CR LF") << QByteArray("a\nb\n") << "lf.txt" << int(TransferType::Ascii)
                                                         << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("automatic: index.HTML goes as text")
            << QByteArray("x\r\ny\r\n") << "index.HTML" << int(TransferType::Automatic) << QByteArray("x\ny\n")
            << QByteArray("x\r\ny\r\n");
        QTest::newRow("automatic: photo.jpg goes as binary")
            << QByteArray("j\r\np\r\n") << "photo.jpg" << int(TransferType::Automatic) << QByteArray("j\r\np\r\n")
            << QByteArray("j\r\np\r\n");
        QTest::newRow("automatic: a name without a dot goes as binary")
            << QByteArray("n\r\n") << "Makefile" << int(TransferType::Automatic) << QByteArray("n\r\n")
            << QByteArray("n\r\n");
        const QByteArray bigText = QByteArray("line of text\r\n").repeated(20000);
        QByteArray bigLf = bigText;
        bigLf.replace("\r\n", "\n");
        QTest::newRow("ascii across many chunks")
            << bigText << "big.txt" << int(TransferType::Ascii) << bigLf << bigText;
        QTest::newRow("zero bytes") << QByteArray("") << "empty.bin" << int(TransferType::Binary) << QByteArray("")
                                    << QByteArray("");
    }
    void transfers()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, remoteName);
        QFETCH(int, type);
        QFETCH(QByteArray, onServer);
        QFETCH(QByteArray, backHome);
        putFile(local("up-" + remoteName), content);
        QVERIFY(QDir().mkpath(m_server->homeFile("xfer")));
        QVERIFY(FtpUpload(*m_conn, local("up-" + remoteName), "/xfer/" + remoteName, TransferType(type)));
        QCOMPARE(bytesOf(m_server->homeFile("xfer/" + remoteName)), onServer);
        // Downloaded under the same name, so automatic mode decides alike.
        QDir().mkpath(local("down"));
        const QString target = local("down/" + remoteName);
        QVERIFY(FtpDownload(*m_conn, "/xfer/" + remoteName, target, TransferType(type)));
        QCOMPARE(bytesOf(target), backHome);
    }

    void downloadReplacesOnlyWhenComplete()
    {
        putFile(m_server->homeFile("repl/new.bin"), "new content");
        const QString target = local("existing.bin");
        putFile(target, "old content that is longer");
        QVERIFY(FtpDownload(*m_conn, "/repl/new.bin", target, TransferType::Binary));
        QCOMPARE(bytesOf(target), QByteArray("new content"));
        QVERIFY(!FtpDownload(*m_conn, "/repl/missing.bin", target, TransferType::Binary));
        QCOMPARE(bytesOf(target), QByteArray("new content"));
        // No temporary file is left behind.
        QCOMPARE(QDir(m_local.path()).entryList({"existing.bin*"}, QDir::Files | QDir::Hidden).size(), 1);
        QVERIFY(!FtpDownload(*m_conn, "/repl/new.bin", local("no/such/folder/x.bin"), TransferType::Binary));
        QVERIFY(!FtpUpload(*m_conn, local("no-such-file"), "/repl/x.bin", TransferType::Binary));
        QVERIFY(!QFileInfo::exists(m_server->homeFile("repl/x.bin")));
    }

    void fullLocalDisk()
    {
        // A file size limit makes writes fail as a full disk does.
        putFile(m_server->homeFile("full/big.bin"), QByteArray(600000, 'f'));
        const QString target = local("full.bin");
        putFile(target, "previous");
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 100000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = FtpDownload(*m_conn, "/full/big.bin", target, TransferType::Binary);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok);
        QCOMPARE(bytesOf(target), QByteArray("previous"));
        // Whatever curl did with the connection, the next listing still
        // carries the permission digits (asked for again on a new connection).
        QFile::setPermissions(m_server->homeFile("full/big.bin"), k644);
        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*m_conn, "/full/*.*", entries), 1);
        QCOMPARE(entries[0].accessText(), QStringLiteral("644"));
        // The connection is still good for the next operation.
        QVERIFY(FtpDownload(*m_conn, "/full/big.bin", target, TransferType::Binary));
        QCOMPARE(QFileInfo(target).size(), qint64(600000));
    }

    void progress_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("label0");
        QTest::addColumn<QString>("label1");
        QTest::newRow("download") << "get" << 300000 << QStringLiteral("got.bin を受信中です...")
                                  << QStringLiteral("転送モード Binary");
        QTest::newRow("upload, automatic text")
            << "put" << 300000 << QStringLiteral("put.html を送信中です...") << QStringLiteral("転送モード Ascii");
        QTest::newRow("zero-byte download")
            << "get" << 0 << QStringLiteral("got.bin を受信中です...") << QStringLiteral("転送モード Binary");
        QTest::newRow("zero-byte upload")
            << "put" << 0 << QStringLiteral("put.html を送信中です...") << QStringLiteral("転送モード Ascii");
        QTest::newRow("delete") << "del" << 10 << QStringLiteral("gone.bin を削除中です...") << QString();
    }
    void progress()
    {
        QFETCH(QString, op);
        QFETCH(int, size);
        const QByteArray data(size, 'z');
        RecordingListener rec;
        m_conn->setProgressListener(&rec);
        bool ok = false;
        if (op == "get") {
            putFile(m_server->homeFile("prog/src.bin"), data);
            ok = FtpDownload(*m_conn, "/prog/src.bin", local("got.bin"), TransferType::Automatic);
        } else if (op == "put") {
            putFile(local("src.html"), data);
            QDir().mkpath(m_server->homeFile("prog"));
            ok = FtpUpload(*m_conn, local("src.html"), "/prog/put.html", TransferType::Automatic);
        } else {
            putFile(m_server->homeFile("prog/gone.bin"), data);
            ok = FtpDelete(*m_conn, "/prog/gone.bin");
        }
        QVERIFY(ok);
        QTEST(rec.labels[0], "label0");
        QTEST(rec.labels[1], "label1");
        QVERIFY(rec.pumps >= 1);
        if (op == "del") {
            QCOMPARE(rec.starts, 0);
            QCOMPARE(rec.labelSets[1], 0);
            return;
        }
        QCOMPARE(rec.starts, 1);
        if (size == 0) {
            QCOMPARE(rec.draws, 0);
            QCOMPARE(rec.labelSets[2], 0);
        } else {
            QVERIFY(rec.draws >= 1);
            QCOMPARE(rec.lastTotal, qint64(size));
            QCOMPARE(rec.lastDone, qint64(size));
            QCOMPARE(rec.labels[2], formatTransferCounter(size, size));
        }
    }

    void noOperationStartsInsideAnother()
    {
        putFile(m_server->homeFile("busy/big.bin"), QByteArray(4 * 1024 * 1024, 'b'));
        RecordingListener rec;
        int refused = 0;
        rec.onPump = [&] {
            QList<DirEntry> entries;
            if (m_conn->busy() && FtpFileList(*m_conn, "/busy/*.*", entries) == 0)
                ++refused;
        };
        m_conn->setProgressListener(&rec);
        QVERIFY(FtpDownload(*m_conn, "/busy/big.bin", local("busy.bin"), TransferType::Binary));
        QVERIFY(refused >= 1);
        QCOMPARE(QFileInfo(local("busy.bin")).size(), qint64(4 * 1024 * 1024));
    }

    void fileCommands_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("existAfter");
        QTest::addColumn<QStringList>("goneAfter");
        QTest::newRow("rename") << "ren"
                                << "/cmd/a.txt"
                                << "/cmd/b.txt" << true << QStringList{"cmd/b.txt"} << QStringList{"cmd/a.txt"};
        QTest::newRow("rename relative to the current folder")
            << "ren"
            << "a.txt"
            << "c.txt" << true << QStringList{"cmd/c.txt"} << QStringList{"cmd/a.txt"};
        QTest::newRow("rename a missing file") << "ren"
                                               << "/cmd/none"
                                               << "/cmd/z" << false << QStringList{"cmd/a.txt"} << QStringList{"cmd/z"};
        QTest::newRow("rename onto a line break")
            << "ren"
            << "/cmd/a.txt"
            << "/cmd/x\r\nDELE /cmd/a.txt" << false << QStringList{"cmd/a.txt"} << QStringList();
        QTest::newRow("delete") << "del"
                                << "/cmd/a.txt"
                                << "" << true << QStringList() << QStringList{"cmd/a.txt"};
        QTest::newRow("delete a missing file") << "del"
                                               << "/cmd/none"
                                               << "" << false << QStringList{"cmd/a.txt"} << QStringList();
        QTest::newRow("delete a folder is no file delete") << "del"
                                                           << "/cmd/sub"
                                                           << "" << false << QStringList{"cmd/sub"} << QStringList();
        QTest::newRow("delete with a line break") << "del"
                                                  << "/cmd/none\nDELE /cmd/a.txt"
                                                  << "" << false << QStringList{"cmd/a.txt"} << QStringList();
        QTest::newRow("make a folder") << "mkd"
                                       << "/cmd/new"
                                       << "" << true << QStringList{"cmd/new"} << QStringList();
        QTest::newRow("make a folder with trailing slash") << "mkd"
                                                           << "/cmd/new2/"
                                                           << "" << true << QStringList{"cmd/new2"} << QStringList();
        QTest::newRow("make an existing folder") << "mkd"
                                                 << "/cmd/sub"
                                                 << "" << false << QStringList{"cmd/sub"} << QStringList();
        QTest::newRow("make a Japanese folder") << "mkd" << QStringLiteral("/cmd/新しいフォルダ") << "" << true
                                                << QStringList{QStringLiteral("cmd/新しいフォルダ")} << QStringList();
    }
    void fileCommands()
    {
        QFETCH(QString, op);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QDir(m_server->homeFile("cmd")).removeRecursively();
        putFile(m_server->homeFile("cmd/a.txt"), "a");
        QDir().mkpath(m_server->homeFile("cmd/sub"));
        QCOMPARE(FtpCurDir(*m_conn, "/cmd/"), QStringLiteral("/cmd/"));
        m_server->clearLog();
        bool ok = false;
        if (op == "ren")
            ok = FtpRename(*m_conn, a, b);
        else if (op == "del")
            ok = FtpDelete(*m_conn, a);
        else
            ok = FtpMakeDir(*m_conn, a);
        QTEST(ok, "ok");
        QFETCH(QStringList, existAfter);
        QFETCH(QStringList, goneAfter);
        for (const QString& p : existAfter)
            QVERIFY2(QFileInfo::exists(m_server->homeFile(p)), qPrintable(p));
        for (const QString& p : goneAfter)
            QVERIFY2(!QFileInfo::exists(m_server->homeFile(p)), qPrintable(p));
        for (const QString& cmd : m_server->commands())
            QVERIFY2((!cmd.contains("\r") && !cmd.startsWith("DELE /cmd/a.txt")) || (op == "del" && a == "/cmd/a.txt"),
                     qPrintable(cmd));
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("access");
        QTest::newRow("as the permission dialog builds it") << "SITE CHMOD 644 index.html\r" << true << "644";
        QTest::newRow("owner only") << "SITE CHMOD 600 index.html\r" << true << "600";
        QTest::newRow("without the CR") << "SITE CHMOD 755 index.html" << true << "755";
        QTest::newRow("refused by the server") << "SITE CHMOD 999 index.html\r" << false << "711";
        QTest::newRow("unknown command") << "SITE BOGUS\r" << false << "711";
        QTest::newRow("injected second command") << "SITE CHMOD 777 index.html\r\nDELE index.html\r" << false << "711";
        QTest::newRow("LF inside") << "SITE CHMOD 777 index.html\nDELE index.html" << false << "711";
        QTest::newRow("CR inside") << "SITE CHMOD 777 index.html\rDELE index.html" << false << "711";
        QTest::newRow("empty") << "\r" << false << "711";
    }
    void permissions()
    {
        QFETCH(QString, command);
        putFile(m_server->homeFile("perm/index.html"), "p");
        QFile::setPermissions(m_server->homeFile("perm/index.html"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                         | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                                                                         | QFileDevice::ExeOther);
        // The name is relative: it works because the session entered the folder.
        QCOMPARE(FtpCurDir(*m_conn, "/perm/"), QStringLiteral("/perm/"));
        m_server->clearLog();
        QTEST(FtpSendCommand(*m_conn, command), "accepted");
        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*m_conn, "*.*", entries), 1);
        QTEST(entries[0].accessText(), "access");
        for (const QString& cmd : m_server->commands())
            QVERIFY2(!cmd.startsWith("DELE"), qPrintable(cmd));
    }

    void trees()
    {
        const QString src = local("tree-src");
        putFile(src + "/index.html", "<html>\r\n</html>\r\n");
        putFile(src + "/logo.gif", randomBytes(5000));
        putFile(src + QStringLiteral("/写真/a.jpg"), randomBytes(3000));
        putFile(src + "/css/deep/er/site.css", "body{}\r\n");
        QVERIFY(QDir().mkpath(src + "/empty"));

        // A folder that does not exist is created.
        QVERIFY(FtpUploadTree(*m_conn, src, "/site", TransferType::Automatic));
        QCOMPARE(bytesOf(m_server->homeFile("site/index.html")), QByteArray("<html>\n</html>\n"));
        QCOMPARE(bytesOf(m_server->homeFile("site/logo.gif")), bytesOf(src + "/logo.gif"));
        QCOMPARE(bytesOf(m_server->homeFile(QStringLiteral("site/写真/a.jpg"))),
                 bytesOf(src + QStringLiteral("/写真/a.jpg")));
        QCOMPARE(bytesOf(m_server->homeFile("site/css/deep/er/site.css")), QByteArray("body{}\n"));
        QVERIFY(QFileInfo(m_server->homeFile("site/empty")).isDir());

        // Again into the existing folder, and into an existing empty one.
        QVERIFY(FtpUploadTree(*m_conn, src + "/", "/site/", TransferType::Automatic));
        QVERIFY(QDir().mkpath(m_server->homeFile("emptydest")));
        QVERIFY(FtpUploadTree(*m_conn, src + "/css", "/emptydest", TransferType::Binary));
        QVERIFY(QFileInfo::exists(m_server->homeFile("emptydest/deep/er/site.css")));

        // Back down into a new local folder, and merged into an existing one.
        const QString dst = local("tree-dst");
        putFile(dst + "/keep.txt", "mine");
        putFile(dst + "/index.html", "old");
        QVERIFY(FtpDownloadTree(*m_conn, "/site", dst, TransferType::Automatic));
        QCOMPARE(bytesOf(dst + "/index.html"), bytesOf(src + "/index.html"));
        QCOMPARE(bytesOf(dst + "/logo.gif"), bytesOf(src + "/logo.gif"));
        QCOMPARE(bytesOf(dst + QStringLiteral("/写真/a.jpg")), bytesOf(src + QStringLiteral("/写真/a.jpg")));
        QCOMPARE(bytesOf(dst + "/css/deep/er/site.css"), QByteArray("body{}\r\n"));
        QVERIFY(QFileInfo(dst + "/empty").isDir());
        QCOMPARE(bytesOf(dst + "/keep.txt"), QByteArray("mine"));

        // A failed file stops the tree and reports it.
        QVERIFY(!FtpUploadTree(*m_conn, local("no-such-folder"), "/site2", TransferType::Binary));
        QVERIFY(!FtpDownloadTree(*m_conn, "/no-such-folder", local("x"), TransferType::Binary));
        putFile(m_server->homeFile("clash/f"), "file");
        QVERIFY(QDir().mkpath(local("clash-dst/f")));
        QVERIFY(!FtpDownloadTree(*m_conn, "/clash", local("clash-dst"), TransferType::Binary));
    }

    void removeTreeDepthFirst()
    {
        putFile(m_server->homeFile("rm/a.txt"), "a");
        putFile(m_server->homeFile("rm/s1/b.txt"), "b");
        putFile(m_server->homeFile("rm/s1/s2/c.txt"), "c");
        QVERIFY(QDir().mkpath(m_server->homeFile("rm/s3")));
        putFile(m_server->homeFile("keep/k.txt"), "k");
        m_server->clearLog();
        QVERIFY(FtpRemoveTree(*m_conn, "/rm"));
        QVERIFY(!QFileInfo::exists(m_server->homeFile("rm")));
        QVERIFY(QFileInfo::exists(m_server->homeFile("keep/k.txt")));

        QStringList order;
        for (const QString& cmd : m_server->commands()) {
            if (cmd.startsWith("DELE ") || cmd.startsWith("RMD "))
                order << cmd;
        }
        QCOMPARE(order.size(), 7);
        auto pos = [&](const QString& c) { return order.indexOf(c); };
        QVERIFY(pos("DELE /rm/a.txt") < pos("RMD /rm/s1"));
        QVERIFY(pos("DELE /rm/s1/b.txt") < pos("RMD /rm/s1/s2"));
        QVERIFY(pos("DELE /rm/s1/s2/c.txt") < pos("RMD /rm/s1/s2"));
        QVERIFY(pos("RMD /rm/s1/s2") < pos("RMD /rm/s1"));
        QCOMPARE(order.last(), QStringLiteral("RMD /rm"));

        // The root is never removed, and a missing folder fails.
        QVERIFY(!FtpRemoveTree(*m_conn, "/"));
        QVERIFY(QFileInfo::exists(m_server->homeFile("keep/k.txt")));
        QVERIFY(!FtpRemoveTree(*m_conn, "/rm"));
    }

    void hostileListing_data()
    {
        QTest::addColumn<bool>("noMlsd");
        QTest::newRow("MLSD") << false;
        QTest::newRow("LIST") << true;
    }
    void hostileListing()
    {
        QFETCH(bool, noMlsd);
        FtpServerFixture::Options o;
        o.hostile = true;
        o.noMlsd = noMlsd;
        FtpServerFixture server(o);
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        std::unique_ptr<FtpConnection> c = connectTo(server);
        QVERIFY(c);

        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*c, "/hostile/*.*", entries), 1);
        QCOMPARE(entries[0].name, QStringLiteral("ok.txt"));

        QTemporaryDir sandbox;
        const QString target = sandbox.filePath("a/b/dl");
        QVERIFY(!FtpDownloadTree(*c, "/hostile", target, TransferType::Binary));
        const QStringList written =
            QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QVERIFY2(written.isEmpty(), qPrintable(written.join(u' ')));
        QVERIFY(!QFileInfo::exists(sandbox.filePath("a/evil")));
        QVERIFY(!QFileInfo::exists(sandbox.filePath("a/b/evil")));
        QVERIFY(!QFileInfo::exists(sandbox.filePath("evil")));
        QVERIFY(!QFileInfo::exists(QDir(sandbox.path()).filePath("../evil")));
        QVERIFY(QDir(target).entryList(QDir::Files).isEmpty());

        // Nor are such names used for remote paths: /evil outside the folder stays.
        QVERIFY(!FtpRemoveTree(*c, "/hostile"));
        QVERIFY(QFileInfo::exists(server.homeFile("evil")));
        for (const QString& cmd : server.commands())
            QVERIFY2(!cmd.contains("evil"), qPrintable(cmd));
    }

    void stallingServer()
    {
        FtpServerFixture::Options o;
        o.stallOn = "stall";
        FtpServerFixture server(o);
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        putFile(server.homeFile("stall.bin"), "s");
        std::unique_ptr<FtpConnection> c = connectTo(server);
        QVERIFY(c);
        QElapsedTimer t;
        t.start();
        QVERIFY(!FtpDownload(*c, "/stall.bin", local("stall.bin"), TransferType::Binary));
        QVERIFY2(t.elapsed() < 8000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!QFileInfo::exists(local("stall.bin")));
        t.restart();
        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*c, "/*.*", entries), 0);
        QVERIFY2(t.elapsed() < 8000, qPrintable(QString::number(t.elapsed())));
        t.restart();
        FtpDisconnect(c);
        QVERIFY(t.elapsed() < 8000);
    }

    void vanishedServer()
    {
        FtpServerFixture server;
        QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
        putFile(server.homeFile("v.txt"), "v");
        std::unique_ptr<FtpConnection> c = connectTo(server);
        QVERIFY(c);
        server.stop();
        QElapsedTimer t;
        t.start();
        QList<DirEntry> entries;
        QCOMPARE(FtpFileList(*c, "/*.*", entries), 0);
        QVERIFY(!FtpDownload(*c, "/v.txt", local("v.txt"), TransferType::Binary));
        QVERIFY(!QFileInfo::exists(local("v.txt")));
        QVERIFY(!FtpDelete(*c, "/v.txt"));
        QVERIFY(!FtpSendCommand(*c, "SITE CHMOD 600 v.txt\r"));
        QCOMPARE(FtpCurDir(*c, "/"), QString());
        QVERIFY(t.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(TestFtpSession)
#include "tst_ftpsession.moc"
