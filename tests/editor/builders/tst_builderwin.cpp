// The builders from their commands on the real main window: each dialog
// opens with its initial values, 挿入 puts its text at the selection as one
// undo step, キャンセル changes nothing.

#include "common/testkit/fakes.h"
#include "common/testkit/findchild.h"
#include "common/testkit/tempappfolder.h"
#include "editor/shell/ui/mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor {
    TempAppFolder app;
    FakePlatform fakes;
    std::unique_ptr<MainFrm> w;

    Editor()
    {
        app.put(QStringLiteral("tools/Setting/quillet.ini"), "[Setting]\r\nPreview=0\r\n");
        w = std::make_unique<MainFrm>(QuilletContext{fakes.platform(), app.path(), QString(), false});
        w->load();
        w->show();
    }
    EditBuffer& buffer() { return w->session().buffer(); }
    // "abc" selected in the middle of a saved document.
    void selectB()
    {
        buffer().SetText(QStringLiteral("<p>abc</p>"));
        buffer().SetSelection(4, 1);
    }
    // Runs an action (menu entry, twin or button), scripting the dialog it opens.
    bool withDialog(const QString& actionId, const std::function<void(QWidget*)>& script)
    {
        bool shown = false;
        // Gone with this call: a command that opens nothing leaves no script behind.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [script, &shown] {
            if (QWidget* d = QApplication::activeModalWidget()) {
                shown = true;
                script(d);
            }
        });
        timer.start(0);
        QAction* a = w->action(actionId);
        if (!a)
            qFatal("no action %s", qPrintable(actionId));
        a->trigger();
        return shown;
    }
};

void click(QWidget* d, const char* button)
{
    childOf<QPushButton>(d, button)->click();
}
}  // namespace

class TestBuilderWin : public QObject {
    Q_OBJECT
private slots:
    void opensWithInitialValuesAndCancels_data();
    void opensWithInitialValuesAndCancels();
    void listInsertsAtSelectionAsOneUndoStep();
    void listRefusesBadCountAndStaysOpen();
    void longListIsOneQuickStep();
    void calendarPagesAcrossYears();
    void gradationTakesPickedColour();
    void skeletonBecomesNewUnchangedDocument();
};

void TestBuilderWin::opensWithInitialValuesAndCancels_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("list") << "IDM_LIST" << "ListInsertFrm" << "リストの挿入" << "JavaExitBtn";
    QTest::newRow("list twin") << "IDM_CONTEXT_INSERT_LIST" << "ListInsertFrm" << "リストの挿入" << "JavaExitBtn";
    QTest::newRow("list button") << "Toolbar1_list" << "ListInsertFrm" << "リストの挿入" << "JavaExitBtn";
    QTest::newRow("calendar") << "IDM_INSERT_CALENDAR" << "CalendarFrm" << "カレンダーを挿入" << "CancelBtn";
    QTest::newRow("calendar twin") << "IDM_CONTEXT_INSERT_CALENDER" << "CalendarFrm" << "カレンダーを挿入"
                                   << "CancelBtn";
    QTest::newRow("gradation") << "IDM_GRADATION" << "GradationInsFrm" << "グラデーション文字の作成" << "CancelBtn";
    QTest::newRow("gradation twin") << "IDM_CONTEXT_INSERT_GRADATION" << "GradationInsFrm"
                                    << "グラデーション文字の作成" << "CancelBtn";
    QTest::newRow("skeleton") << "IDM_HTMLNEW" << "HtmlSet" << "ＨＴＭＬの骨組み作成" << "Command2";
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
            initial << childOf<QComboBox>(d, "ListKindCmb")->currentText() << childOf<QLineEdit>(d, "ListCntTxt")->text()
                    << childOf<QLineEdit>(d, "StartNumTxt")->text()
                    << QString::number(childOf<QLineEdit>(d, "StartNumTxt")->isEnabled())
                    << QString::number(childOf<QLineEdit>(d, "PictureTxt")->isVisible());
        } else if (dialog == QLatin1String("CalendarFrm")) {
            initial << childOf<QLabel>(d, "lblMonth")->text() << childOf<QLineEdit>(d, "TableBoarderTxt")->text();
        } else if (dialog == QLatin1String("GradationInsFrm")) {
            initial << childOf<QLineEdit>(d, "TextTxt")->text() << childOf<QLabel>(d, "RLbl")->text()
                    << childOf<QLabel>(d, "NGLbl")->text() << childOf<QLabel>(d, "Blbl")->text()
                    << QString::number(childOf<QScrollBar>(d, "StartFntScr")->value())
                    << QString::number(childOf<QCheckBox>(d, "FontSizeChk")->isChecked());
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

void TestBuilderWin::listRefusesBadCountAndStaysOpen()
{
    Editor e;
    e.selectB();
    bool stillOpen = false;
    QVERIFY(e.withDialog(QStringLiteral("IDM_CONTEXT_INSERT_LIST"), [&](QWidget* d) {
        childOf<QLineEdit>(d, "ListCntTxt")->setText(QStringLiteral("三"));
        click(d, "InsertBtn");
        stillOpen = d->isVisible();
        click(d, "JavaExitBtn");
    }));
    QVERIFY(stillOpen);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, QStringLiteral("項目数には数値を入力してください。"));
    QCOMPARE(e.buffer().text(), QStringLiteral("<p>abc</p>"));
}

void TestBuilderWin::longListIsOneQuickStep()
{
    Editor e;
    e.selectB();
    QElapsedTimer t;
    t.start();
    QVERIFY(e.withDialog(QStringLiteral("IDM_LIST"), [](QWidget* d) {
        childOf<QLineEdit>(d, "ListCntTxt")->setText(QStringLiteral("10000"));
        click(d, "InsertBtn");
    }));
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
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
    QVERIFY(text.endsWith(QStringLiteral("<td>30</td>\r\n</tr>\r\n</table>\r\n<!-- ■ここまでカレンダー■ -->c</p>")));
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

QTEST_MAIN(TestBuilderWin)
#include "tst_builderwin.moc"
