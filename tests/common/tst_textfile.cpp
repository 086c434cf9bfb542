#include "common/textfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tw;

Q_DECLARE_METATYPE(tw::TextEncoding)
Q_DECLARE_METATYPE(tw::LineEnd)

static QString putBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return dir.filePath(name);
}

static QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<LineEnd>("dominant");
        const auto crlf = LineEnd::CrLf;
        QTest::newRow("crlf stays") << QString("a\r\nb\r\n") << QString("a\r\nb\r\n") << crlf;
        QTest::newRow("lf only") << QString("a\n\nb") << QString("a\r\n\r\nb") << LineEnd::Lf;
        QTest::newRow("cr cr lf") << QString("a\r\r\n") << QString("a\r\n\r\n") << crlf;
        QTest::newRow("lf cr: a tie goes to lf") << QString("\n\r") << QString("\r\n\r\n") << LineEnd::Lf;
        QTest::newRow("a tie with crlf keeps it") << QString("\r\n\n") << QString("\r\n\r\n") << crlf;
        QTest::newRow("mostly cr") << QString("a\rb\rc\r\n") << QString("a\r\nb\r\nc\r\n") << LineEnd::Cr;
        QTest::newRow("no break") << QString("abc") << QString("abc") << crlf;
        QTest::newRow("4 MB") << QString("<p>\n").repeated(800000) << QString("<p>\r\n").repeated(800000)
                              << LineEnd::Lf;
    }
    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(LineEnd, dominant);
        LineEndCount found;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(normaliseLineBreaks(text, &found), expected);
        QVERIFY2(timer.elapsed() < 10000, "not linear");
        QCOMPARE(found.dominant(), dominant);
    }

    // The text and form read from a file, and the bytes of saving it in that form.
    void readAndSaveAgain_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<LineEnd>("lineEnd");
        QTest::addColumn<QByteArray>("saved");
        const auto cp = TextEncoding::Cp932;
        const auto crlf = LineEnd::CrLf;
        const QString keptByte(QChar(0xDCFF));
        QTest::newRow("cp932") << QByteArray::fromHex("93fa8160ff0d0a") << QString("日～" + keptByte + "\r\n") << cp
                               << crlf << QByteArray::fromHex("93fa8160ff0d0a");
        QTest::newRow("utf-8 lf") << QByteArray("\xe6\x97\xa5\n<p>\n") << QString("日\r\n<p>\r\n") << TextEncoding::Utf8
                                  << LineEnd::Lf << QByteArray("\xe6\x97\xa5\n<p>\n");
        QTest::newRow("bom") << QByteArray("\xef\xbb\xbfp\r\n") << QString("p\r\n") << TextEncoding::Utf8Bom << crlf
                             << QByteArray("\xef\xbb\xbfp\r\n");
        QTest::newRow("lone cr") << QByteArray("a\rb") << QString("a\r\nb") << cp << LineEnd::Cr << QByteArray("a\rb");
        QTest::newRow("lf and crlf") << QByteArray("a\nb\r\n") << QString("a\r\nb\r\n") << cp << crlf
                                     << QByteArray("a\r\nb\r\n");
        QTest::newRow("mostly lf") << QByteArray("a\nb\nc\r\n") << QString("a\r\nb\r\nc\r\n") << cp << LineEnd::Lf
                                   << QByteArray("a\nb\nc\n");
        QTest::newRow("classic cr") << QByteArray("a\rb\r") << QString("a\r\nb\r\n") << cp << LineEnd::Cr
                                    << QByteArray("a\rb\r");
        QTest::newRow("empty") << QByteArray("") << QString() << cp << crlf << QByteArray("");
    }
    void readAndSaveAgain()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(TextEncoding, encoding);
        QFETCH(LineEnd, lineEnd);
        QFETCH(QByteArray, saved);
        QTemporaryDir dir;
        const QString path = putBytes(dir, QStringLiteral("a.html"), bytes);
        const ReadResult r = readTextFile(path, TextKind::Document);
        QVERIFY(r.ok);
        QCOMPARE(r.text, text);
        QCOMPARE(r.format.encoding, encoding);
        QCOMPARE(r.format.lineEnd, lineEnd);
        QVERIFY(writeTextFile(path, r.text, r.format).ok);
        QCOMPARE(fileBytes(path), saved);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.html"});  // no temporary left
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("readError");
        QTest::newRow("missing file and folder") << "missing"
                                                 << "ファイルが見つかりません: %1";
        QTest::newRow("folder") << "folder"
                                << "フォルダは開けません: %1";
        QTest::newRow("no access") << "locked"
                                   << "ファイルを読み込めません: %1";
    }
    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, readError);
        QTemporaryDir dir;
        QString path = kind == "folder" ? dir.path() : dir.filePath(QStringLiteral("no/such.html"));
        if (kind == "locked") {
            if (::geteuid() == 0)
                QSKIP("root reads and writes everything");
            path = putBytes(dir, QStringLiteral("a.html"), "old");
            QFile::setPermissions(path, QFileDevice::WriteOwner);
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const auto unlock = qScopeGuard([&] { QFile::setPermissions(dir.path(), QFile::Permissions(0x7000)); });
        const QString shown = QDir::toNativeSeparators(path);
        const ReadResult r = readTextFile(path, TextKind::Document);
        QVERIFY(!r.ok);
        QCOMPARE(r.error, readError.arg(shown));
        bool ok = true;
        QVERIFY(readLines(path, &ok).isEmpty());
        QVERIFY(!ok);

        const WriteResult w = writeFileAtomic(path, "new");
        QVERIFY(!w.ok);
        QVERIFY(w.error.startsWith(QStringLiteral("ファイルを保存できませんでした: %1\n").arg(shown)));
        QVERIFY(w.error.size() > w.error.indexOf(u'\n') + 1);  // the reason follows
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(fileBytes(path), kind == "locked" ? QByteArray("old") : QByteArray("<none>"));
    }

    // A disk that fills up part-way: every byte is checked, the old file
    // stays and no temporary file is left. RLIMIT_FSIZE with SIGXFSZ ignored
    // makes write() fail with EFBIG at the limit, as a full disk would.
    void fullDiskKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("one byte over") << 16 * 1024 + 1;
        QTest::newRow("inside Qt's 16 KiB buffer") << 9000;
        QTest::newRow("1 MiB") << 1024 * 1024;
    }
    void fullDiskKeepsOldFile()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = putBytes(dir, QStringLiteral("a.html"), "old");
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto restore = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &old); });
        const auto previous = ::signal(SIGXFSZ, SIG_IGN);
        const auto restoreSignal = qScopeGuard([&] { ::signal(SIGXFSZ, previous); });
        rlimit low = old;
        low.rlim_cur = rlim_t(std::min(size - 1, 16 * 1024));
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &low) == 0);
        const WriteResult w = writeFileAtomic(path, QByteArray(size, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!w.ok);
        QVERIFY2(w.error.contains(QStringLiteral("大きすぎて")), qPrintable(w.error));
        QCOMPARE(fileBytes(path), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.html"});
    }

    void refusedCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("message");
        QTest::newRow("emoji in cp932")
            << QString("日本😀") << TextEncoding::Cp932
            << "%1 を保存できませんでした。\n"
               "文字 😀 (U+1F600) はこのファイルの文字コード (Shift_JIS) では保存できません。";
        QTest::newRow("kept byte in utf-8") << QString("a").append(QChar(0xDC81)) << TextEncoding::Utf8
                                            << "%1 を保存できませんでした。\n"
                                               "文字 U+DC81 はこのファイルの文字コード (UTF-8) では保存できません。";
    }
    void refusedCharacter()
    {
        QFETCH(QString, text);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = putBytes(dir, QStringLiteral("a.html"), "old");
        const WriteResult r = writeTextFile(path, text, FileFormat{encoding, LineEnd::CrLf});
        QVERIFY(!r.ok);
        QCOMPARE(r.error, message.arg(QDir::toNativeSeparators(path)));
        QCOMPARE(fileBytes(path), QByteArray("old"));
        QVERIFY(!writeLines(dir.filePath("b.ini"), {text}, encoding).ok);
        QVERIFY(!QFile::exists(dir.filePath("b.ini")));
    }

    // readLines of the bytes, and writeLines of those lines.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("final break") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << QByteArray("a\r\nb\r\n");
        QTest::newRow("no final break") << QByteArray("a\r\nb") << QStringList{"a", "b"} << QByteArray("a\r\nb\r\n");
        QTest::newRow("mixed") << QByteArray("a\rb\nc\r\n") << QStringList{"a", "b", "c"}
                               << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("empty lines") << QByteArray("\r\n\na\r\r\n") << QStringList{"", "", "a", ""}
                                     << QByteArray("\r\n\r\na\r\n\r\n");
        QTest::newRow("no lines") << QByteArray("") << QStringList{} << QByteArray("");
        QTest::newRow("cp932") << QByteArray::fromHex("5b93fa5d0d0a8c8e3d81600d0a") << QStringList{"[日]", "月=～"}
                               << QByteArray::fromHex("5b93fa5d0d0a8c8e3d81600d0a");
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        bool ok = false;
        QCOMPARE(readLines(putBytes(dir, QStringLiteral("a.ini"), bytes), &ok), lines);
        QVERIFY(ok);
        QVERIFY(writeLines(dir.filePath("b.ini"), lines).ok);
        QCOMPARE(fileBytes(dir.filePath("b.ini")), written);
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
