#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "editor/settings/headerfooter.h"
#include "editor/window/mainfrm.h"
#include "editor/window/settingdlg.h"
#include "tests/testkit/tempappfolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QScopeGuard>
#include <QTimer>

using namespace tw;
using namespace tw::test;

namespace {
const QString kIni = QStringLiteral("tools/Setting/quillet.ini");
const QString kHeader = QStringLiteral("tools/Setting/Header.txt");
const QString kFooter = QStringLiteral("tools/Setting/Futter.txt");

struct Window : EditorFixture {
    explicit Window(const TempAppFolder& folder)
    {
        folder.put(QStringLiteral("tools/Setting/.keep"), "");  // no first-start message
        start(QByteArray(), {.appFolder = folder.path()});
    }
    // The dialog as IDM_OPTION shows it, without confirming (for looking).
    std::unique_ptr<Setting> open()
    {
        auto d = std::make_unique<Setting>(w->session().optionValues(), fakes.platform(), w.get());
        d->show();
        return d;
    }
    // Runs IDM_OPTION with the real modal dialog, handing it to the script;
    // a dialog the script leaves open is cancelled so the test goes on.
    void options(const std::function<void(Setting*)>& script)
    {
        QTimer::singleShot(0, [script] {
            auto* d = qobject_cast<Setting*>(QApplication::activeModalWidget());
            if (!d)
                return;
            const auto closeLeftOver = qScopeGuard([d] {
                if (d->isVisible())
                    d->reject();
            });
            script(d);
        });
        QVERIFY(w->runCommand(QStringLiteral("IDM_OPTION")));
    }
};

template <typename T>
T* child(QWidget* d, const char* name)
{
    T* c = d->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void click(QWidget* d, const char* button)
{
    QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
}
}  // namespace

class TestSettingDlg : public QObject {
    Q_OBJECT
private slots:
    void loadsStoredValues_data();
    void loadsStoredValues();
    void everyInputIsNamed();
    void confirmRewritesEverything();
    void headerEditsApplyFromNextOpening();
    void cancelWritesNothing();
    void badSizeWritesNothing_data();
    void badSizeWritesNothing();
    void unwritableHeaderIsReported();
    void browseFillsItsRow_data();
    void browseFillsItsRow();
    void dirNowTakesPanelFolder();
    void optionCommandRunsDialog();
};

void TestSettingDlg::loadsStoredValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");  // a check box shows "0" or "1"
    QTest::newRow("preview off") << QByteArray("Preview=0") << "PreviewChk"
                                 << "0";
    QTest::newRow("colour on") << QByteArray("ColorAdd=1") << "ColorAddChk"
                               << "1";
    QTest::newRow("relative off") << QByteArray("SoutaiPath=0") << "SoutaiChk"
                                  << "0";
    QTest::newRow("version check") << QByteArray("NewVersionCheck=1") << "NewVersionCheckChk"
                                   << "1";
    QTest::newRow("auto preview off") << QByteArray("RealTimePreview=0") << "RealTimePreviewChk"
                                      << "0";
    QTest::newRow("width") << QByteArray("PreviewWindowX=1024") << "PreviewWindowXTxt"
                           << "1024";
    QTest::newRow("height stored as real") << QByteArray("PreviewWindowY=480.0") << "PreviewWindowYTxt"
                                           << "480";
    QTest::newRow("height default") << QByteArray("Dummy=1") << "PreviewWindowYTxt"
                                    << "600";
    QTest::newRow("browser path") << QByteArray("Browser2=/usr/bin/firefox") << "Browser2Txt"
                                  << "/usr/bin/firefox";
    QTest::newRow("browser name CP932") << QByteArray("Browser3Name=\x83\x75\x83\x89\x83\x45\x83\x55")
                                        << "Browser3NameTxt"
                                        << "ブラウザ";
}

void TestSettingDlg::loadsStoredValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    TempAppFolder app;
    const QByteArray preview = line.startsWith("Preview=") ? QByteArray() : QByteArray("Preview=1\r\n");
    app.put(kIni, "[Setting]\r\n" + preview + line + "\r\n");
    Window win(app);
    win.w->session().settings().Preview = 0;  // as the View menu would, without writing
    auto d = win.open();
    QCOMPARE(d->windowTitle(), QStringLiteral("設定"));
    auto* tabs = d->findChild<QTabWidget*>();
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->tabText(0), QStringLiteral("一般設定"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("初期タグ"));
    QWidget* c = d->findChild<QWidget*>(control);
    QVERIFY(c);
    if (auto* box = qobject_cast<QCheckBox*>(c))
        QCOMPARE(box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), shown);
    else
        QCOMPARE(qobject_cast<QLineEdit*>(c)->text(), shown);
    // The dialog shows the editor as it is, not the file: the View menu's change shows.
    QVERIFY(!child<QCheckBox>(d.get(), "PreviewChk")->isChecked());
    QCOMPARE(child<QLineEdit>(d.get(), "FirstFolderTxt")->text(), win.w->session().document().WorkingFolder());
    QCOMPARE(child<QPlainTextEdit>(d.get(), "FutterTxt")->toPlainText(), QStringLiteral("</BODY>\n</HTML>"));
}

void TestSettingDlg::everyInputIsNamed()
{
    TempAppFolder app;
    Window win(app);
    auto d = win.open();
    QHash<QWidget*, QString> buddies;
    for (QLabel* l : d->findChildren<QLabel*>())
        if (l->buddy())
            buddies.insert(l->buddy(), l->text());
    QCOMPARE(buddies.value(child<QLineEdit>(d.get(), "FirstFolderTxt")), QStringLiteral("カレントフォルダ："));
    QCOMPARE(buddies.value(child<QLineEdit>(d.get(), "PreviewWindowXTxt")), QStringLiteral("X (横サイズ)"));
    QCOMPARE(buddies.value(child<QPlainTextEdit>(d.get(), "HeaderTxt")), QStringLiteral("ヘッダ部"));
    QCOMPARE(buddies.value(child<QPlainTextEdit>(d.get(), "FutterTxt")), QStringLiteral("フッタ部"));
    QList<QWidget*> inputs;
    for (QLineEdit* e : d->findChildren<QLineEdit*>())
        inputs << e;
    for (QPlainTextEdit* e : d->findChildren<QPlainTextEdit*>())
        inputs << e;
    QCOMPARE(inputs.size(), 11);
    for (QWidget* e : inputs)
        QVERIFY2(buddies.contains(e) || !e->accessibleName().isEmpty(), qPrintable(e->objectName()));
    QCOMPARE(child<QCheckBox>(d.get(), "ColorAddChk")->text(), QStringLiteral("色付けを行う\u3000（非推奨）"));
}

void TestSettingDlg::confirmRewritesEverything()
{
    TempAppFolder app;
    app.put(QStringLiteral("site/index.html"), "x");
    Window win(app);
    QVERIFY(!app.exists(kIni));
    int result = -1;
    win.options([&](Setting* d) {
        child<QLineEdit>(d, "FirstFolderTxt")->setText(app.file(QStringLiteral("site")));
        click(d, "SettingBtn");
        result = d->result();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(win.fakes.messages.shown.isEmpty());
    QCOMPARE(win.w->session().document().WorkingFolder(), app.file(QStringLiteral("site")));
    const QByteArray ini = app.read(kIni);
    for (const char* key :
         {"Preview=1", "ColorAdd=0", "DesignBar=1", "SoutaiPath=1", "PreviewWindowX=800", "PreviewWindowY=600",
          "Browser1=", "Browser3Name=", "NewVersionCheck=0", "DefaultMaxWin=0", "RealTimePreview=1", "AreaDivide=0"})
        QVERIFY2(ini.contains(QByteArray("\r\n") + key + "\r\n"), key);
    QVERIFY(ini.endsWith("fpath=" + app.file(QStringLiteral("site/")).toUtf8() + "\r\n"));
    // The default header is ASCII apart from タイトル, 83 5E 83 43 83 67 83 8B in CP932.
    QByteArray header = defaultHeaderText().toUtf8();
    header.replace("\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB", "\x83\x5E\x83\x43\x83\x67\x83\x8B");
    QCOMPARE(app.read(kHeader), header + "\r\n");
    QCOMPARE(app.read(kFooter), QByteArray("</BODY>\r\n</HTML>\r\n"));
}

void TestSettingDlg::headerEditsApplyFromNextOpening()
{
    TempAppFolder app;
    Window win(app);
    bool stayedOpen = false;
    win.options([&](Setting* d) {
        auto* header = child<QPlainTextEdit>(d, "HeaderTxt");
        header->selectAll();
        QTest::keyClicks(header, QStringLiteral("<HTML>"));
        QTest::keyClick(header, Qt::Key_Return);
        QTest::keyClicks(header, QStringLiteral("<BODY>"));
        QTest::keyClick(header, Qt::Key_Return);  // a final empty line
        stayedOpen = d->isVisible();              // Enter in the box is a line break, not confirmation
        click(d, "SettingBtn");
    });
    QVERIFY(stayedOpen);
    QCOMPARE(app.read(kHeader), QByteArray("<HTML>\r\n<BODY>\r\n\r\n"));
    QCOMPARE(win.w->session().document().header(), defaultHeaderText());  // until the dialog loads again
    auto d = win.open();
    QCOMPARE(child<QPlainTextEdit>(d.get(), "HeaderTxt")->toPlainText(), QStringLiteral("<HTML>\n<BODY>\n"));
    QCOMPARE(win.w->session().document().header(), QStringLiteral("<HTML>\r\n<BODY>\r\n"));
}

void TestSettingDlg::cancelWritesNothing()
{
    TempAppFolder app;
    app.put(kIni, "[Setting]\r\nPreview=1\r\n");
    Window win(app);
    app.put(kHeader, "<H>\r\n");
    int result = -1;
    win.options([&](Setting* d) {
        child<QCheckBox>(d, "PreviewChk")->setChecked(false);
        child<QPlainTextEdit>(d, "HeaderTxt")->setPlainText(QStringLiteral("changed"));
        click(d, "CancelBtn");
        result = d->result();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(app.read(kIni), QByteArray("[Setting]\r\nPreview=1\r\n"));
    QCOMPARE(app.read(kHeader), QByteArray("<H>\r\n"));
    QVERIFY(!app.exists(kFooter));
    QCOMPARE(win.w->session().settings().Preview, 1);
}

void TestSettingDlg::badSizeWritesNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("axis");
    QTest::newRow("letters") << "PreviewWindowXTxt"
                             << "abc"
                             << "X";
    QTest::newRow("too big") << "PreviewWindowYTxt"
                             << "40000"
                             << "Y";
    QTest::newRow("empty") << "PreviewWindowXTxt"
                           << ""
                           << "X";
}

void TestSettingDlg::badSizeWritesNothing()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, axis);
    TempAppFolder app;
    app.put(kIni, "[Setting]\r\nPreviewWindowX=700\r\n");
    Window win(app);
    int result = -1;
    win.options([&](Setting* d) {
        child<QCheckBox>(d, "PreviewChk")->setChecked(false);
        auto* size = d->findChild<QLineEdit*>(box);
        size->setText(typed);
        child<QTabWidget>(d, "SettingTab")->setCurrentIndex(1);
        click(d, "SettingBtn");
        QCOMPARE(win.fakes.messages.shown.size(), 1);
        const ShownMessage& m = win.fakes.messages.shown[0];
        QCOMPARE(m.text, QStringLiteral(
                             "プレビューウインドウのサイズ (%1) には -32768 から 32767 までの数値を入力してください。")
                             .arg(axis));
        QCOMPARE(m.title, QStringLiteral("設定"));
        QCOMPARE(m.icon, MsgIcon::Warning);
        QVERIFY(d->isVisible());
        QCOMPARE(d->focusWidget(), size);
        QCOMPARE(child<QTabWidget>(d, "SettingTab")->currentIndex(), 0);
        QCOMPARE(app.read(kIni), QByteArray("[Setting]\r\nPreviewWindowX=700\r\n"));
        QVERIFY(!app.exists(kHeader));
        QCOMPARE(win.w->session().settings().Preview, 1);
        QCOMPARE(win.w->session().settings().PreviewWindowX, 700);

        size->setText(QStringLiteral("500"));
        click(d, "SettingBtn");
        result = d->result();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(app.read(kIni).contains("\r\nPreview=0\r\n"));
}

void TestSettingDlg::unwritableHeaderIsReported()
{
    TempAppFolder app;
    Window win(app);
    int result = -1;
    win.options([&](Setting* d) {
        child<QPlainTextEdit>(d, "HeaderTxt")->setPlainText(QStringLiteral("<P>\U0001F600</P>"));
        click(d, "SettingBtn");
        result = d->result();
    });
    QCOMPARE(win.fakes.messages.shown.size(), 1);
    QVERIFY(win.fakes.messages.shown[0].text.contains(QLatin1String("Header.txt")));
    QCOMPARE(win.fakes.messages.shown[0].icon, MsgIcon::Warning);
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(!app.exists(kHeader));
    QVERIFY(app.exists(kFooter));
    QVERIFY(app.exists(kIni));
}

void TestSettingDlg::browseFillsItsRow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Command3: browser 1") << "Command3" << 1 << "/usr/bin/firefox";
    QTest::newRow("Command2: browser 2") << "Command2" << 2 << "/opt/ブラウザ/run me";
    QTest::newRow("Command1: browser 3") << "Command1" << 3 << "/usr/bin/chromium";
    QTest::newRow("cancelled") << "Command2" << 2 << "";
}

void TestSettingDlg::browseFillsItsRow()
{
    QFETCH(QString, button);
    QFETCH(int, row);
    QFETCH(QString, chosen);
    TempAppFolder app;
    app.put(kIni, "[Setting]\r\nBrowser1=b1\r\nBrowser2=b2\r\nBrowser3=b3\r\n");
    Window win(app);
    win.w->session().document().setPreviousFolder(QStringLiteral("/elsewhere"));
    QStringList shown;
    win.options([&](Setting* d) {
        win.fakes.files.answer(chosen);
        QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
        for (int i = 1; i <= 3; ++i)
            shown << d->findChild<QLineEdit*>(QStringLiteral("Browser%1Txt").arg(i))->text();
        click(d, "SettingBtn");
    });
    QCOMPARE(win.fakes.files.requests.size(), 1);
    const FileDialogRequest& r = win.fakes.files.requests[0];
    QVERIFY(!r.save);
    QCOMPARE(r.title, QStringLiteral("ファイルを開く"));
    QVERIFY(r.filter.startsWith(QStringLiteral("実行ファイル(*.exe)|*.exe|")));
    QCOMPARE(win.w->session().document().PreviousFolder(), win.w->session().document().panelFolder());
    for (int i = 1; i <= 3; ++i) {
        const QString want = i == row && !chosen.isEmpty() ? chosen : QStringLiteral("b%1").arg(i);
        QCOMPARE(shown.value(i - 1), want);
    }
}

void TestSettingDlg::dirNowTakesPanelFolder()
{
    TempAppFolder app;
    Window win(app);
    win.w->session().document().setPanelFolder(app.file(QStringLiteral("tools")));
    auto d = win.open();
    auto* folder = child<QLineEdit>(d.get(), "FirstFolderTxt");
    folder->setText(QStringLiteral("typed"));
    click(d.get(), "DirNowBtn");
    QCOMPARE(folder->text(), app.file(QStringLiteral("tools")));
}

void TestSettingDlg::optionCommandRunsDialog()
{
    TempAppFolder app;
    Window win(app);
    QAction* a = win.w->action(QStringLiteral("IDM_OPTION"));
    QVERIFY(a);
    QCOMPARE(a->text(), QStringLiteral("オプション(&O)..."));
    const QString text = win.w->session().buffer().text();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        seen = d && d->objectName() == QLatin1String("Setting");
        if (!d)
            return;
        child<QCheckBox>(d, "ColorAddChk")->setChecked(true);
        click(d, "SettingBtn");
    });
    a->trigger();
    QVERIFY(seen);
    QCOMPARE(win.w->session().settings().ColorAdd, 1);
    QVERIFY(app.read(kIni).contains("\r\nColorAdd=1\r\n"));
    QCOMPARE(win.w->session().buffer().text(), text);  // re-coloured, not changed
}

QTEST_MAIN(TestSettingDlg)
#include "tst_settingdlg.moc"
