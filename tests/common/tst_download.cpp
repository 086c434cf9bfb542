// Downloads through libcurl from a real HTTP server on 127.0.0.1.

#include "common/download.h"
#include "tests/testkit/httpserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;
using namespace tw::test;

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void results_data();
    void results();
    void stalledServerTimesOut();
};

void TestDownload::results_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("page") << "verchk.html" << qint64(1 << 20) << true << QString();
    QTest::newRow("missing page") << "nothing.html" << qint64(1 << 20) << false << "HTTP 404";
    QTest::newRow("larger than allowed") << "verchk.html" << qint64(10) << false << "大きすぎます";
}

void TestDownload::results()
{
    QFETCH(QString, path);
    QFETCH(qint64, maxBytes);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    HttpServerFixture server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.put(QStringLiteral("verchk.html"), "QUILLET_VERSION=0.2\r\n<p>新しい版</p>");
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("verchk.html"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    CurlDownloader d;
    const DownloadResult r = d.download({.url = server.url(path), .target = target, .maxBytes = maxBytes});
    QCOMPARE(r.ok, ok);
    QVERIFY2(r.error.contains(error), qPrintable(r.error));
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), ok ? QByteArray("QUILLET_VERSION=0.2\r\n<p>新しい版</p>") : QByteArray("old"));
}

void TestDownload::stalledServerTimesOut()
{
    HttpServerFixture server(true);
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    QTemporaryDir dir;
    CurlDownloader d;
    QElapsedTimer t;
    t.start();
    const DownloadResult r = d.download(
        {.url = server.url(QStringLiteral("x")), .target = dir.filePath(QStringLiteral("x")), .totalTimeoutMs = 800});
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("サーバーが時間内に応答しませんでした。"));
    QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x"))));
    // Not an address of ours to fetch from.
    QVERIFY(!d.download({.url = QStringLiteral("file:///etc/passwd"), .target = dir.filePath(QStringLiteral("y"))}).ok);
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
