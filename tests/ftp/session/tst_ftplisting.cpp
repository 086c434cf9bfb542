// Listing records, transfer modes, progress texts and server addresses:
// everything about the FTP session that needs no server.

#include "ftp/session/direntry.h"
#include "ftp/session/ftpconnection.h"
#include "ftp/session/progress.h"
#include "common/textcodec.h"
#include "ftp/session/transfertype.h"

#include <QTest>

using namespace tw;

namespace {

QString utf8(const QByteArray& b)
{
    return QString::fromUtf8(b);
}

const QDateTime kNow(QDate(2025, 3, 10), QTime(12, 0), Qt::UTC);

}  // namespace

class TestFtpListing : public QObject {
    Q_OBJECT

private slots:
    void mlsdLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("access");
        QTest::addColumn<QDateTime>("time");
        const QDateTime t(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
        QTest::newRow("file") << QByteArray("type=file;size=1234;modify=20240102030405;unix.mode=0644; index.html")
                              << "index.html" << false << qint64(1234) << "644" << t;
        QTest::newRow("folder, no size") << QByteArray("type=dir;sizd=4096;modify=20240102030405;unix.mode=0755; docs")
                                         << "docs" << true << qint64(0) << "755" << t;
        QTest::newRow("facts in any order and case")
            << QByteArray("UNIX.mode=0600;Modify=20240102030405.123;Type=File;Size=7; a b.txt") << "a b.txt" << false
            << qint64(7) << "600" << t;
        QTest::newRow("mode written with 0o") << QByteArray("type=file;size=1;modify=20240102030405;unix.mode=0o640; p")
                                              << "p" << false << qint64(1) << "640" << t;
        QTest::newRow("no mode fact") << QByteArray("type=file;size=1;modify=20240102030405; x") << "x" << false
                                      << qint64(1) << "0" << t;
        QTest::newRow("name with semicolon and spaces")
            << QByteArray("type=file;size=2;modify=20240102030405; a; b ") << "a; b " << false << qint64(2) << "0" << t;
        QTest::newRow("MLST reply line") << QByteArray(" type=file;size=3;modify=20240102030405; /pub/x") << "/pub/x"
                                         << false << qint64(3) << "0" << t;
        QTest::newRow("Japanese name") << QByteArray(
            "type=file;size=5;modify=20240102030405; \xe6\x97\xa5\xe6\x9c\xac.txt")
                                       << QStringLiteral("日本.txt") << false << qint64(5) << "0" << t;
        QTest::newRow("large file") << QByteArray("type=file;size=5000000000;modify=20240102030405; big") << "big"
                                    << false << qint64(5000000000) << "0" << t;
    }
    void mlsdLine()
    {
        QFETCH(QByteArray, line);
        DirEntry e;
        QVERIFY(parseMlsdLine(line, utf8, e));
        QTEST(e.name, "name");
        QTEST(e.folder, "folder");
        QTEST(e.size, "size");
        QTEST(e.accessText(), "access");
        QTEST(e.lastWrite, "time");
        QCOMPARE(e.attributes() & DirEntry::FolderAttribute, e.folder ? DirEntry::FolderAttribute : 0u);
    }

    void listLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("access");
        QTest::addColumn<QDateTime>("time");
        const QDateTime none;
        QTest::newRow("file with year") << QByteArray(
            "-rw-r--r--   1 owner    group        1234 Jan 02  2024 index.html")
                                        << true << "index.html" << false << qint64(1234) << "644"
                                        << QDateTime(QDate(2024, 1, 2), QTime(0, 0), Qt::UTC);
        QTest::newRow("folder with time this year")
            << QByteArray("drwxr-xr-x   2 owner    group        4096 Feb 03 10:20 docs") << true << "docs" << true
            << qint64(0) << "755" << QDateTime(QDate(2025, 2, 3), QTime(10, 20), Qt::UTC);
        QTest::newRow("time in the future means last year")
            << QByteArray("-rwx------   1 o g 1 Dec 24 08:00 x") << true << "x" << false << qint64(1) << "700"
            << QDateTime(QDate(2024, 12, 24), QTime(8, 0), Qt::UTC);
        QTest::newRow("setuid and sticky") << QByteArray("-rwsr-xr-T   1 o g 9 Jan 02  2024 s") << true << "s" << false
                                           << qint64(9) << "754" << QDateTime(QDate(2024, 1, 2), QTime(0, 0), Qt::UTC);
        QTest::newRow("no group column") << QByteArray("-rw-rw-rw-   1 owner 77 Mar 01  2023 n") << true << "n" << false
                                         << qint64(77) << "666" << QDateTime(QDate(2023, 3, 1), QTime(0, 0), Qt::UTC);
        QTest::newRow("spaces inside the name")
            << QByteArray("-rw-r--r--   1 o g 5 Jan 02  2024 my  file .txt") << true << "my  file .txt" << false
            << qint64(5) << "644" << QDateTime(QDate(2024, 1, 2), QTime(0, 0), Qt::UTC);
        QTest::newRow("symbolic link named without target")
            << QByteArray("lrwxrwxrwx   1 o g 11 Jan 02  2024 link -> target") << true << "link" << false << qint64(11)
            << "777" << QDateTime(QDate(2024, 1, 2), QTime(0, 0), Qt::UTC);
        QTest::newRow("no permissions") << QByteArray("----------   1 o g 0 Jan 02  2024 z") << true << "z" << false
                                        << qint64(0) << "0" << QDateTime(QDate(2024, 1, 2), QTime(0, 0), Qt::UTC);
        QTest::newRow("total line") << QByteArray("total 12") << false << "" << false << qint64(0) << "" << none;
        QTest::newRow("DOS form") << QByteArray("01-02-24  10:20AM       <DIR>          docs") << false << "" << false
                                  << qint64(0) << "" << none;
        QTest::newRow("no name") << QByteArray("-rw-r--r--   1 o g 5 Jan 02  2024") << false << "" << false << qint64(0)
                                 << "" << none;
    }
    void listLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, parsed);
        DirEntry e;
        QCOMPARE(parseListLine(line, utf8, e, kNow), parsed);
        if (!parsed)
            return;
        QTEST(e.name, "name");
        QTEST(e.folder, "folder");
        QTEST(e.size, "size");
        QTEST(e.accessText(), "access");
        QTEST(e.lastWrite, "time");
    }

    void listingFiltersNames_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("mlsd");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("rejected");
        QTest::newRow("MLSD dots and hostile names")
            << QByteArray(
                   "type=cdir;modify=20240101000000; /pub\r\n"
                   "type=pdir;modify=20240101000000; /\r\n"
                   "type=file;size=1;modify=20240101000000; ok.txt\r\n"
                   "type=file;size=1;modify=20240101000000; ../evil\r\n"
                   "type=file;size=1;modify=20240101000000; a/../../evil\r\n"
                   "type=dir;modify=20240101000000; ..\\up\r\n"
                   "type=dir;modify=20240101000000; ..\r\n"
                   "type=dir;modify=20240101000000; sub\n")
            << true << QStringList{"ok.txt", "sub"} << QStringList{"../evil", "a/../../evil", "..\\up"};
        QTest::newRow("LIST dots and hostile names") << QByteArray(
            "total 3\r\n"
            "drwxr-xr-x 2 o g 0 Jan 01  2024 .\r\n"
            "drwxr-xr-x 2 o g 0 Jan 01  2024 ..\r\n"
            "-rw-r--r-- 1 o g 4 Jan 01  2024 ../evil\r\n"
            "-rw-r--r-- 1 o g 4 Jan 01  2024 fine\r\n")
                                                     << false << QStringList{"fine"} << QStringList{"../evil"};
        QTest::newRow("empty listing") << QByteArray() << true << QStringList() << QStringList();
    }
    void listingFiltersNames()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, mlsd);
        const ParsedListing l = parseListing(data, mlsd, utf8, kNow);
        QStringList names;
        for (const DirEntry& e : l.entries)
            names << e.name;
        QTEST(names, "names");
        QTEST(l.rejected, "rejected");
    }

    void listingDecodesCp932()
    {
        const QByteArray line =
            "type=file;size=1;modify=20240101000000; " + encodeCp932(QStringLiteral("髙﨑①.txt")).bytes;
        const ParsedListing l = parseListing(
            line, true, [](const QByteArray& b) { return decodeCp932(b); }, kNow);
        QCOMPARE(l.entries.size(), 1);
        QCOMPARE(l.entries[0].name, QStringLiteral("髙﨑①.txt"));
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "index.html" << true;
        QTest::newRow("dots inside") << "a..b" << true;
        QTest::newRow("Japanese") << QStringLiteral("資料") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << false;
        QTest::newRow("CR") << "a\rb" << false;
        QTest::newRow("LF") << "a\nb" << false;
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QTEST(isSafeEntryName(name), "safe");
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("*.* takes names without a dot") << "README"
                                                       << "*.*" << true;
        QTest::newRow("*.* takes dotted names") << "a.b.c"
                                                << "*.*" << true;
        QTest::newRow("extension, any case") << "INDEX.HTML"
                                             << "*.html" << true;
        QTest::newRow("other extension") << "a.txt"
                                         << "*.html" << false;
        QTest::newRow("question mark") << "a1.txt"
                                       << "a?.txt" << true;
        QTest::newRow("question mark needs a character") << "a.txt"
                                                         << "a?.txt" << false;
        QTest::newRow("star in the middle") << "abcdef"
                                            << "a*f" << true;
        QTest::newRow("star backtracks") << "aXbXc"
                                         << "a*b*c" << true;
        QTest::newRow("exact") << "x"
                               << "y" << false;
    }
    void patterns()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QTEST(matchesPattern(name, pattern), "match");
    }

    void modeForName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("mode");
        QTest::newRow("upper-case HTML") << "index.HTML" << int(TransferType::Ascii);
        QTest::newRow("jpg") << "photo.jpg" << int(TransferType::Binary);
        QTest::newRow("no dot") << "Makefile" << int(TransferType::Binary);
        QTest::newRow("last dot counts") << "a.txt.gz" << int(TransferType::Binary);
        QTest::newRow("shtml") << "/pub/x.shtml" << int(TransferType::Ascii);
        QTest::newRow("dot in folder only") << "/tmp/site.css/readme" << int(TransferType::Binary);
        QTest::newRow("trailing dot") << "a." << int(TransferType::Binary);
        QTest::newRow("every text extension is ascii") << "x.java" << int(TransferType::Ascii);
        QTest::newRow("cgi") << "x.cgi" << int(TransferType::Ascii);
    }
    void modeForName()
    {
        QFETCH(QString, path);
        QTEST(int(ModeForName(path)), "mode");
        QCOMPARE(resolveTransferType(TransferType::Binary, path), TransferType::Binary);
        QCOMPARE(resolveTransferType(TransferType::Ascii, path), TransferType::Ascii);
        QCOMPARE(resolveTransferType(TransferType::Automatic, path), ModeForName(path));
    }

    void textExtensionsOrder()
    {
        QCOMPARE(TextExtensions(),
                 (QStringList{"CGI", "CSS", "HTM", "HTML", "JAVA", "JS", "PL", "SHTM", "SHTML", "TXT"}));
        QCOMPARE(transferTypeFromInt(2), TransferType::Binary);
        QCOMPARE(transferTypeFromInt(7), TransferType::Automatic);
    }

    void counters_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands") << qint64(1234 * 1024) << qint64(5678 * 1024) << "1,234KB / 5,678KB";
        QTest::newRow("nothing yet shows 0") << qint64(0) << qint64(2048) << "0KB / 2KB";
        QTest::newRow("a small file") << qint64(100) << qint64(300) << "0KB / 0KB";
        QTest::newRow("rounded") << qint64(1535) << qint64(1536) << "1KB / 2KB";
        QTest::newRow("millions") << qint64(1234567) * 1024 << qint64(1234567) * 1024 << "1,234,567KB / 1,234,567KB";
    }
    void counters()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QTEST(formatTransferCounter(done, total), "text");
    }

    void modeCaptions()
    {
        QCOMPARE(transferModeCaption(true), QStringLiteral("転送モード Ascii"));
        QCOMPARE(transferModeCaption(false), QStringLiteral("転送モード Binary"));
    }

    void serverAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("name") << "ftp.example.jp" << true << "ftp.example.jp" << 21;
        QTest::newRow("name and port") << "ftp.example.jp:2121" << true << "ftp.example.jp" << 2121;
        QTest::newRow("IPv4 and port") << "127.0.0.1:8021" << true << "127.0.0.1" << 8021;
        QTest::newRow("bracketed IPv6 and port") << "[::1]:2121" << true << "::1" << 2121;
        QTest::newRow("bracketed IPv6") << "[::1]" << true << "::1" << 21;
        QTest::newRow("bare IPv6") << "fe80::1" << true << "fe80::1" << 21;
        QTest::newRow("empty") << "" << false << "" << 0;
        QTest::newRow("port zero") << "h:0" << false << "" << 0;
        QTest::newRow("port too large") << "h:65536" << false << "" << 0;
        QTest::newRow("port not a number") << "h:ftp" << false << "" << 0;
        QTest::newRow("signed port") << "h:+21" << false << "" << 0;
        QTest::newRow("empty port") << "h:" << false << "" << 0;
        QTest::newRow("scheme typed") << "ftp://h" << false << "" << 0;
        QTest::newRow("user in it") << "me@h" << false << "" << 0;
        QTest::newRow("space") << "h x" << false << "" << 0;
        QTest::newRow("line break") << "h\r\nUSER x" << false << "" << 0;
        QTest::newRow("brackets around IPv4") << "[1.2.3.4]" << false << "" << 0;
        QTest::newRow("text after bracket") << "[::1]x" << false << "" << 0;
    }
    void serverAddress()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const ServerAddress a = parseServerAddress(text);
        QCOMPARE(a.valid, valid);
        if (!valid)
            return;
        QTEST(a.host, "host");
        QTEST(a.port, "port");
    }
};

QTEST_GUILESS_MAIN(TestFtpListing)
#include "tst_ftplisting.moc"
