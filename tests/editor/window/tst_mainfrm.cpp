#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/mainfrm.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

using namespace tw;
using namespace tw::test;

namespace {
struct Window : EditorFixture {
    explicit Window(const QString& appFolder, const QString& commandLine = QString())
        : EditorFixture(QByteArray(), {.activate = true, .appFolder = appFolder, .commandLine = commandLine})
    {
        if (!shown)
            qFatal("the window did not show");
    }
    void typeJapanese(const QString& s)
    {
        QInputMethodEvent e;
        e.setCommitString(s);
        QApplication::sendEvent(childOf<RichTextBox>(&*w, "RichTextBox1"), &e);
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(childOf<RichTextBox>(&*w, "RichTextBox1"), Qt::Key(k), m);
    }
    QString text() { return w->session().buffer().text(); }
};
}  // namespace

class TestMainFrm : public QObject {
    Q_OBJECT
private slots:
    void firstStartInEmptyFolder();
    void menusCarryCaptionsAndShortcuts_data();
    void menusCarryCaptionsAndShortcuts();
    void typeWrapUndoRedo();
    void toolbarsInsertTheirTexts();
    void clipboardCommands();
    void saveAsWritesCp932AndReopens();
    void closeAsksAndWritesSettings_data();
    void closeAsksAndWritesSettings();
    void commandLineOpensDocument();
    void lineNumbersFollowTheViewMenuAndAreKeptOutsideSetting();
    void encodingsReopenAndSaveByteForByte();
    void toolbarCustomiseShowsHidesOrdersAndResets();
};

void TestMainFrm::firstStartInEmptyFolder()
{
    TempAppFolder app;
    {
        Window win(app.path());
        QCOMPARE(win.fakes.messages.shown.size(), 1);
        QCOMPARE(win.fakes.messages.shown[0].title, QStringLiteral("Quillet"));
        QCOMPARE(win.fakes.messages.shown[0].icon, MsgIcon::None);
        QVERIFY(win.fakes.messages.shown[0].text.startsWith(
            QStringLiteral("設定ファイルの保存フォルダが見つかりませんでした")));
        QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - 新規文書"));
        QCOMPARE(win.text().count(QStringLiteral("\r\n")), 9);
        QVERIFY(!win.w->action(QStringLiteral("IDM_UNDO"))->isEnabled());
        QVERIFY(win.w->close());
    }
    QVERIFY(app.exists(QStringLiteral("tools/Setting/quillet.ini")));
    Window again(app.path());
    QVERIFY(again.fakes.messages.shown.isEmpty());  // the folder is there now
}

void TestMainFrm::menusCarryCaptionsAndShortcuts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("new") << "IDM_NEW"
                         << "新規作成(&N)"
                         << "Ctrl+N";
    QTest::newRow("open") << "IDM_OPEN"
                          << "開く(&O).."
                          << "Ctrl+O";
    QTest::newRow("save") << "IDM_OVERSAVE"
                          << "上書き保存(&S)"
                          << "Ctrl+S";
    QTest::newRow("save as") << "IDM_SAVE"
                             << "名前をつけて保存(&A).."
                             << "";
    QTest::newRow("template open") << "IDM_FILE_TEMPLATEOPEN"
                                   << "テンプレートを開く..."
                                   << "";
    QTest::newRow("exit") << "IDM_EXIT"
                          << "終了(&X)"
                          << "Ctrl+Q";
    QTest::newRow("undo") << "IDM_UNDO"
                          << "元に戻す(&U)"
                          << "Ctrl+Z";
    QTest::newRow("redo") << "IDM_REDO"
                          << "やり直し(&R)"
                          << "Ctrl+Y";
    QTest::newRow("cut") << "IDM_CUT"
                         << "切り取り(&T)"
                         << "";
    QTest::newRow("paste") << "IDM_PAST"
                           << "貼り付け(&P)"
                           << "";
    QTest::newRow("select all") << "IDM_SELECTALL"
                                << "全て選択(&A)"
                                << "Ctrl+A";
    QTest::newRow("upper") << "IDM_BIGCHR"
                           << "全ての文字を大文字に変更(&B)"
                           << "";
    QTest::newRow("bold") << "IDM_FORMAT_B"
                          << "太字(&B)"
                          << "Ctrl+B";
    QTest::newRow("h6") << "IDM_FORMAT_H6"
                        << "見出し6(&6)"
                        << "F6";
    QTest::newRow("center") << "IDM_CENTER"
                            << "中央揃え(&E)"
                            << "Ctrl+E";
    QTest::newRow("rgb") << "IDM_RGB"
                         << "RGB色入力(&C)..."
                         << "";
    QTest::newRow("time") << "IDM_INSERT_TIME"
                          << "現在時刻"
                          << "";
    QTest::newRow("hr") << "IDM_INSERT_HR"
                        << "水平線(&H)"
                        << "Ctrl+H";
}

void TestMainFrm::menusCarryCaptionsAndShortcuts()
{
    QFETCH(QString, id);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    TempAppFolder app;
    Window win(app.path());
    QAction* a = win.w->findChild<QAction*>(id);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
}

void TestMainFrm::typeWrapUndoRedo()
{
    TempAppFolder app;
    Window win(app.path());
    win.w->session().buffer().SetText(QString());
    win.w->session().history().ResetHistory();
    QTest::keyClicks(childOf<RichTextBox>(&*win.w, "RichTextBox1"), QStringLiteral("abc"));
    win.typeJapanese(QStringLiteral("日本"));
    QCOMPARE(win.text(), QStringLiteral("abc日本"));
    win.w->session().buffer().SetSelection(0, 3);
    win.key(Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(win.text(), QStringLiteral("<B>abc</B>日本"));
    win.key(Qt::Key_F2);
    QCOMPARE(win.text(), QStringLiteral("<B>abc</B><H2></H2>日本"));
    win.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(win.text(), QStringLiteral("<B>abc</B>日本"));
    QCOMPARE(win.w->session().buffer().selectionStart(), 10);  // the caret recorded with that state
    win.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(win.text(), QStringLiteral("abc日本"));
    QVERIFY(win.w->action(QStringLiteral("IDM_REDO"))->isEnabled());
    win.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(win.text(), QStringLiteral("<B>abc</B>日本"));
    // Typing after an undo drops the redo states.
    QTest::keyClicks(childOf<RichTextBox>(&*win.w, "RichTextBox1"), QStringLiteral("x"));
    QVERIFY(!win.w->action(QStringLiteral("IDM_REDO"))->isEnabled());
    QVERIFY(win.w->action(QStringLiteral("IDM_UNDO"))->isEnabled());
}

void TestMainFrm::toolbarsInsertTheirTexts()
{
    TempAppFolder app;
    Window win(app.path());
    win.w->session().buffer().SetText(QStringLiteral("a"));
    win.w->session().buffer().SetSelection(0, 1);
    auto* bar2 = win.w->findChild<QToolBar*>(QStringLiteral("Toolbar2"));
    QVERIFY(bar2);
    QStringList captions;
    for (QAction* a : bar2->actions())
        captions << a->text();
    QCOMPARE(captions.first(), QStringLiteral("BR"));
    QCOMPARE(captions.last(), QStringLiteral("コメント"));
    win.w->findChild<QAction*>(QStringLiteral("Toolbar2_cm"))->trigger();
    QCOMPARE(win.text(), QStringLiteral("<!--\r\na\r\n-->"));
    win.w->findChild<QAction*>(QStringLiteral("Toolbar2_time"))->trigger();
    QVERIFY(win.text().endsWith(QStringLiteral("2026/12/08 9:05:07")));
    win.w->findChild<QAction*>(QStringLiteral("Toolbar3_h5"))->trigger();
    QVERIFY(win.text().endsWith(QStringLiteral("<H5></H5>")));

    win.fakes.colours.answer(0x0000FF);
    win.w->runCommand(QStringLiteral("IDM_RGB"));
    QVERIFY(win.text().endsWith(QStringLiteral("#FF0000")));
    const QString before = win.text();
    win.fakes.colours.answer(std::nullopt);
    win.w->runCommand(QStringLiteral("IDM_RGB"));  // cancelled
    QCOMPARE(win.text(), before);
}

void TestMainFrm::clipboardCommands()
{
    TempAppFolder app;
    Window win(app.path());
    win.w->session().buffer().SetText(QStringLiteral("hello world"));
    win.w->session().buffer().SetSelection(0, 5);
    win.w->runCommand(QStringLiteral("IDM_CUT"));
    QCOMPARE(win.fakes.clipboard.text(), QStringLiteral("hello"));
    QCOMPARE(win.text(), QStringLiteral(" world"));
    win.w->session().buffer().SetSelection(6, 0);
    win.w->runCommand(QStringLiteral("IDM_PAST"));
    QCOMPARE(win.text(), QStringLiteral(" worldhello"));
    win.w->runCommand(QStringLiteral("IDM_COPY"));  // no selection: empty text
    QVERIFY(win.fakes.clipboard.hasText());
    QCOMPARE(win.fakes.clipboard.text(), QString());
    win.fakes.clipboard.setNonText();
    win.w->runCommand(QStringLiteral("IDM_PAST"));
    QCOMPARE(win.text(), QStringLiteral(" worldhello"));
    win.w->runCommand(QStringLiteral("IDM_SELECTALL"));
    QCOMPARE(win.w->session().buffer().selectionLength(), 11);
    win.w->runCommand(QStringLiteral("IDM_BIGCHR"));
    QCOMPARE(win.text(), QStringLiteral(" WORLDHELLO"));
}

void TestMainFrm::saveAsWritesCp932AndReopens()
{
    TempAppFolder app;
    Window win(app.path());
    win.w->session().buffer().SetText(QString());
    win.typeJapanese(QStringLiteral("髙﨑①"));
    win.key(Qt::Key_Return);
    QTest::keyClicks(childOf<RichTextBox>(&*win.w, "RichTextBox1"), QStringLiteral("end"));
    const QString path = app.file(QStringLiteral("page.html"));
    win.fakes.files.answer(path);
    win.key(Qt::Key_S, Qt::ControlModifier);  // new document: save as
    QCOMPARE(win.fakes.files.requests.size(), 1);
    QCOMPARE(app.read(QStringLiteral("page.html")), QByteArray("\xFB\xFC\xFA\xB1\x87\x40\r\nend"));
    QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - page.html"));

    win.w->session().buffer().SetText(QStringLiteral("changed"));
    win.fakes.messages.answer(MsgResult::No);
    win.fakes.files.answer(path);
    win.key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(win.text(), QStringLiteral("髙﨑①\r\nend"));
    QVERIFY(!win.w->action(QStringLiteral("IDM_UNDO"))->isEnabled());
}

void TestMainFrm::closeAsksAndWritesSettings_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("yes: saves, then closes") << int(MsgResult::Yes) << true;
    QTest::newRow("no: closes without saving") << int(MsgResult::No) << true;
    QTest::newRow("cancel: stays open") << int(MsgResult::Cancel) << false;
}

void TestMainFrm::closeAsksAndWritesSettings()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/quillet.ini"), "[Setting]\r\nAreaDivide=2\r\nKeepMe=1\r\n");
    app.put(QStringLiteral("quillettmp.html"), "preview");
    Window win(app.path());
    QCOMPARE(win.w->session().settings().AreaDivide, 2);
    QTest::keyClicks(childOf<RichTextBox>(&*win.w, "RichTextBox1"), QStringLiteral("x"));
    win.fakes.messages.answer(MsgResult(answer));
    win.fakes.files.answer(app.file(QStringLiteral("saved.html")));  // used only by Yes
    win.key(Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(win.fakes.messages.shown.size(), 1);
    QCOMPARE(app.exists(QStringLiteral("saved.html")), MsgResult(answer) == MsgResult::Yes);
    if (MsgResult(answer) == MsgResult::Yes)
        QVERIFY(app.read(QStringLiteral("saved.html")).startsWith("x<!DOCTYPE"));
    QCOMPARE(win.w->isVisible(), !closes);
    const QByteArray ini = app.read(QStringLiteral("tools/Setting/quillet.ini"));
    if (closes) {
        QVERIFY(ini.startsWith("[Setting]\r\nAreaDivide=2\r\nKeepMe=1\r\nPreview=1\r\n"));
        QVERIFY(ini.contains("\r\nWidth="));
        QVERIFY(ini.endsWith("fpath=" + (app.path() + "/").toUtf8() + "\r\n"));
        QVERIFY(!app.exists(QStringLiteral("quillettmp.html")));
    } else {
        QCOMPARE(ini, QByteArray("[Setting]\r\nAreaDivide=2\r\nKeepMe=1\r\n"));
        QVERIFY(app.exists(QStringLiteral("quillettmp.html")));
    }
}

void TestMainFrm::commandLineOpensDocument()
{
    TempAppFolder app;
    app.put(QStringLiteral("docs/a b.html"), encodeCp932(QStringLiteral("<P>こんにちは</P>")).bytes);
    Window win(app.path(), app.file(QStringLiteral("docs/a b.html")));
    QCOMPARE(win.text(), QStringLiteral("<P>こんにちは</P>"));
    QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - a b.html"));
    QCOMPARE(win.w->session().document().WorkingFolder(), app.file(QStringLiteral("docs")));
    QVERIFY(!win.w->action(QStringLiteral("IDM_UNDO"))->isEnabled());
}

void TestMainFrm::encodingsReopenAndSaveByteForByte()
{
    TempAppFolder app;
    // UTF-8 with LF breaks and a character Shift_JIS has no room for.
    const QByteArray utf8 = QStringLiteral("<p>絵文字 😀</p>\n<p>終わり</p>\n").toUtf8();
    app.put(QStringLiteral("u.html"), utf8);
    Window win(app.path(), app.file(QStringLiteral("u.html")));
    MainFrm& w = *win.w;
    win.fakes.messages.shown.clear();  // the first start's folder message
    QCOMPARE(w.statusText(5), QStringLiteral("UTF-8 LF"));
    QVERIFY(w.action(QStringLiteral("IDM_SAVEENC_UTF8"))->isChecked());

    // Read as Shift_JIS, the bytes come back unchanged when saved.
    w.action(QStringLiteral("IDM_REOPEN_SJIS"))->trigger();
    QCOMPARE(w.statusText(5), QStringLiteral("Shift_JIS LF"));
    QVERIFY(!win.text().contains(QStringLiteral("絵文字")));
    // The bytes Shift_JIS cannot read survive a cut and its undo.
    win.key(Qt::Key_A, Qt::ControlModifier);
    win.key(Qt::Key_Delete);
    QCOMPARE(win.text(), QString());
    win.key(Qt::Key_Z, Qt::ControlModifier);
    win.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.read(QStringLiteral("u.html")), utf8);
    QVERIFY2(win.fakes.messages.shown.isEmpty(), qPrintable(win.fakes.messages.shown.value(0).text));

    // A change is kept unless the user lets it go.
    win.key(Qt::Key_End, Qt::ControlModifier);
    win.typeJapanese(QStringLiteral("追加"));
    win.fakes.messages.answer(MsgResult::No);
    w.action(QStringLiteral("IDM_REOPEN_UTF8"))->trigger();
    QVERIFY(win.text().endsWith(QStringLiteral("追加")));
    win.fakes.messages.answer(MsgResult::Yes);
    w.action(QStringLiteral("IDM_REOPEN_UTF8"))->trigger();
    QCOMPARE(win.text(), QStringLiteral("<p>絵文字 😀</p>\r\n<p>終わり</p>\r\n"));
    QCOMPARE(win.fakes.messages.shown.size(), 2);

    // Saved with a BOM: the same text behind it.
    w.action(QStringLiteral("IDM_SAVEENC_UTF8BOM"))->trigger();
    QCOMPARE(w.statusText(5), QStringLiteral("UTF-8 BOM LF"));
    QVERIFY(w.action(QStringLiteral("IDM_SAVEENC_UTF8BOM"))->isChecked());
    win.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.read(QStringLiteral("u.html")), QByteArray("\xEF\xBB\xBF") + utf8);

    // A Shift_JIS page that gets an emoji: saved as UTF-8 when the user
    // agrees, its <meta> rewritten when asked to.
    const QByteArray sjis = encodeCp932(QStringLiteral("<meta charset=\"Shift_JIS\">\r\n<p>日本語</p>\r\n")).bytes;
    app.put(QStringLiteral("s.html"), sjis);
    win.fakes.files.answer(app.file(QStringLiteral("s.html")));
    win.key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.statusText(5), QStringLiteral("Shift_JIS CRLF"));
    win.key(Qt::Key_End, Qt::ControlModifier);
    win.typeJapanese(QStringLiteral("😀"));
    win.fakes.messages.shown.clear();
    win.fakes.messages.answer(MsgResult::No);  // not as UTF-8: nothing written
    win.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.read(QStringLiteral("s.html")), sjis);
    QVERIFY(w.session().document().isModified());
    QVERIFY(win.fakes.messages.shown[0].text.contains(QStringLiteral("U+1F600")));
    win.fakes.messages.answer(MsgResult::Yes);
    win.fakes.messages.answer(MsgResult::Yes);
    win.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.read(QStringLiteral("s.html")),
             QStringLiteral("<meta charset=\"UTF-8\">\r\n<p>日本語</p>\r\n😀").toUtf8());
    QVERIFY(win.fakes.messages.shown[2].text.contains(QStringLiteral("Shift_JIS")));
    QCOMPARE(w.statusText(5), QStringLiteral("UTF-8 CRLF"));
    QVERIFY(!w.session().document().isModified());
    // The rewrite is one step of the history.
    win.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(win.text().startsWith(QStringLiteral("<meta charset=\"Shift_JIS\">")));
}

void TestMainFrm::lineNumbersFollowTheViewMenuAndAreKeptOutsideSetting()
{
    TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/quillet.ini"), "[Setting]\r\nColorAdd=1\r\n");
    {
        Window win(app.path());
        auto* box = childOf<RichTextBox>(&*win.w, "RichTextBox1");
        QAction* entry = win.w->action(QStringLiteral("IDM_VIEW_LINENUMBER"));
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("行番号(&L)"));
        QVERIFY(entry->isChecked());
        QVERIFY(box->marginWidth(0) > 0);
        entry->trigger();
        QVERIFY(!entry->isChecked());
        QCOMPARE(box->marginWidth(0), 0);
        win.fakes.messages.answer(MsgResult::No);
        QVERIFY(win.w->close());
    }
    const QByteArray ini = app.read(QStringLiteral("tools/Setting/quillet.ini"));
    QVERIFY(ini.contains("[View]\r\nLineNumbers=0"));
    // The Setting section holds its own keys only.
    const QByteArray setting = ini.mid(0, ini.indexOf("[View]"));
    QVERIFY(setting.startsWith("[Setting]"));
    QVERIFY(!setting.contains("LineNumbers"));
    Window again(app.path());
    QCOMPARE(childOf<RichTextBox>(&*again.w, "RichTextBox1")->marginWidth(0), 0);
    QVERIFY(!again.w->action(QStringLiteral("IDM_VIEW_LINENUMBER"))->isChecked());
}

void TestMainFrm::toolbarCustomiseShowsHidesOrdersAndResets()
{
    TempAppFolder app;
    Window win(app.path());
    auto keysOf = [&win](const char* bar) {
        QStringList keys;  // "-" marks a hidden button
        for (QAction* a : win.w->findChild<QToolBar*>(QLatin1String(bar))->actions())
            keys << a->data().toString() + QLatin1String(a->isVisible() ? "" : "-");
        return keys;
    };
    // Runs a Tools menu entry; in its dialog ticks or unticks the named rows, then presses the buttons.
    auto customise = [&win](const char* id, QStringList rows, QStringList buttons) {
        QTimer::singleShot(0, [=] {
            QWidget* d = QApplication::activeModalWidget();
            auto* list = childOf<QListWidget>(d, "ButtonList");
            for (const QString& row : rows) {
                const QRect r = list->visualItemRect(list->findItems(row.mid(1), Qt::MatchExactly).value(0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
                if (row.startsWith(u'!'))
                    QTest::keyClick(list, Qt::Key_Space);
            }
            for (const QString& b : buttons)
                QTest::mouseClick(childOf<QPushButton>(d, qPrintable(b)), Qt::LeftButton);
        });
        QVERIFY(childOf<QMenu>(&*win.w, "IDM_TOOL")->actions().contains(win.w->action(QLatin1String(id))));
        win.w->action(QLatin1String(id))->trigger();
    };
    const QStringList standard = keysOf("Toolbar1"), edit = keysOf("Toolbar2");
    QStringList expected = standard;
    expected.replace(expected.indexOf(QStringLiteral("print")), QStringLiteral("print-"));
    expected.move(expected.indexOf(QStringLiteral("table")), expected.indexOf(QStringLiteral("table")) - 2);
    customise("IDM_DEFAULT_TOOLBAR", {"!印刷", " テーブルの挿入"}, {"UpBtn", "UpBtn", "OKBtn"});
    QCOMPARE(keysOf("Toolbar1"), expected);
    customise("IDM_EDIT_TOOLBAR", {"!改行"}, {"CancelBtn"});
    QCOMPARE(keysOf("Toolbar2"), edit);
    customise("IDM_DEFAULT_TOOLBAR", {}, {"ResetBtn", "OKBtn"});
    QCOMPARE(keysOf("Toolbar1"), standard);
    // Not stored: the next start shows the bar as built.
    customise("IDM_DEFAULT_TOOLBAR", {"!印刷"}, {"OKBtn"});
    win.w->close();
    Window again(app.path());
    QVERIFY(again.w->action(QStringLiteral("Toolbar1_print"))->isVisible());
}

QTEST_MAIN(TestMainFrm)
#include "tst_mainfrm.moc"
