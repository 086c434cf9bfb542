// The version check: the marker scan of a downloaded page, the messages,
// the temporary file, and a real HTTP server on 127.0.0.1.

#include "common/download.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/httpserver.h"
#include "tests/testkit/tempappfolder.h"
#include "editor/shell/versioncheck.h"

#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
QByteArray linesWithMarker(int lines, const QByteArray& version)
{
    QByteArray page;
    for (int i = 1; i < lines; ++i)
        page += "<p>line " + QByteArray::number(i) + "</p>\r\n";
    return page + "<!-- QUILLET_VERSION=\"" + version + "\" -->\r\n";
}
const QString kNewer = QStringLiteral("最新バージョンが見つかりました。\r\nソフトのページを確認しますか？");
const QString kCurrent = QStringLiteral("このソフトは現在最新版です");
}  // namespace

class TestVersionCheck : public QObject {
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void check_data();
    void check();
    void yesOpensSoftwarePage();
    void pagesFromSettingsFile();
    void realServer();
};

void TestVersionCheck::scan_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("version");  // null: nothing published
    QTest::newRow("marker in a page") << QByteArray("<html>\nQUILLET_VERSION=\"2.1.0\"\n</html>") << "2.1.0";
    QTest::newRow("first of two") << QByteArray("QUILLET_VERSION=\"1.0.0\" QUILLET_VERSION=\"9\"") << "1.0.0";
    QTest::newRow("any text up to the quote") << QByteArray("x QUILLET_VERSION=\"2.1 beta\"") << "2.1 beta";
    QTest::newRow("quote on a later line") << QByteArray("QUILLET_VERSION=\"2\r\n\"") << "2\r\n";
    QTest::newRow("missing marker") << QByteArray("<html>404 Not Found \"x\"</html>") << QString();
    QTest::newRow("marker without the quote") << QByteArray("QUILLET_VERSION=2.1.0") << QString();
    QTest::newRow("no closing quote") << QByteArray("QUILLET_VERSION=\"2.1.0") << QString();
    QTest::newRow("empty page") << QByteArray() << QString();
    QTest::newRow("99 lines are compared") << linesWithMarker(99, "3.0.0") << "3.0.0";
    QTest::newRow("100 lines are not") << linesWithMarker(100, "3.0.0") << QString();
    QTest::newRow("99 lines without a last line end") << linesWithMarker(99, "3.0.0").chopped(2) << "3.0.0";
}

void TestVersionCheck::scan()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, version);
    const std::optional<QString> got = publishedVersion(page);
    QCOMPARE(got.has_value(), !version.isNull());
    if (got)
        QCOMPARE(*got, version);
}

void TestVersionCheck::check_data()
{
    QTest::addColumn<QByteArray>("page");  // empty: the download fails
    QTest::addColumn<int>("showIfCurrent");
    QTest::addColumn<QString>("message");
    const QByteArray current = programVersion().toLatin1();
    QTest::newRow("current, from the menu") << linesWithMarker(3, current) << 1 << kCurrent;
    QTest::newRow("current, at start") << linesWithMarker(3, current) << 0 << QString();
    QTest::newRow("older published") << linesWithMarker(3, "0.0.1") << 0 << kNewer;
    QTest::newRow("newer published") << linesWithMarker(3, "99.0.0") << 1 << kNewer;
    QTest::newRow("no marker") << QByteArray("<html>moved</html>") << 0 << QString();
    QTest::newRow("100 lines, from the menu") << linesWithMarker(
        100, "0.0.1") << 1 << "最新版の情報を確認できませんでした。\r\nバージョンの情報が見つかりませんでした。";
    QTest::newRow("download fails") << QByteArray() << 0 << QString();
}

void TestVersionCheck::check()
{
    QFETCH(QByteArray, page);
    QFETCH(int, showIfCurrent);
    QFETCH(QString, message);
    TempAppFolder app;
    // A file left by an earlier run never stands in for the download.
    app.put(QStringLiteral("verchk.html"), linesWithMarker(3, "0.0.1"));
    FakePlatform fakes;
    if (page.isEmpty())
        fakes.downloader.fail({.ok = false, .status = 0, .error = QStringLiteral("接続できません")});
    else
        fakes.downloader.answer(page);
    fakes.messages.answer(MsgResult::No);
    VersionCheck check(fakes.platform(), app.path(), {QStringLiteral("http://127.0.0.1:9/v.html"), {}, {}});
    check.CheckForNewVersion(std::int16_t(showIfCurrent));

    QCOMPARE(fakes.downloader.requests.size(), 1);
    QCOMPARE(fakes.downloader.requests[0].url, QStringLiteral("http://127.0.0.1:9/v.html"));
    QCOMPARE(fakes.downloader.requests[0].target, app.file(QStringLiteral("verchk.html")));
    QVERIFY(fakes.downloader.requests[0].totalTimeoutMs <= 10000);
    QVERIFY(!app.exists(QStringLiteral("verchk.html")));
    QCOMPARE(fakes.messages.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(fakes.messages.shown[0].text, message);
        QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("最新版の確認"));
        QCOMPARE(fakes.messages.shown[0].icon,
                 message.startsWith(QStringLiteral("最新版の情報")) ? MsgIcon::Warning : MsgIcon::Information);
        QCOMPARE(fakes.messages.shown[0].buttons, message == kNewer ? MsgButtons::YesNo : MsgButtons::Ok);
    }
    QVERIFY(fakes.launcher.opened.isEmpty());
}

void TestVersionCheck::yesOpensSoftwarePage()
{
    TempAppFolder app;
    FakePlatform fakes;
    fakes.downloader.answer(linesWithMarker(1, "0.0.1"));
    fakes.messages.answer(MsgResult::Yes);
    VersionCheck check(fakes.platform(), app.path(),
                       {QStringLiteral("http://h/v"), QStringLiteral("http://h/soft/"), {}});
    check.CheckForNewVersion(0);
    QCOMPARE(fakes.launcher.opened, QStringList{QStringLiteral("http://h/soft/")});
}

void TestVersionCheck::pagesFromSettingsFile()
{
    TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/quillet.ini"),
            "[Setting]\r\nPreview=1\r\n[Web]\r\nVersionPage=http://127.0.0.1:8000/v.html\r\nTopPage= \r\n");
    const WebPages pages = readWebPages(app.file(QStringLiteral("tools/Setting/quillet.ini")));
    QCOMPARE(pages.versionPage, QStringLiteral("http://127.0.0.1:8000/v.html"));
    QCOMPARE(pages.softwarePage, defaultWebPages().softwarePage);
    QCOMPARE(pages.topPage, defaultWebPages().topPage);  // an empty value keeps the default
}

void TestVersionCheck::realServer()
{
    HttpServerFixture server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.put(QStringLiteral("version.html"), linesWithMarker(40, programVersion().toLatin1()));
    TempAppFolder app;
    FakePlatform fakes;
    CurlDownloader curl;
    Platform platform = fakes.platform();
    platform.downloader = &curl;
    VersionCheck check(platform, app.path(), {server.url(QStringLiteral("version.html")), {}, {}});
    check.CheckForNewVersion(1);
    QCOMPARE(fakes.messages.shown.size(), 1);
    QCOMPARE(fakes.messages.shown[0].text, kCurrent);
    QVERIFY(!app.exists(QStringLiteral("verchk.html")));

    // A server that never answers ends the check at the request's time-out, and the user who asked is told.
    HttpServerFixture stalled(true);
    QVERIFY2(stalled.isRunning(), qPrintable(stalled.errorString()));
    check.setPages({stalled.url(QStringLiteral("version.html")), {}, {}});
    check.CheckForNewVersion(1);
    QCOMPARE(fakes.messages.shown.last().text,
             QStringLiteral("最新版の情報を確認できませんでした。\r\nサーバーが時間内に応答しませんでした。"));
}

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"
