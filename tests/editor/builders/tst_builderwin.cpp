// The builders from their commands on the real main window: each dialog
// opens with its initial values, 挿入 puts its text at the selection as one
// undo step, キャンセル changes nothing.

#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"
#include "common/gui/updown.h"
#include "editor/window/mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor : EditorFixture {
    explicit Editor(const QByteArray& ini = "[Setting]\r\nPreview=0\r\n") : EditorFixture(ini) {}
    // "abc" selected in the middle of a saved document.
    void selectB()
    {
        buffer().SetText(QStringLiteral("<p>abc</p>"));
        buffer().SetSelection(4, 1);
    }
    // Runs an action (menu entry, twin or button), scripting the dialog it opens.
    bool withDialog(const QString& actionId, const std::function<void(QWidget*)>& script)
    {
        bool opened = false;
        // Gone with this call: a command that opens nothing leaves no script behind.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [script, &opened] {
            if (QWidget* d = QApplication::activeModalWidget()) {
                opened = true;
                script(d);
            }
        });
        timer.start(0);
        QAction* a = w->action(actionId);
        if (!a)
            qFatal("no action %s", qPrintable(actionId));
        a->trigger();
        return opened;
    }
};

void click(QWidget* d, const char* button)
{
    childOf<QPushButton>(d, button)->click();
}

QStringList rowNames(QWidget* d)
{
    QStringList names;
    auto* list = childOf<QTreeWidget>(d, "ListView1");
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(0);
    return names;
}
}  // namespace

class TestBuilderWin : public QObject {
    Q_OBJECT
private slots:
    void opensWithInitialValuesAndCancels_data();
    void opensWithInitialValuesAndCancels();
    void listInsertsAtSelectionAsOneUndoStep();
    void refusesWhatItCannotBuildAndStaysOpen_data();
    void refusesWhatItCannotBuildAndStaysOpen();
    void longListIsOneStep();
    void calendarPagesAcrossYears();
    void gradationTakesPickedColour();
    void skeletonBecomesNewUnchangedDocument();
    void hugeTableIsOneStep();
    void calendarPadsYearAndClosesLastRowOnItsLine();
    void marqueeWrapsSelectionExactly();
    void linkDialogTabsAndPickedFile();
    void linkBarButtons_data();
    void linkBarButtons();
    void scriptLibraryReadAfreshDialogKept();
};

void TestBuilderWin::opensWithInitialValuesAndCancels_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("list") << "IDM_LIST"
                          << "ListInsertFrm"
                          << "リストの挿入"
                          << "JavaExitBtn";
    QTest::newRow("list twin") << "IDM_CONTEXT_INSERT_LIST"
                               << "ListInsertFrm"
                               << "リストの挿入"
                               << "JavaExitBtn";
    QTest::newRow("list button") << "Toolbar1_list"
                                 << "ListInsertFrm"
                                 << "リストの挿入"
                                 << "JavaExitBtn";
    QTest::newRow("calendar") << "IDM_INSERT_CALENDAR"
                              << "CalendarFrm"
                              << "カレンダーを挿入"
                              << "CancelBtn";
    QTest::newRow("calendar twin") << "IDM_CONTEXT_INSERT_CALENDER"
                                   << "CalendarFrm"
                                   << "カレンダーを挿入"
                                   << "CancelBtn";
    QTest::newRow("gradation") << "IDM_GRADATION"
                               << "GradationInsFrm"
                               << "グラデーション文字の作成"
                               << "CancelBtn";
    QTest::newRow("gradation twin") << "IDM_CONTEXT_INSERT_GRADATION"
                                    << "GradationInsFrm"
                                    << "グラデーション文字の作成"
                                    << "CancelBtn";
    QTest::newRow("skeleton") << "IDM_HTMLNEW"
                              << "HtmlSet"
                              << "ＨＴＭＬの骨組み作成"
                              << "Command2";
    for (const char* id : {"IDM_TABLE", "IDM_CONTEXT_INSERT_TABLE", "Toolbar1_table"})
        QTest::newRow(id) << id << "TableFrm"
                          << "テーブルの挿入"
                          << "Command1";
    for (const char* id : {"IDM_MARQUEE", "IDM_CONTEXT_INSERT_MARQUEE"})
        QTest::newRow(id) << id << "MarqueeFrm"
                          << "マーキーの挿入"
                          << "CancelBtn";
    for (const char* id : {"IDM_INSERT_LINK", "IDM_CONTEXT_INSERT_LINK", "Toolbar1_link"})
        QTest::newRow(id) << id << "LinkInsertFrm"
                          << "リンクの挿入"
                          << "JavaExitBtn";
    for (const char* id : {"IDM_JAVA", "IDM_CONTEXT_INSERT_JS", "Toolbar1_js"})
        QTest::newRow(id) << id << "JavaScriptFrm"
                          << "JavaScriptの挿入"
                          << "JavaExitBtn";
}

void TestBuilderWin::opensWithInitialValuesAndCancels()
{
    QFETCH(QString, action);
    QFETCH(QString, dialog);
    QFETCH(QString, caption);
    QFETCH(QString, cancel);
    Editor e;
    const QString before = e.buffer().text();
    QString seen;
    QStringList initial;
    QVERIFY(e.withDialog(action, [&](QWidget* d) {
        seen = d->objectName() + QLatin1Char(' ') + d->windowTitle();
        if (dialog == QLatin1String("ListInsertFrm")) {
            initial << childOf<QComboBox>(d, "ListKindCmb")->currentText()
                    << childOf<QLineEdit>(d, "ListCntTxt")->text() << childOf<QLineEdit>(d, "StartNumTxt")->text()
                    << QString::number(childOf<QLineEdit>(d, "StartNumTxt")->isEnabled())
                    << QString::number(childOf<QLineEdit>(d, "PictureTxt")->isVisible());
        } else if (dialog == QLatin1String("CalendarFrm")) {
            initial << childOf<QLabel>(d, "lblMonth")->text() << childOf<QLineEdit>(d, "TableBoarderTxt")->text();
        } else if (dialog == QLatin1String("GradationInsFrm")) {
            initial << childOf<QLineEdit>(d, "TextTxt")->text() << childOf<QLabel>(d, "RLbl")->text()
                    << childOf<QLabel>(d, "NGLbl")->text() << childOf<QLabel>(d, "Blbl")->text()
                    << QString::number(childOf<QScrollBar>(d, "StartFntScr")->value())
                    << QString::number(childOf<QCheckBox>(d, "FontSizeChk")->isChecked());
        } else if (dialog == QLatin1String("TableFrm")) {
            for (const char* n : {"Text2", "Text3", "Text1", "Text4"})
                initial << childOf<QLineEdit>(d, n)->text();
            for (const char* n : {"WidthFormatCmb", "GridPace", "GridBackColor"})
                initial << childOf<QComboBox>(d, n)->currentText();
            initial << QString::number(childOf<QComboBox>(d, "GridBackColor")->count());
        } else if (dialog == QLatin1String("MarqueeFrm")) {
            for (const char* n : {"MarqueeTxt", "HeightTxt", "WidthTxt", "ScrollWidthTxt"})
                initial << childOf<QLineEdit>(d, n)->text();
            for (const char* n : {"ColorCmb", "HeightFormatCmb", "MarqueeMoveCmb", "MarqueeScrollCmb"})
                initial << childOf<QComboBox>(d, n)->currentText();
            initial << QString::number(childOf<QCheckBox>(d, "HeightChk")->isChecked())
                    << QString::number(childOf<QLineEdit>(d, "HeightTxt")->isEnabled());
        } else if (dialog == QLatin1String("LinkInsertFrm")) {
            initial << QString::number(childOf<QTabWidget>(d, "SSTab1")->currentIndex())
                    << childOf<QLineEdit>(d, "FileLinkTxt")->text()
                    << childOf<QComboBox>(d, "FileLinkTargetTxt")->currentText()
                    << childOf<QLineEdit>(d, "AtesakiTxt")->text()
                    << childOf<QComboBox>(d, "LabelTargetCmb")->currentText()
                    << QString::number(childOf<QComboBox>(d, "LabelTargetCmb")->count());
        } else if (dialog == QLatin1String("JavaScriptFrm")) {
            initial << rowNames(d);
        } else {
            initial << childOf<QLineEdit>(d, "TitleTxt")->text() << childOf<QComboBox>(d, "BgColorCmb")->currentText()
                    << QString::number(childOf<QComboBox>(d, "PointColorCmb")->count())
                    << QString::number(childOf<QRadioButton>(d, "FrameKindOpt_0")->isChecked())
                    << QString::number(childOf<QCheckBox>(d, "FrameChk")->isChecked());
        }
        childOf<QPushButton>(d, qPrintable(cancel))->click();
    }));
    QCOMPARE(seen, dialog + QLatin1Char(' ') + caption);
    const QHash<QString, QStringList> expected = {
        {QStringLiteral("ListInsertFrm"), {"指定なし(・)", "1", "1", "0", "0"}},
        {QStringLiteral("CalendarFrm"), {"December 2026", "0"}},
        {QStringLiteral("GradationInsFrm"), {"グラデーション文字のサンプル", "255", "255", "0", "5", "0"}},
        {QStringLiteral("HtmlSet"), {"タイトル", "なし", "18", "1", "0"}},
        {QStringLiteral("TableFrm"), {"2", "2", "", "1", "パーセント", "left", "なし", "18"}},
        {QStringLiteral("MarqueeFrm"),
         {"", "100", "100", "6", "なし", "パーセント", "スクロール", "左から右", "0", "0"}},
        {QStringLiteral("LinkInsertFrm"), {"0", "test.html", "通常", "", "通常", "5"}},
        {QStringLiteral("JavaScriptFrm"), {}},  // no javascript.csv: an empty list, no message
    };
    QCOMPARE(initial, expected.value(dialog));
    QCOMPARE(e.buffer().text(), before);
    QVERIFY(!e.w->session().document().isModified());
}

void TestBuilderWin::listInsertsAtSelectionAsOneUndoStep()
{
    Editor e;
    e.selectB();
    QVERIFY(e.withDialog(QStringLiteral("IDM_LIST"), [](QWidget* d) {
        auto* kind = childOf<QComboBox>(d, "ListKindCmb");
        kind->setCurrentIndex(kind->findText(QStringLiteral("1,2,3,4,5")));
        QVERIFY(childOf<QLineEdit>(d, "StartNumTxt")->isEnabled());
        childOf<QLineEdit>(d, "ListCntTxt")->setText(QStringLiteral("2"));
        childOf<QLineEdit>(d, "StartNumTxt")->setText(QStringLiteral("5"));
        click(d, "InsertBtn");
    }));
    const QString list = QStringLiteral("<OL type=\"1\" start=\"5\">\r\n <LI></LI>\r\n <LI></LI>\r\n</OL>");
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>a") + list + QStringLiteral("c</p>"));
    QCOMPARE(e.buffer().selectionStart(), 4 + list.size());
    QCOMPARE(e.buffer().selectionLength(), 0);
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));

    // The picture kind shows its row; the picked file comes relative to the panel's folder.
    e.fakes.files.answer(e.app.file(QStringLiteral("img/dot.gif")));
    QVERIFY(e.withDialog(QStringLiteral("IDM_LIST"), [](QWidget* d) {
        auto* kind = childOf<QComboBox>(d, "ListKindCmb");
        kind->setCurrentIndex(kind->findText(QStringLiteral("画像")));
        QVERIFY(childOf<QLineEdit>(d, "PictureTxt")->isVisible());
        QVERIFY(!childOf<QLineEdit>(d, "StartNumTxt")->isEnabled());
        click(d, "Command1");
        click(d, "InsertBtn");
    }));
    QCOMPARE(e.fakes.files.requests.last().title, QStringLiteral("ファイルを開く"));
    QCOMPARE(e.fakes.files.requests.last().filter,
             QStringLiteral("画像ファイル (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png"));
    QVERIFY(e.buffer().text().contains(QStringLiteral("<UL style=\"list-style-image:url(./img/dot.gif);\">")));
}

void TestBuilderWin::refusesWhatItCannotBuildAndStaysOpen_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("typed");  // control, text, control, text, ...
    QTest::addColumn<QString>("message");
    const QString tooLarge =
        QStringLiteral("表が大きすぎます。縦（行）、横（列）と、縦×横のセルの数は 1000000 以下にしてください。");
    QTest::newRow("list count") << "IDM_CONTEXT_INSERT_LIST" << QStringList{"ListCntTxt", "x"}
                                << "項目数には数値を入力してください。";
    QTest::newRow("unknown list kind") << "IDM_LIST" << QStringList{"ListKindCmb", "star"}
                                       << "マークには一覧にある種類を選んでください。";
    // Once a row of a billion cells, built before the rows were looked at.
    QTest::newRow("no rows, a billion cells")
        << "IDM_TABLE" << QStringList{"Text2", "0", "Text3", "1000000000"} << tooLarge;
    QTest::newRow("-5 rows, 1e18 cells") << "IDM_TABLE" << QStringList{"Text2", "-5", "Text3", "1e18"} << tooLarge;
}

void TestBuilderWin::refusesWhatItCannotBuildAndStaysOpen()
{
    QFETCH(QString, action);
    QFETCH(QStringList, typed);
    QFETCH(QString, message);
    Editor e;
    e.selectB();
    bool stillOpen = false;
    QVERIFY(e.withDialog(action, [&](QWidget* d) {
        for (qsizetype i = 0; i < typed.size(); i += 2) {
            QWidget* w = childOf<QWidget>(d, qPrintable(typed[i]));
            auto* edit =
                qobject_cast<QComboBox*>(w) ? static_cast<QComboBox*>(w)->lineEdit() : static_cast<QLineEdit*>(w);
            edit->selectAll();
            QTest::keyClicks(edit, typed[i + 1]);
        }
        const bool list = action.contains(QStringLiteral("LIST"));
        QTest::mouseClick(childOf<QPushButton>(d, list ? "InsertBtn" : "Command3"), Qt::LeftButton);
        stillOpen = d->isVisible();
        click(d, list ? "JavaExitBtn" : "Command1");
    }));
    QVERIFY(stillOpen);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, message);
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::longListIsOneStep()
{
    Editor e;
    e.selectB();
    QVERIFY(e.withDialog(QStringLiteral("IDM_LIST"), [](QWidget* d) {
        childOf<QLineEdit>(d, "ListCntTxt")->setText(QStringLiteral("10000"));
        click(d, "InsertBtn");
    }));
    QCOMPARE(e.buffer().text().count(QStringLiteral(" <LI></LI>\r\n")), 10000);
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::calendarPagesAcrossYears()
{
    Editor e;  // the fake clock says 8 December 2026
    e.selectB();
    QStringList months;
    QVERIFY(e.withDialog(QStringLiteral("IDM_INSERT_CALENDAR"), [&](QWidget* d) {
        auto* label = childOf<QLabel>(d, "lblMonth");
        click(d, "NextBtn");
        months << label->text();
        for (int i = 0; i < 14; ++i)
            click(d, "BackBtn");
        months << label->text();
        childOf<QLineEdit>(d, "TableBoarderTxt")->setText(QStringLiteral("2"));
        click(d, "InsertBtn");
    }));
    QCOMPARE(months, (QStringList{"January 2027", "November 2025"}));
    const QString text = e.buffer().text();
    QVERIFY(text.startsWith(QStringLiteral("<p>a<!-- ■ここからカレンダー■ -->\r\n<table border=\"2\">")));
    QVERIFY(text.contains(QStringLiteral("<td colspan=\"4\">2025 年</td>\r\n<td colspan=\"3\">11 月</td>")));
    // November 2025 starts on a Saturday.
    QVERIFY(text.contains(QStringLiteral("<td></td><td></td><td></td><td></td><td></td><td></td><td>1</td>\r\n")));
    QVERIFY(text.endsWith(QStringLiteral("<td>30</td></tr>\r\n</table>\r\n<!-- ■ここまでカレンダー■ -->c</p>")));
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::gradationTakesPickedColour()
{
    Editor e;
    e.selectB();
    e.fakes.colours.answer(0x123456);  // red 0x56, green 0x34, blue 0x12
    e.fakes.colours.answer(std::nullopt);
    QStringList numbers;
    QVERIFY(e.withDialog(QStringLiteral("IDM_GRADATION"), [&](QWidget* d) {
        click(d, "StartColorBtn");
        click(d, "EndColorBtn");  // cancelled: the end colour stays
        for (const char* n : {"RLbl", "Glbl", "Blbl", "NRLbl", "NGLbl", "NBLbl"})
            numbers << childOf<QLabel>(d, n)->text();
        childOf<QLineEdit>(d, "TextTxt")->setText(QStringLiteral("xy"));
        childOf<QCheckBox>(d, "BRChk")->setChecked(true);
        click(d, "InsertBtn");
    }));
    QCOMPARE(numbers, (QStringList{"86", "52", "18", "0", "255", "0"}));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>a<font color=\"#563412\">x</font>\r\n"
                                               "<font color=\"#00FF00\">y</font>\r\nc</p>"));
}

void TestBuilderWin::skeletonBecomesNewUnchangedDocument()
{
    Editor e;
    e.app.put(QStringLiteral("site/index.html"), "<p>old</p>");
    e.fakes.files.answer(e.app.file(QStringLiteral("site/index.html")));
    e.w->runCommand(QStringLiteral("IDM_OPEN"));
    e.buffer().ReplaceSelection(QStringLiteral("edit"));
    // Cancelled at the question about the changes: no dialog, nothing lost.
    e.fakes.messages.answer(MsgResult::Cancel);
    QVERIFY(!e.withDialog(QStringLiteral("IDM_HTMLNEW"), [](QWidget* d) { click(d, "Command1"); }));
    QCOMPARE(e.buffer().text(), QStringLiteral("edit<p>old</p>"));
    e.fakes.messages.answer(MsgResult::No);  // the changes may go
    e.fakes.colours.answer(0x0000FF);
    QVERIFY(e.withDialog(QStringLiteral("IDM_HTMLNEW"), [](QWidget* d) {
        childOf<QLineEdit>(d, "TitleTxt")->setText(QStringLiteral("私のページ"));
        click(d, "Command3");  // a background colour: ignored by a frame page
        childOf<QCheckBox>(d, "FrameChk")->setChecked(true);
        childOf<QRadioButton>(d, "FrameKindOpt_2")->setChecked(true);
        click(d, "Command1");
    }));
    QCOMPARE(e.fakes.messages.shown.size(), 2);
    QCOMPARE(e.fakes.messages.shown[0].text, QStringLiteral("内容が変更されていますが、保存しますか？"));
    const QString text = e.buffer().text();
    QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n")));
    QVERIFY(text.contains(QStringLiteral("<TITLE>私のページ</TITLE>\r\n</head>\r\n<FRAMESET cols=\"33%,*,33%\">\r\n")));
    QVERIFY(!text.contains(QStringLiteral("bgcolor")));
    QVERIFY(text.endsWith(QStringLiteral(" </NOFRAMES>\r\n</FRAMESET>\r\n</HTML>")));
    QVERIFY(!e.w->session().document().isModified());
    QVERIFY(e.w->session().preview().writes() > 0);
    // A new document: saving asks for a name and leaves the opened file alone.
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - 新規文書"));
    e.fakes.files.answer(QString());
    e.w->runCommand(QStringLiteral("IDM_OVERSAVE"));
    QVERIFY(e.fakes.files.requests.last().save);
    QCOMPARE(e.app.read(QStringLiteral("site/index.html")), QByteArray("<p>old</p>"));
}

void TestBuilderWin::hugeTableIsOneStep()
{
    Editor e;
    e.selectB();
    e.fakes.colours.answer(0x0000FF);
    bool stillOpen = false;
    QVERIFY(e.withDialog(QStringLiteral("Toolbar1_table"), [&](QWidget* d) {
        childOf<QLineEdit>(d, "Text2")->setText(QStringLiteral("１万"));
        click(d, "Command3");
        stillOpen = d->isVisible();
        childOf<QLineEdit>(d, "Text2")->setText(QStringLiteral("10000"));
        childOf<QLineEdit>(d, "Text3")->setText(QStringLiteral("100"));
        childOf<QComboBox>(d, "GridPace")->setCurrentText(QStringLiteral("center"));
        click(d, "TableColorBtn");
        click(d, "Command3");
    }));
    QVERIFY(stillOpen);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, QStringLiteral("縦（行）には数値を入力してください。"));
    const QString text = e.buffer().text();
    QVERIFY(
        text.startsWith(QStringLiteral("<p>a<table border=\"1\" align=\"center\" bgcolor=\"#FF0000\">\r\n <tr>\r\n")));
    QVERIFY(text.endsWith(QStringLiteral(" </tr>\r\n</table>\r\nc</p>")));
    QCOMPARE(text.count(QStringLiteral("  <td></td>\r\n")), 1000000);
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::calendarPadsYearAndClosesLastRowOnItsLine()
{
    Editor e;
    e.fakes.clock.time = QDateTime(QDate(794, 10, 22), QTime(12, 0));
    QVERIFY(e.withDialog(QStringLiteral("IDM_INSERT_CALENDAR"),
                         [](QWidget* d) { QTest::mouseClick(childOf<QPushButton>(d, "InsertBtn"), Qt::LeftButton); }));
    const QString text = e.buffer().text();
    QVERIFY(text.contains(QStringLiteral("<td colspan=\"4\">0794 年</td>")));
    QVERIFY(text.contains(QStringLiteral("<td>31</td></tr>\r\n</table>\r\n<!-- ■ここまでカレンダー■ -->")));
}

void TestBuilderWin::marqueeWrapsSelectionExactly()
{
    Editor e;
    e.selectB();
    QString shown;
    QVERIFY(e.withDialog(QStringLiteral("IDM_CONTEXT_INSERT_MARQUEE"), [&](QWidget* d) {
        shown = childOf<QLineEdit>(d, "MarqueeTxt")->text();
        childOf<QCheckBox>(d, "HeightChk")->setChecked(true);
        childOf<UpDown>(d, "HeightUpDown")->stepBy(1);
        childOf<QComboBox>(d, "HeightFormatCmb")->setCurrentText(QStringLiteral("ピクセル"));
        childOf<QComboBox>(d, "MarqueeScrollCmb")->setCurrentText(QStringLiteral("右から左"));
        click(d, "InsertBtn");
    }));
    QCOMPARE(shown, QStringLiteral("b"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>a<MARQUEE height = \"200\">b</MARQUEE>c</p>"));
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
    // A selection over lines goes into the marquee with its CR LF intact.
    e.buffer().SetText(QStringLiteral("x\r\n\ty"));
    e.buffer().SetSelection(0, 5);
    QVERIFY(e.withDialog(QStringLiteral("IDM_MARQUEE"), [](QWidget* d) { click(d, "InsertBtn"); }));
    QCOMPARE(e.buffer().text(), QStringLiteral("<MARQUEE direction = \"right\">x\r\n\ty</MARQUEE>"));
}

void TestBuilderWin::linkDialogTabsAndPickedFile()
{
    Editor e("[Setting]\r\nPreview=0\r\nSoutaiPath=1\r\n");
    e.w->session().document().setPanelFolder(e.app.file(QStringLiteral("site")));
    childOf<QLineEdit>(e.w.get(), "LinkFileNameTxt")->setText(QStringLiteral("日本 \"q\".html"));
    e.selectB();
    QString first;
    e.fakes.files.answer(e.app.file(QStringLiteral("site/sub/p.html")));
    QVERIFY(e.withDialog(QStringLiteral("IDM_INSERT_LINK"), [&](QWidget* d) {
        first = childOf<QLineEdit>(d, "FileLinkTxt")->text();
        click(d, "FileLinkBtn");
        childOf<QComboBox>(d, "FileLinkTargetTxt")->setCurrentText(QStringLiteral("新しいウインドウ"));
        click(d, "InsertBtn");
    }));
    QCOMPARE(first, QStringLiteral("日本 \"q\".html"));
    QCOMPARE(e.fakes.files.requests.last().title, QStringLiteral("ファイルを選択"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>a<A href=\"./sub/p.html\" target=\"_blank\">b</A>c</p>"));
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    e.selectB();
    QVERIFY(e.withDialog(QStringLiteral("IDM_CONTEXT_INSERT_LINK"), [](QWidget* d) {
        childOf<QTabWidget>(d, "SSTab1")->setCurrentIndex(1);
        childOf<QLineEdit>(d, "AtesakiTxt")->setText(QStringLiteral("me@example.jp"));
        childOf<QLineEdit>(d, "KenmeiTxt")->setText(QStringLiteral("ご意見&\"感想\""));
        click(d, "InsertBtn");
    }));
    QCOMPARE(e.buffer().text(),
             QStringLiteral("<p>a<A href=\"mailto:me@example.jp?Subject=ご意見&\"感想\"\">b</A>c</p>"));
}

void TestBuilderWin::linkBarButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("link") << "LinkBtn"
                          << "<p>a<A href=\"画像 \"1\".html\">b</A>c</p>";
    QTest::newRow("anchor") << "AnkerBtn"
                            << "<p>a<A name=\"画像 \"1\".html\">b</a>c</p>";
    QTest::newRow("mail") << "MailBtn"
                          << "<p>a<A href=\"mailto:画像 \"1\".html\">b</A>c</p>";
    QTest::newRow("picture drops the selection") << "PicBtn"
                                                 << "<p>a<IMG src=\"画像 \"1\".html\">c</p>";
    QTest::newRow("name itself") << "ThrowBtn"
                                 << "<p>a画像 \"1\".htmlc</p>";
}

void TestBuilderWin::linkBarButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, expected);
    Editor e;
    childOf<QLineEdit>(e.w.get(), "LinkFileNameTxt")->setText(QStringLiteral("画像 \"1\".html"));
    e.selectB();
    e.w->findChild<QAbstractButton*>(button)->click();
    QCOMPARE(e.buffer().text(), expected);
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::scriptLibraryReadAfreshDialogKept()
{
    Editor e;
    const QString file = QStringLiteral("tools/Setting/javascript.csv");
    e.app.put(file, encodeCp932(QStringLiteral("一,,a\\nb\r\n二,,\\tc\\x\r\n\r\n三,,lost\r\n")).bytes);
    e.selectB();
    QWidget* first = nullptr;
    QStringList names;
    QVERIFY(e.withDialog(QStringLiteral("IDM_JAVA"), [&](QWidget* d) {
        first = d;
        names = rowNames(d);
        auto* list = childOf<QTreeWidget>(d, "ListView1");
        list->setCurrentItem(list->topLevelItem(1));
        click(d, "InsertBtn");
    }));
    QCOMPARE(names, (QStringList{"一", "二"}));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>a\tc\\xc</p>"));
    QVERIFY(first && !first->isVisible());
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));

    // Read again at the next opening, in the same dialog; a double click inserts.
    e.app.put(file, "three,,x\\ny\r\n");
    e.selectB();
    QWidget* second = nullptr;
    QVERIFY(e.withDialog(QStringLiteral("Toolbar1_js"), [&](QWidget* d) {
        second = d;
        names = rowNames(d);
        auto* list = childOf<QTreeWidget>(d, "ListView1");
        const QPoint at = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);  // a double click follows a press
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        if (d->isVisible())
            click(d, "JavaExitBtn");
    }));
    QCOMPARE(second, first);
    QCOMPARE(names, QStringList{"three"});
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>ax\r\nyc</p>"));

    // An empty library: 挿入 says so and changes nothing.
    e.app.put(file, "");
    const QString before = e.buffer().text();
    bool stillOpen = false;
    QVERIFY(e.withDialog(QStringLiteral("IDM_CONTEXT_INSERT_JS"), [&](QWidget* d) {
        click(d, "InsertBtn");
        stillOpen = d->isVisible();
        click(d, "JavaExitBtn");
    }));
    QVERIFY(stillOpen);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QVERIFY(e.fakes.messages.shown[0].text.startsWith(QStringLiteral("挿入できるJavaScriptがありません。")));
    QCOMPARE(e.buffer().text(), before);
}

QTEST_MAIN(TestBuilderWin)
#include "tst_builderwin.moc"
