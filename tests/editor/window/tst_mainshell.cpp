#include "editor/window/designbar.h"
#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/fselect.h"
#include "editor/session/menus.h"
#include "editor/window/mainfrm.h"
#include "editor/preview/ui/previewview.h"
#include "tests/testkit/tempappfolder.h"
#include "common/gui/units.h"
#include "tests/common/pictures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
struct Shell : EditorFixture {
    explicit Shell(const QByteArray& ini = "[Setting]\r\n")
        : EditorFixture(ini, {.size = QSize(1200, 800), .waitExposed = true})
    {
        if (!shown)
            qFatal("the window did not show");
    }
    int designWidth() { return childOf<DesignBar>(&*w, "DesignBar")->width(); }
};
}  // namespace

class TestMainShell : public QObject {
    Q_OBJECT
private slots:
    void arrangements_data();
    void arrangements();
    void viewMenuArrangesWorkArea();
    void tabArrangementShowsOnePage();
    void statusBarShowsLineAndColumn();
    void filePanelListsAndOpens();
    void folderChangeRemovesOldPreviewFile();
    void fontSetter();
    void linkBar_data();
    void linkBar();
    void toolbar1Dispatches();
    void everyButtonHasAPicture();
    void folderDialog();
    void contextMenuRunsTwins();
    void dropLoadsFirstFileAsOneChange();
};

namespace {
// A control's rectangle in the work area's coordinates.
QRect inWork(const Shell& s, const QWidget* w)
{
    return QRect(w->mapTo(s.w->centralWidget(), QPoint(0, 0)), w->size());
}
}  // namespace

void TestMainShell::arrangements_data()
{
    QTest::addColumn<bool>("designBar");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("divide");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("editVisible");
    QTest::addColumn<bool>("browserVisible");
    QTest::newRow("side by side") << true << true << 0 << 0 << true << true;
    QTest::newRow("side, no preview: full area") << true << false << 0 << 0 << true << false;
    QTest::newRow("side, no design bar") << false << true << 0 << 0 << true << true;
    QTest::newRow("above each other") << true << true << 1 << 0 << true << true;
    QTest::newRow("above, no preview") << true << false << 1 << 0 << true << false;
    QTest::newRow("tabs, source tab") << true << true << 2 << 0 << true << false;
    QTest::newRow("tabs, preview tab") << true << true << 2 << 1 << false << true;
    QTest::newRow("tabs, preview off") << true << false << 2 << 1 << false << false;
}

void TestMainShell::arrangements()
{
    QFETCH(bool, designBar);
    QFETCH(bool, preview);
    QFETCH(int, divide);
    QFETCH(int, tab);
    QFETCH(bool, editVisible);
    QFETCH(bool, browserVisible);
    Shell s(QStringLiteral("[Setting]\r\nDesignBar=%1\r\nPreview=%2\r\nAreaDivide=%3\r\n")
                .arg(int(designBar))
                .arg(int(preview))
                .arg(divide)
                .toLatin1());
    auto* tabs = childOf<QTabBar>(&*s.w, "SSTab1");
    if (tab == 1)  // the user clicks the preview tab
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), tab, 2000);
    auto* edit = childOf<RichTextBox>(&*s.w, "RichTextBox1");
    auto* area = childOf<PreviewView>(&*s.w, "WebBrowser1");
    QCOMPARE(edit->isVisible(), editVisible);
    QCOMPARE(area->isVisible(), browserVisible);
    QCOMPARE(tabs->isVisible(), divide == 2);
    QCOMPARE(childOf<DesignBar>(&*s.w, "DesignBar")->isVisible(), designBar);

    // The pages fill what the design bar and the tab strip leave.
    const QRect work = s.w->centralWidget()->rect();
    const int left = designBar ? s.designWidth() : 0;
    const int top = divide == 2 ? inWork(s, tabs).bottom() + 1 : 0;
    const QRect pages(left, top, work.width() - left, work.height() - top);
    const QRect e = inWork(s, edit), b = inWork(s, area);
    const int handle = childOf<QSplitter>(&*s.w, "EditPreviewSplitter")->handleWidth();
    if (editVisible && browserVisible && divide == 0) {  // two equal halves side by side
        QCOMPARE(e.topLeft(), pages.topLeft());
        QCOMPARE(b.right(), pages.right());
        QCOMPARE(e.height(), pages.height());
        QCOMPARE(b.height(), pages.height());
        QVERIFY(qAbs(e.width() - b.width()) <= 1);
        QCOMPARE(b.left(), e.right() + 1 + handle);
    } else if (editVisible && browserVisible) {  // one above the other
        QCOMPARE(e.topLeft(), pages.topLeft());
        QCOMPARE(b.bottom(), pages.bottom());
        QCOMPARE(e.width(), pages.width());
        QCOMPARE(b.width(), pages.width());
        QVERIFY(qAbs(e.height() - b.height()) <= 1);
        QCOMPARE(b.top(), e.bottom() + 1 + handle);
    } else if (editVisible) {
        QCOMPARE(e, pages);
    } else if (browserVisible) {
        QCOMPARE(b, pages);
    }
}

void TestMainShell::viewMenuArrangesWorkArea()
{
    Shell s("[Setting]\r\nPreview=0\r\nAreaDivide=0\r\n");
    QWidget* area = childOf<PreviewView>(&*s.w, "WebBrowser1");
    auto* edit = childOf<RichTextBox>(&*s.w, "RichTextBox1");
    const int workWidth = s.w->centralWidget()->width();
    QCOMPARE(inWork(s, edit).x(), s.designWidth());
    QCOMPARE(edit->width(), workWidth - s.designWidth());
    QVERIFY(!area->isVisible());
    QVERIFY(!s.act("IDM_PREVIEWSHOW")->isChecked());
    QVERIFY(s.act("IDM_VIEW_SIDE")->isChecked());

    s.act("IDM_PREVIEWSHOW")->trigger();  // the preview on: two equal halves
    QVERIFY(area->isVisible());
    QVERIFY(s.act("IDM_PREVIEWSHOW")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(edit->width() - area->width()) <= 1, 2000);
    QVERIFY(inWork(s, area).x() > inWork(s, edit).right());

    // A divider the user dragged stays while the arrangement does.
    auto* split = childOf<QSplitter>(&*s.w, "EditPreviewSplitter");
    // (What a drag of the handle does; offscreen windows take no real drag.)
    split->setSizes({200, split->width() - 200 - split->handleWidth()});
    emit split->splitterMoved(200, 1);
    QVERIFY(qAbs(edit->width() - 200) <= 1);
    s.w->resize(1300, 800);
    QTRY_VERIFY_WITH_TIMEOUT(edit->width() > 200, 2000);
    QVERIFY(edit->width() < area->width());

    s.act("IDM_VIEW_VERTICAL")->trigger();
    QVERIFY(s.act("IDM_VIEW_VERTICAL")->isChecked());
    QVERIFY(!s.act("IDM_VIEW_SIDE")->isChecked());
    QVERIFY(inWork(s, area).y() > inWork(s, edit).bottom());
    QVERIFY(qAbs(edit->height() - area->height()) <= 1);
    QCOMPARE(s.w->session().settings().AreaDivide, 1);

    s.act("IDM_VIEW_DESIGN")->trigger();  // the design bar off
    QVERIFY(!childOf<DesignBar>(&*s.w, "DesignBar")->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(inWork(s, edit).x(), 0, 2000);
    QVERIFY(!s.act("IDM_VIEW_DESIGN")->isChecked());
}

void TestMainShell::tabArrangementShowsOnePage()
{
    Shell s("[Setting]\r\nPreview=1\r\n");
    s.act("IDM_VIEW_TABCHANGE")->trigger();
    auto* tabs = childOf<QTabBar>(&*s.w, "SSTab1");
    QVERIFY(tabs->isVisible());
    QCOMPARE(tabs->tabText(0), QStringLiteral("ソース"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("プレビュー"));
    QVERIFY(childOf<RichTextBox>(&*s.w, "RichTextBox1")->isVisible());
    QVERIFY(!childOf<PreviewView>(&*s.w, "WebBrowser1")->isVisible());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QVERIFY(!childOf<RichTextBox>(&*s.w, "RichTextBox1")->isVisible());
    QVERIFY(childOf<PreviewView>(&*s.w, "WebBrowser1")->isVisible());
    s.act("IDM_VIEW_SIDE")->trigger();
    QVERIFY(!tabs->isVisible());
    QVERIFY(childOf<RichTextBox>(&*s.w, "RichTextBox1")->isVisible());
}

void TestMainShell::statusBarShowsLineAndColumn()
{
    Shell s;
    s.w->session().buffer().SetText(QStringLiteral("abc\r\nあいう\r\n"));
    QCOMPARE(s.w->statusText(3), QStringLiteral("1行 1桁"));
    s.w->session().buffer().SetSelection(8, 0);  // behind あいう
    QCOMPARE(s.w->statusText(3), QStringLiteral("2行 4桁"));
    s.w->session().buffer().SetSelection(2, 4);  // a selection: its start counts
    QCOMPARE(s.w->statusText(3), QStringLiteral("1行 3桁"));
    QCOMPARE(s.w->statusText(2), QStringLiteral("カレントディレクトリ:") + s.w->session().document().panelFolder());
    QCOMPARE(s.w->statusText(1), QStringLiteral("Tagwright"));
}

void TestMainShell::filePanelListsAndOpens()
{
    Shell s;
    s.app.put(QStringLiteral("site/a.html"), "<p>A</p>");
    s.app.put(QStringLiteral("site/b.TXT"), "B");
    s.app.put(QStringLiteral("site/c.png"), "C");
    s.w->session().document().setPanelFolder(s.app.file(QStringLiteral("site")));
    DesignBar* bar = childOf<DesignBar>(&*s.w, "DesignBar");
    QCOMPARE(childOf<QLineEdit>(bar, "Text5")->text(), QStringLiteral("*.html;*.htm;*.txt;*.c;*.cpp;*.shtm;*.shtml"));
    QCOMPARE(bar->listedFiles(), (QStringList{"a.html", "b.TXT"}));

    childOf<QLineEdit>(bar, "Text5")->setText(QStringLiteral("*.png"));
    QCOMPARE(bar->listedFiles().size(), 2);  // not applied before Enter
    QTest::keyClick(childOf<QLineEdit>(bar, "Text5"), Qt::Key_Return);
    QCOMPARE(bar->listedFiles(), QStringList{"c.png"});
    childOf<QLineEdit>(bar, "Text5")->setText(QStringLiteral("*.html"));
    childOf<QPushButton>(bar, "Command4")->click();
    QCOMPARE(bar->listedFiles(), QStringList{"a.html"});

    s.w->session().buffer().SetText(QStringLiteral("modified"));
    QListWidgetItem* item = childOf<QListWidget>(bar, "File1")->item(0);
    s.fakes.messages.answer(MsgResult::No);  // do not save the modified text
    QTest::mouseClick(childOf<QListWidget>(bar, "File1")->viewport(), Qt::LeftButton, {},
                      childOf<QListWidget>(bar, "File1")->visualItemRect(item).center());
    QCOMPARE(s.fakes.messages.shown.size(), 1);
    QCOMPARE(s.fakes.messages.shown[0].text, QStringLiteral("内容が変更されていますが、保存しますか？"));
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<p>A</p>"));
    QCOMPARE(s.w->windowTitle(), QStringLiteral("Tagwright - a.html"));
    QVERIFY(!s.w->session().document().isModified());
}

void TestMainShell::folderChangeRemovesOldPreviewFile()
{
    Shell s;
    s.app.put(QStringLiteral("one/quillettmp.html"), "tmp");
    s.app.put(QStringLiteral("two/x.html"), "x");
    s.w->session().document().setPanelFolder(s.app.file(QStringLiteral("one")));
    s.w->session().document().setPreviousFolder(s.app.file(QStringLiteral("one")));
    s.w->session().document().setPanelFolder(s.app.file(QStringLiteral("two")));
    QVERIFY(!s.app.exists(QStringLiteral("one/quillettmp.html")));
    QCOMPARE(s.w->statusText(2), QStringLiteral("カレントディレクトリ:") + s.app.file(QStringLiteral("two")));
    QCOMPARE(childOf<DesignBar>(&*s.w, "DesignBar")->listedFiles(), QStringList{"x.html"});
    QCOMPARE(s.w->session().document().WorkingFolder(), s.app.file(QStringLiteral("two")));
}

void TestMainShell::fontSetter()
{
    Shell s;
    DesignBar* bar = childOf<DesignBar>(&*s.w, "DesignBar");
    s.w->session().buffer().SetText(QStringLiteral("abc"));
    s.w->session().buffer().SetSelection(0, 3);
    childOf<QPushButton>(bar, "Command2")->click();  // neither size nor colour
    QCOMPARE(s.fakes.messages.shown.size(), 1);
    QCOMPARE(s.fakes.messages.shown[0].text, QStringLiteral("フォントのサイズか色のどちらかは選択してください"));
    QCOMPARE(s.fakes.messages.shown[0].icon, MsgIcon::Warning);
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("abc"));

    childOf<QComboBox>(bar, "FColor")->setCurrentText(QStringLiteral("red"));
    childOf<QPushButton>(bar, "Command2")->click();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<font color=\"red\">abc</font>"));

    s.fakes.colours.answer(0x0000FF);
    childOf<QPushButton>(bar, "Command5")->click();
    QCOMPARE(childOf<QComboBox>(bar, "FColor")->currentText(), QStringLiteral("#FF0000"));
    childOf<QComboBox>(bar, "FSize")->setCurrentText(QStringLiteral("3"));
    s.w->session().buffer().SetSelection(0, 0);
    childOf<QPushButton>(bar, "Command2")->click();
    QVERIFY(s.w->session().buffer().text().startsWith(QStringLiteral("<font size=\"3\" color=\"#FF0000\"></font>")));
}

void TestMainShell::linkBar_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("expected");  // "@" stands for the full path
    QTest::newRow("relative paths") << QByteArray("[Setting]\r\nSoutaiPath=1\r\n") << "./img/x.gif";
    QTest::newRow("full paths") << QByteArray("[Setting]\r\nSoutaiPath=0\r\n") << "@";
}

void TestMainShell::linkBar()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, expected);
    Shell s(ini);
    QLineEdit* box = childOf<QLineEdit>(&*s.w, "LinkFileNameTxt");
    QCOMPARE(box->text(), QStringLiteral("test.html"));
    s.app.put(QStringLiteral("site/img/x.gif"), "GIF");
    s.w->session().document().setPanelFolder(s.app.file(QStringLiteral("site")));
    const QString full = s.app.file(QStringLiteral("site/img/x.gif"));
    s.fakes.files.answer(full);
    s.w->findChild<QPushButton*>(QStringLiteral("FileSelectBtn"))->click();
    QCOMPARE(s.fakes.files.requests.last().title, QStringLiteral("ファイルを選択"));
    QCOMPARE(box->text(), expected == QLatin1String("@") ? full : expected);
    s.fakes.files.answer(QString());
    s.w->findChild<QPushButton*>(QStringLiteral("FileSelectBtn"))->click();  // cancelled
    QCOMPARE(box->text(), expected == QLatin1String("@") ? full : expected);

    // A wide window keeps the box 5100 twips wide.
    s.w->resize(1400, 800);
    s.w->ApplyLayout();
    QCOMPARE(box->width(), twipsToPixels(5100, s.w.get()));
}

void TestMainShell::toolbar1Dispatches()
{
    Shell s;
    s.w->session().buffer().SetText(QStringLiteral("x"));
    s.w->session().buffer().SetSelection(0, 1);
    s.w->findChild<QAction*>(QStringLiteral("Toolbar1_Bold"))->trigger();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<B>x</B>"));
    s.w->findChild<QAction*>(QStringLiteral("Toolbar1_tundo"))->trigger();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("x"));
    s.w->findChild<QAction*>(QStringLiteral("Toolbar1_tredo"))->trigger();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<B>x</B>"));
}

void TestMainShell::everyButtonHasAPicture()
{
    withoutIconTheme();
    Shell s;
    // Every button of every tool bar (Toolbar1..3, the link bar) and the
    // preview's buttons: a picture, and a name for screen readers.
    QList<QAbstractButton*> buttons;
    for (QToolBar* bar : s.w->findChildren<QToolBar*>())
        for (QAction* a : bar->actions())
            if (auto* b = qobject_cast<QAbstractButton*>(bar->widgetForAction(a)))
                buttons << b;
    for (const char* name : {"GoBackBtn", "GofowardBtn", "GoRefreshBtn"})
        buttons << childOf<QPushButton>(&*s.w, name);
    int fromActions = 0;
    for (QAbstractButton* b : buttons) {
        if (b->objectName() == QLatin1String("FileSelectBtn"))
            continue;  // "..." is its caption
        auto* tool = qobject_cast<QToolButton*>(b);
        QAction* a = tool ? tool->defaultAction() : nullptr;
        const QString name = a ? a->objectName() : b->objectName();
        QVERIFY2(drawsPicture(a ? a->icon() : b->icon()), qPrintable(name + QStringLiteral(": no picture")));
        QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(name + QStringLiteral(": no accessible name")));
        if (a) {
            ++fromActions;
            const bool beside = tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
            QCOMPARE(beside, name.startsWith(QLatin1String("Toolbar3_")));
        }
    }
    int defined = 0;
    for (const ToolBarDef& bar : toolBars())
        defined += int(bar.buttons.size());
    QCOMPARE(fromActions, defined);
}

void TestMainShell::folderDialog()
{
    TempAppFolder app;
    app.put(QStringLiteral("a/b/file.txt"), "x");
    FakeMessageBoxes messages;
    FSelect dlg(app.file(QStringLiteral("a/b")), &messages);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("フォルダの選択"));
    QCOMPARE(childOf<QComboBox>(&dlg, "Drive1")->itemText(0), QStringLiteral("/"));
    QCOMPARE(dlg.selectedFolder(), app.file(QStringLiteral("a/b")));
    QVERIFY(!dlg.chooseDrive(QStringLiteral("/no/such/volume")));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("エラー"));
    QVERIFY(messages.shown[0].text.startsWith(QStringLiteral("ErrorNumber:68\r")));
    QCOMPARE(dlg.selectedFolder(), app.file(QStringLiteral("a/b")));
    QVERIFY(dlg.chooseDrive(QStringLiteral("/")));
}

void TestMainShell::contextMenuRunsTwins()
{
    Shell s("[Setting]\r\nBrowser2=/opt/o\r\nBrowser2Name=Opera\r\n");
    QMenu* menu = childOf<QMenu>(&*s.w, "IDM_CONTEXT");
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("IDM_CONTEXT"));
    QStringList top;
    for (QAction* a : menu->actions())
        top << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(top.mid(0, 6), (QStringList{"切り取り(&X)", "コピー(&C)", "貼り付け(&P)", "-", "すべてを選択(&A)", "-"}));
    QVERIFY(top.contains(QStringLiteral("フォント")));
    QVERIFY(top.contains(QStringLiteral("位置揃え(&)")));

    s.w->session().buffer().SetText(QStringLiteral("abc"));
    s.w->session().buffer().SetSelection(0, 3);
    s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_FONT_B"))->trigger();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<B>abc</B>"));
    s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_FONT_H_H6"))->trigger();
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<B>abc</B><H6></H6>"));
    s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_ALIGN_RIGHT"))->trigger();
    QVERIFY(s.w->session().buffer().text().endsWith(QStringLiteral("<P align=\"right\"></P>")));

    // Browser entries follow the settings in the context menu too.
    QVERIFY(s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER2"))->isVisible());
    QCOMPARE(s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER2"))->text(), QStringLiteral("Opera"));
    QVERIFY(!s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_PREVIEW_BROWSER1"))->isVisible());
    QVERIFY(s.w->findChild<QAction*>(QStringLiteral("IDM_CONTEXT_PREVIEW_S1"))->isVisible());
}

void TestMainShell::dropLoadsFirstFileAsOneChange()
{
    Shell s;
    s.app.put(QStringLiteral("drop/one.html"), "<p>one</p>");
    s.app.put(QStringLiteral("drop/two.html"), "<p>two</p>");
    s.w->session().buffer().SetText(QStringLiteral("typed, not saved"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(s.app.file(QStringLiteral("drop/one.html"))),
                  QUrl::fromLocalFile(s.app.file(QStringLiteral("drop/two.html")))});
    QWidget* target = childOf<RichTextBox>(&*s.w, "RichTextBox1")->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("<p>one</p>"));
    QCOMPARE(s.w->windowTitle(), QStringLiteral("Tagwright - ") + s.app.file(QStringLiteral("drop/one.html")));
    QVERIFY(s.fakes.messages.shown.isEmpty());
    s.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(s.w->session().buffer().text(), QStringLiteral("typed, not saved"));

    // Dragged text is not taken.
    QMimeData text;
    text.setText(QStringLiteral("dragged"));
    QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &textEnter);
    QVERIFY(!textEnter.isAccepted());
}

QTEST_MAIN(TestMainShell)
#include "tst_mainshell.moc"
