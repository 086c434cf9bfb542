// The preview in the real browser engine.

#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "tests/testkit/processmemory.h"
#include "editor/window/mainfrm.h"
#include "editor/preview/preview.h"
#include "editor/preview/ui/previewview.h"
#include "common/gui/qtplatform.h"
#include "tests/testkit/tempappfolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace tw;
using namespace tw::test;

namespace {
const int kLoadTimeout = 20000;

// The text the page shows, asked from the page itself.
QString pageText(QWebEngineView* view)
{
    QString result;
    bool done = false;
    view->page()->runJavaScript(QStringLiteral("document.body ? document.body.innerText : ''"), [&](const QVariant& v) {
        result = v.toString();
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kLoadTimeout) ? result : QString();
}

struct Editor : EditorFixture {
    QtLauncher realLauncher;

    Editor(const QByteArray& ini, bool realLaunch = false)
    {
        app.put(QStringLiteral("site/keep.txt"), "x");  // the start folder holds a file
        start(ini, {.size = QSize(1200, 800),
                    .waitExposed = true,
                    .browserEngine = true,
                    .adjust = [this, realLaunch](QuilletContext& c) {
                        if (realLaunch)
                            c.platform.launcher = &realLauncher;
                    }});
        if (!shown)
            qFatal("the window did not show");
        w->session().document().setPanelFolder(app.file(QStringLiteral("site")));
    }
    QWebEngineView* view() { return childOf<PreviewView>(&*w, "WebBrowser1")->browser(); }
    QString tempFile() { return app.file(QStringLiteral("site/quillettmp.html")); }
};
}  // namespace

class TestPreviewWindow : public QObject {
    Q_OBJECT
private slots:
    void f9WritesAndShowsWithoutRealTimePreview();
    void typingEndsShowingTheLatestText();
    void refreshesWhileLoadingWaitForTheLoad();
    void relativeLinksResolveAgainstTheDocumentFolder();
    void tabArrangementRefreshesOnThePreviewTab();
    void previewWindowSizeAndCaption();
    void browserMenuFollowsSettings();
    void browserEntries();
    void companionPrograms();
    void engineStartsAfterTheWindowShows();
    void refreshKeepsTheScrollPosition();
    void largePageIsNotLoadedOnEveryChange();
};

void TestPreviewWindow::f9WritesAndShowsWithoutRealTimePreview()
{
    Editor e("[Setting]\r\nRealTimePreview=0\r\n");
    e.w->session().buffer().SetText(
        QStringLiteral("<html><head><title>F9 page</title></head><body>本文</body></html>"));
    QVERIFY(!QFile::exists(e.tempFile()));  // real-time preview is off
    QSignalSpy loaded(e.view(), &QWebEngineView::loadFinished);
    QTest::keyClick(childOf<RichTextBox>(&*e.w, "RichTextBox1"), Qt::Key_F9);
    QVERIFY(QFile::exists(e.tempFile()));
    QVERIFY(loaded.wait(kLoadTimeout));
    QCOMPARE(e.view()->title(), QStringLiteral("F9 page"));
    QCOMPARE(pageText(e.view()), QStringLiteral("本文"));
}

void TestPreviewWindow::typingEndsShowingTheLatestText()
{
    Editor e("[Setting]\r\n");
    e.w->session().buffer().SetText(QString());
    childOf<RichTextBox>(&*e.w, "RichTextBox1")->setFocus();
    QTest::keyClicks(childOf<RichTextBox>(&*e.w, "RichTextBox1"), QStringLiteral("<p>hello world</p>"));
    QTRY_COMPARE_WITH_TIMEOUT(pageText(e.view()), QStringLiteral("hello world"), kLoadTimeout);
    QTest::keyClick(childOf<RichTextBox>(&*e.w, "RichTextBox1"), Qt::Key_Backspace);
    QTest::keyClicks(childOf<RichTextBox>(&*e.w, "RichTextBox1"), QStringLiteral("<b>!</b>"));
    QTRY_COMPARE_WITH_TIMEOUT(pageText(e.view()), QStringLiteral("hello world!"), kLoadTimeout);

    // Closing right after a keystroke leaves no temporary file behind.
    QTest::keyClicks(childOf<RichTextBox>(&*e.w, "RichTextBox1"), QStringLiteral("x"));
    e.fakes.messages.answer(MsgResult::No);
    QVERIFY(e.w->close());
    QTest::qWait(100);
    QVERIFY(!QFile::exists(e.tempFile()));
}

void TestPreviewWindow::refreshesWhileLoadingWaitForTheLoad()
{
    Editor e("[Setting]\r\nRealTimePreview=0\r\n");
    auto* area = childOf<PreviewView>(&*e.w, "WebBrowser1");
    e.w->session().RefreshPreview(true);  // the engine runs and has shown a page
    QTRY_VERIFY_WITH_TIMEOUT(area->engineStarted() && area->loadsFinished() == 1, kLoadTimeout);
    const int before = area->loadsStarted();
    for (int i = 0; i < 5; ++i) {
        e.w->session().buffer().SetText(QStringLiteral("<p>step %1</p>").arg(i));
        e.w->session().RefreshPreview(true);
    }
    // One load runs; the four refreshes behind it wait for it and become one.
    QCOMPARE(area->loadsStarted() - before, 1);
    QVERIFY(area->loading());
    QTRY_COMPARE_WITH_TIMEOUT(pageText(e.view()), QStringLiteral("step 4"), kLoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!area->loading(), kLoadTimeout);
    QCOMPARE(area->loadsStarted() - before, 2);
    QCOMPARE(area->loadsFinished(), area->loadsStarted());
}

void TestPreviewWindow::relativeLinksResolveAgainstTheDocumentFolder()
{
    Editor e("[Setting]\r\n");
    e.app.put(QStringLiteral("site/css/s.css"), "p { color: rgb(0, 128, 0); }");
    QSignalSpy loaded(e.view(), &QWebEngineView::loadFinished);
    e.w->session().buffer().SetText(QStringLiteral("<link rel=stylesheet href=\"css/s.css\"><p id=x>x</p>"));
    e.w->session().RefreshPreview(true);
    QVERIFY(loaded.wait(kLoadTimeout));
    QString colour;
    bool done = false;
    e.view()->page()->runJavaScript(QStringLiteral("getComputedStyle(document.getElementById('x')).color"),
                                    [&](const QVariant& v) {
                                        colour = v.toString();
                                        done = true;
                                    });
    QTRY_VERIFY_WITH_TIMEOUT(done, kLoadTimeout);
    QCOMPARE(colour, QStringLiteral("rgb(0, 128, 0)"));
}

void TestPreviewWindow::tabArrangementRefreshesOnThePreviewTab()
{
    Editor e("[Setting]\r\nAreaDivide=2\r\nRealTimePreview=0\r\n");
    e.w->session().buffer().SetText(QStringLiteral("<p>tab</p>"));
    QVERIFY(!QFile::exists(e.tempFile()));
    childOf<QTabBar>(&*e.w, "SSTab1")->setCurrentIndex(1);
    QVERIFY(QFile::exists(e.tempFile()));
    QVERIFY(childOf<PreviewView>(&*e.w, "WebBrowser1")->isVisible());
    QVERIFY(!childOf<RichTextBox>(&*e.w, "RichTextBox1")->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(pageText(e.view()), QStringLiteral("tab"), kLoadTimeout);
}

void TestPreviewWindow::previewWindowSizeAndCaption()
{
    Editor e("[Setting]\r\nPreviewWindowX=640\r\nPreviewWindowY=480\r\nRealTimePreview=0\r\n");
    e.w->session().buffer().SetText(QStringLiteral("<title>win</title><p>in the window</p>"));
    e.w->runCommand(QStringLiteral("IDM_PREVIEW_WINDOW"));
    PreviewWindowFrm* win = e.w->findChild<PreviewWindowFrm*>();
    QVERIFY(win);
    QVERIFY(QTest::qWaitForWindowExposed(win));
    QCOMPARE(win->windowTitle(), QStringLiteral("プレビューウインドウ (640×480)"));
    QTRY_COMPARE_WITH_TIMEOUT(win->view()->browser()->size(), QSize(640, 480), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pageText(win->view()->browser()), QStringLiteral("in the window"), kLoadTimeout);
    // Used again, the same window is reused.
    e.w->runCommand(QStringLiteral("IDM_PREVIEW_WINDOW"));
    QCOMPARE(e.w->findChild<PreviewWindowFrm*>(), win);
    QVERIFY(QFile::exists(e.tempFile()));
}

void TestPreviewWindow::browserMenuFollowsSettings()
{
    Editor e("[Setting]\r\nBrowser2=/opt/opera/opera\r\nBrowser2Name=Opera\r\n");
    QVERIFY(!e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER1"))->isVisible());
    QVERIFY(e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER2"))->isVisible());
    QCOMPARE(e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER2"))->text(), QStringLiteral("Opera"));
    QVERIFY(!e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER3"))->isVisible());
    QVERIFY(e.w->action(QStringLiteral("separatorH"))->isVisible());
    QCOMPARE(e.w->action(QStringLiteral("IDM_NORMALPREVIEW"))->shortcut(), QKeySequence(Qt::Key_F9));

    Editor none("[Setting]\r\n");
    QVERIFY(!none.w->action(QStringLiteral("separatorH"))->isVisible());
    QVERIFY(!none.w->action(QStringLiteral("IDM_PREVIEW_BROWSER2"))->isVisible());
}

void TestPreviewWindow::browserEntries()
{
    // Browser 1 is a script in a folder with spaces that records its arguments.
    TempAppFolder scripts;
    const QString script = scripts.file(QStringLiteral("my browser/run.sh"));
    const QString out = scripts.file(QStringLiteral("args.txt"));
    scripts.put(QStringLiteral("my browser/run.sh"),
                QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '%1'\n").arg(out).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Editor e(QStringLiteral("[Setting]\r\nBrowser1=%1\r\nBrowser1Name=Script\r\n").arg(script).toUtf8(), true);
    e.w->runCommand(QStringLiteral("IDM_PREVIEW_BROWSER1"));
    auto recorded = [&] {
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(recorded(), QStringLiteral("1\n") + e.tempFile() + QLatin1Char('\n'), 10000);

    e.w->runCommand(QStringLiteral("IDM_PREVIEW_BROWSER2"));  // not configured
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, QStringLiteral("[設定]メニューからブラウザを設定してください"));
    QCOMPARE(e.fakes.messages.shown[0].icon, MsgIcon::None);

    Editor broken("[Setting]\r\nBrowser3=/no/such/browser\r\n", true);
    broken.w->runCommand(QStringLiteral("IDM_PREVIEW_BROWSER3"));
    QCOMPARE(broken.fakes.messages.shown.size(), 1);
    QCOMPARE(broken.fakes.messages.shown[0].text, QStringLiteral("プレビューに失敗しました"));
}

void TestPreviewWindow::companionPrograms()
{
    Editor e("[Setting]\r\n", true);
    // Missing program: a message, and the editor goes on.
    e.w->runCommand(QStringLiteral("IDM_FTP"));
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QVERIFY(e.fakes.messages.shown[0].text.contains(QStringLiteral("tools/ftp")));

    // A stand-in program that counts its starts.
    const QString marks = e.app.file(QStringLiteral("starts.txt"));
    e.app.put(QStringLiteral("tools/Velmora"), QStringLiteral("#!/bin/sh\necho \"$#\" >> '%1'\n").arg(marks).toUtf8());
    QFile::setPermissions(e.app.file(QStringLiteral("tools/Velmora")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    e.w->runCommand(QStringLiteral("IDM_STYLESEEAT"));
    e.w->runCommand(QStringLiteral("IDM_STYLESEEAT"));
    auto contents = [&] {
        QFile f(marks);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTRY_COMPARE_WITH_TIMEOUT(contents(), QByteArray("0\n0\n"), 10000);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
}

void TestPreviewWindow::engineStartsAfterTheWindowShows()
{
    // Default settings: the preview on, a new document to show.
    EditorFixture f(QByteArray(), {.browserEngine = true});
    auto* area = childOf<PreviewView>(&*f.w, "WebBrowser1");
    QVERIFY(area->isVisible());
    QVERIFY(!area->engineStarted());  // showing the window did not wait for the engine
    QTRY_VERIFY_WITH_TIMEOUT(area->engineStarted() && area->loadsFinished() == 1, kLoadTimeout);
    QVERIFY(!pageText(area->browser()).isNull());
}

void TestPreviewWindow::refreshKeepsTheScrollPosition()
{
    Editor e("[Setting]\r\n");
    QString page;
    for (int i = 0; i < 400; ++i)
        page += QStringLiteral("<p>line %1</p>\r\n").arg(i);
    e.w->session().buffer().SetText(page);
    auto* area = childOf<PreviewView>(&*e.w, "WebBrowser1");
    QTRY_COMPARE_WITH_TIMEOUT(pageText(e.view()).count(QStringLiteral("line")), 400, kLoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!area->loading(), kLoadTimeout);
    e.view()->page()->runJavaScript(QStringLiteral("window.scrollTo(0, 3000);"));
    QTRY_COMPARE_WITH_TIMEOUT(e.view()->page()->scrollPosition().y(), 3000.0, kLoadTimeout);

    // A key at the end of the page: the page is shown again where it was.
    auto* box = childOf<RichTextBox>(&*e.w, "RichTextBox1");
    box->setFocus();
    e.w->session().buffer().SetSelection(page.size(), 0);
    const int finished = area->loadsFinished();
    QTest::keyClicks(box, QStringLiteral("<p>end</p>"));
    QTRY_VERIFY_WITH_TIMEOUT(pageText(e.view()).endsWith(QStringLiteral("end")), kLoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!area->loading(), kLoadTimeout);
    QVERIFY(area->loadsFinished() > finished);
    QTRY_COMPARE_WITH_TIMEOUT(e.view()->page()->scrollPosition().y(), 3000.0, kLoadTimeout);
}

void TestPreviewWindow::largePageIsNotLoadedOnEveryChange()
{
    // A 20 MB page with the preview as a new user has it: a minute of typing
    // keeps the browser's processes under 1 GB, because the page is loaded
    // only when asked for.
    Editor e("[Setting]\r\n");
    auto* area = childOf<PreviewView>(&*e.w, "WebBrowser1");
    QTRY_VERIFY_WITH_TIMEOUT(area->engineStarted() && !area->loading(), kLoadTimeout);
    QByteArray big;
    const QByteArray line = "<p>The quick brown fox jumps over the lazy dog 0123456789</p>\r\n";
    big.reserve(20 << 20);
    while (big.size() < (20 << 20))
        big += line;
    e.app.put(QStringLiteral("site/big.html"), big);
    e.fakes.files.answer(e.app.file(QStringLiteral("site/big.html")));
    QVERIFY(e.w->runCommand(QStringLiteral("IDM_OPEN")));
    QTRY_COMPARE_WITH_TIMEOUT(e.w->session().buffer().length(), qsizetype(big.size()), kLoadTimeout);
    const int started = area->loadsStarted();
    auto* box = childOf<RichTextBox>(&*e.w, "RichTextBox1");
    box->setFocus();
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(box, Qt::Key_A);
        QTest::qWait(20);
    }
    e.w->session().preview().flush();
    QCOMPARE(area->notice(), QStringLiteral("ページが大きいため自動更新を停止しています。F9 で更新します。"));
    QCOMPARE(area->loadsStarted(), started);
    const qint64 helpers = childrenResidentBytes();
    QVERIFY2(helpers < (qint64(1) << 30), qPrintable(QString::number(helpers >> 20) + QStringLiteral(" MB")));
}

int main(int argc, char** argv)
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewWindow t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_previewwin.moc"
