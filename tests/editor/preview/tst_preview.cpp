#include "editor/preview/preview.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QCoreApplication>
#include <QTest>

using namespace tw;
using tw::test::TempAppFolder;

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void filePath_data();
    void filePath();
    void fileKeepsDocumentEncoding_data();
    void fileKeepsDocumentEncoding();
    void browserMenus_data();
    void browserMenus();
    void browserLaunchKeepsPathsWhole();
    void forcedRefreshRunsAtOnce();
    void changesAreCoalesced();
    void changesWaitForTheLoadBefore();
    void unforcedNeedsRealTimePreview();
};

void TestPreview::filePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("root: no doubled separator") << "/"
                                                << "/quillettmp.html";
}

void TestPreview::filePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(previewFilePath(folder), path);
}

void TestPreview::fileKeepsDocumentEncoding_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("<P>日本</P>\r\n");
    QTest::newRow("cp932") << int(TextEncoding::Cp932) << encodeCp932(text).bytes;
    QTest::newRow("utf-8") << int(TextEncoding::Utf8) << text.toUtf8();
}

void TestPreview::fileKeepsDocumentEncoding()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    TempAppFolder app;
    app.put(QStringLiteral("quillettmp.html"), "older");
    FileFormat f;
    f.encoding = TextEncoding(encoding);
    QVERIFY(writePreviewFile(previewFilePath(app.path()), QStringLiteral("<P>日本</P>\r\n"), f).ok);
    QCOMPARE(app.read(QStringLiteral("quillettmp.html")), bytes);
    // A text the encoding cannot hold leaves the previous file.
    QVERIFY(!writePreviewFile(previewFilePath(app.path()), QStringLiteral("😀"), FileFormat{}).ok);
    QCOMPARE(app.read(QStringLiteral("quillettmp.html")), bytes);
}

void TestPreview::browserMenus_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("separator");
    QTest::addColumn<QString>("visible");  // one letter per entry: 1 shown, 0 hidden
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("no browser") << QStringList{"", "", ""} << QStringList{"", "", ""} << false << "000"
                                << QStringList{"ブラウザ1(&1)", "ブラウザ2(&2)", "ブラウザ3(&3)"};
    QTest::newRow("only browser 2") << QStringList{"", "/opt/opera", ""} << QStringList{"x", "Opera", ""} << true
                                    << "010" << QStringList{"ブラウザ1(&1)", "Opera", "ブラウザ3(&3)"};
    QTest::newRow("all three") << QStringList{"/a", "/b", "/c"} << QStringList{"A", "B", "C"} << true << "111"
                               << QStringList{"A", "B", "C"};
}

void TestPreview::browserMenus()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, names);
    QFETCH(bool, separator);
    QFETCH(QString, visible);
    QFETCH(QStringList, captions);
    EditorSettings s;
    s.Browser1 = paths[0];
    s.Browser2 = paths[1];
    s.Browser3 = paths[2];
    s.Browser1Name = names[0];
    s.Browser2Name = names[1];
    s.Browser3Name = names[2];
    const BrowserMenuState m = browserMenuState(s);
    QCOMPARE(m.separatorVisible, separator);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m.visible[i], visible[i] == u'1');
        QCOMPARE(m.caption[i], captions[i]);
    }
}

void TestPreview::browserLaunchKeepsPathsWhole()
{
    const BrowserLaunch l =
        browserLaunch(QStringLiteral("/opt/my browser/run"), QStringLiteral("/a b/quillettmp.html"));
    QCOMPARE(l.program, QStringLiteral("/opt/my browser/run"));
    QCOMPARE(l.args, QStringList{QStringLiteral("/a b/quillettmp.html")});
    QCOMPARE(companionPath(QStringLiteral("/app dir"), QStringLiteral("ftp")), QStringLiteral("/app dir/tools/ftp"));
}

namespace {
struct Pipe {
    TempAppFolder app;
    QString text = QStringLiteral("one");
    QStringList shown;
    bool loading = false;
    PreviewPipeline pipe{{[this] { return text; }, [] { return FileFormat{}; }, [this] { return app.path(); },
                          [this] { return loading; }}};
    EditorSettings settings;
    Pipe()
    {
        QObject::connect(&pipe, &PreviewPipeline::pageReady, [this](const QString& p) { shown << p; });
    }
};
}  // namespace

void TestPreview::forcedRefreshRunsAtOnce()
{
    Pipe p;
    p.settings.RealTimePreview = 0;
    p.pipe.RefreshPreview(true, p.settings);  // F9 with real-time preview off
    QCOMPARE(p.shown, QStringList{previewFilePath(p.app.path())});
    QCOMPARE(p.app.read(QStringLiteral("quillettmp.html")), QByteArray("one"));
}

void TestPreview::changesAreCoalesced()
{
    Pipe p;
    for (int i = 0; i < 50; ++i) {
        p.text = QStringLiteral("text %1").arg(i);
        p.pipe.RefreshPreview(false, p.settings);
    }
    QVERIFY(p.pipe.pending());
    QCOMPARE(p.pipe.writes(), 0);  // nothing written inside the keystrokes
    QTRY_VERIFY_WITH_TIMEOUT(!p.pipe.pending(), 5000);
    QCOMPARE(p.pipe.writes(), 1);
    QCOMPARE(p.shown.size(), 1);
    QCOMPARE(p.app.read(QStringLiteral("quillettmp.html")), QByteArray("text 49"));  // the latest text
}

void TestPreview::changesWaitForTheLoadBefore()
{
    // Typing while the browser loads the page before: nothing is written
    // until it has finished, then the latest text once.
    Pipe p;
    p.loading = true;
    p.pipe.RefreshPreview(false, p.settings);
    QTest::qWait(200);
    p.text = QStringLiteral("latest");
    p.pipe.RefreshPreview(false, p.settings);
    QCOMPARE(p.pipe.writes(), 0);
    QVERIFY(p.pipe.pending());
    p.loading = false;
    QTRY_VERIFY_WITH_TIMEOUT(!p.pipe.pending(), 5000);
    QCOMPARE(p.pipe.writes(), 1);
    QCOMPARE(p.app.read(QStringLiteral("quillettmp.html")), QByteArray("latest"));
    // A forced refresh (F9) does not wait.
    p.loading = true;
    p.pipe.RefreshPreview(true, p.settings);
    QCOMPARE(p.pipe.writes(), 2);
}

void TestPreview::unforcedNeedsRealTimePreview()
{
    Pipe p;
    p.settings.RealTimePreview = 0;
    p.pipe.RefreshPreview(false, p.settings);
    QVERIFY(!p.pipe.pending());
    p.settings.RealTimePreview = 1;
    p.pipe.RefreshPreview(false, p.settings);
    p.pipe.flush();
    QCOMPARE(p.app.read(QStringLiteral("quillettmp.html")), QByteArray("one"));
}

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
