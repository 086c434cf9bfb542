// Workflows on the real main window, its store, buffer and dialogs, where the
// editor once lost text or wrote to the wrong file.

#include "editor/window/designbar.h"
#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/mainfrm.h"
#include "editor/preview/preview.h"
#include "editor/preview/ui/previewview.h"
#include "editor/session/shippedfiles.h"
#include "editor/builders/scriptlibrary.h"
#include "editor/snippets/ui/teigatafrm.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor : EditorFixture {
    explicit Editor(const QByteArray& ini = "[Setting]\r\nPreview=0\r\n", bool shipped = false)
        : EditorFixture(ini, {.shippedSettings = shipped})
    {
    }
    void run(const char* id) { QVERIFY(w->runCommand(QString::fromLatin1(id))); }
    QString path(const char* relative) const { return app.file(QString::fromUtf8(relative)); }
    void open(const char* relative)
    {
        fakes.files.answer(path(relative));
        run("IDM_OPEN");
    }
    void type(const QString& text) { w->session().buffer().ReplaceSelection(text); }
    // Runs a modal dialog of the command, handing it to the script once it shows.
    void withDialog(const char* id, const std::function<void(QWidget*)>& script)
    {
        QTimer::singleShot(0, [script] {
            if (QWidget* d = QApplication::activeModalWidget())
                script(d);
        });
        run(id);
    }
};

template <typename T>
T* child(QObject* parent, const char* name)
{
    T* c = parent->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void clickItem(QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

// Writes fail with EFBIG past this many bytes while the object lives, as on a full disk.
struct FileSizeLimit {
    rlimit old{};
    void (*previous)(int);
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = old;
        low.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
};
}  // namespace

class TestDataLoss : public QObject {
    Q_OBJECT
private slots:
    void saveAfterPanelMoveWritesOwnFile();
    void panelClickAndTemplateAskFirst_data();
    void panelClickAndTemplateAskFirst();
    void snippetAddedThenInsertedIsKept();
    void fullDiskSaveKeepsOldFileAndSaysWhy();
    void katakanaStaysShiftJis();
    void optionsConfirmShowsBrowserEntries();
    void optionsCancelLeavesEditorAsItWas();
    void previewSaysWhyItStopped();
    void offScreenPlacementIsClamped();
    void panelListFollowsTheDisk();
    void binaryFileAsksBeforeOpening();
    void freshBuildStartsWithoutFolderMessage();
};

void TestDataLoss::saveAfterPanelMoveWritesOwnFile()
{
    Editor e;
    e.app.put(QStringLiteral("a/index.html"), "<p>a</p>\r\n");
    e.app.put(QStringLiteral("b/index.html"), "unrelated");
    e.open("a/index.html");
    e.w->session().document().setPanelFolder(e.path("b"));  // what フォルダの変更 does
    e.withDialog("IDM_OPTION", [](QWidget* d) { child<QPushButton>(d, "CancelBtn")->click(); });
    QCOMPARE(e.w->session().document().panelFolder(), e.path("b"));
    e.type(QStringLiteral("edit"));
    e.run("IDM_OVERSAVE");
    QCOMPARE(e.app.read(QStringLiteral("b/index.html")), QByteArray("unrelated"));
    QCOMPARE(e.app.read(QStringLiteral("a/index.html")), QByteArray("edit<p>a</p>\r\n"));
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - index.html"));
    // The preview goes beside the document, so its relative links resolve.
    e.run("IDM_NORMALPREVIEW");
    QVERIFY(e.app.exists(QStringLiteral("a/quillettmp.html")));
    QVERIFY(!e.app.exists(QStringLiteral("b/quillettmp.html")));
    e.fakes.messages.answer(MsgResult::No);
    e.run("IDM_NEW");
    QVERIFY(!e.app.exists(QStringLiteral("a/quillettmp.html")));
}

void TestDataLoss::panelClickAndTemplateAskFirst_data()
{
    QTest::addColumn<bool>("fromPanel");
    QTest::newRow("file panel") << true;
    QTest::newRow("template") << false;
}

void TestDataLoss::panelClickAndTemplateAskFirst()
{
    QFETCH(bool, fromPanel);
    Editor e;
    e.app.put(QStringLiteral("site/other.html"), "other");
    e.app.put(QStringLiteral("template/t.html"), "other");
    e.w->session().document().setPanelFolder(e.path("site"));
    e.type(QStringLiteral("typed "));
    const QString typed = e.w->session().buffer().text();
    auto replace = [&] {
        if (fromPanel) {
            clickItem(childOf<QListWidget>(&*e.w, "File1"), QStringLiteral("other.html"));
        } else {
            e.fakes.files.answer(e.path("template/t.html"));
            e.run("IDM_FILE_TEMPLATEOPEN");
        }
    };
    e.fakes.messages.answer(MsgResult::Cancel);
    replace();
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, QStringLiteral("内容が変更されていますが、保存しますか？"));
    QCOMPARE(e.w->session().buffer().text(), typed);
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - *新規文書"));
    QVERIFY(e.w->session().history().canUndo());

    e.fakes.messages.answer(MsgResult::No);
    replace();
    QCOMPARE(e.w->session().buffer().text(), QStringLiteral("other"));
}

void TestDataLoss::snippetAddedThenInsertedIsKept()
{
    Editor e;
    e.w->session().buffer().SetText(QStringLiteral("x"));
    e.withDialog("IDM_TEIGATA", [](QWidget* d) {
        child<QLineEdit>(d, "TitleTxt")->setText(QStringLiteral("見出し"));
        child<QPlainTextEdit>(d, "DataTxt")->setPlainText(QStringLiteral("<h1>"));
        child<QPlainTextEdit>(d, "Data2Txt")->setPlainText(QStringLiteral("</h1>"));
        child<QPushButton>(d, "AddBtn")->click();
        child<QPushButton>(d, "InsertBtn")->click();  // moves the caret while the dialog closes
    });
    QVERIFY(e.w->session().buffer().text().contains(QStringLiteral("<h1>")));
    QCOMPARE(e.w->session().snippets().size(), 6);
    QVERIFY(e.app.read(QStringLiteral("tools/Setting/teigata.csv")).contains("<h1>,</h1>"));

    // Kept in the dialog without saving (its close box), then typing goes on.
    e.withDialog("IDM_TEIGATA", [](QWidget* d) {
        child<QLineEdit>(d, "TitleTxt")->setText(QStringLiteral("強調"));
        child<QPushButton>(d, "AddBtn")->click();
        d->close();
    });
    // Another program rewriting the file does not reach the store either.
    e.app.put(QStringLiteral("tools/Setting/teigata.csv"), "a,b,c,\r\n");
    e.type(QStringLiteral("y"));
    e.w->session().buffer().SetSelection(0, 1);
    QCOMPARE(e.w->session().snippets().size(), 7);
    QCOMPARE(e.w->session().snippets().at(6).Title, QStringLiteral("強調"));
}

void TestDataLoss::fullDiskSaveKeepsOldFileAndSaysWhy()
{
    Editor e;
    e.app.put(QStringLiteral("site/page.html"), "old page");
    e.open("site/page.html");
    // Smaller than Qt's 16 KiB write buffer, where a failed flush once went unnoticed.
    e.type(QString(10 * 1024, u'x'));
    {
        FileSizeLimit limit(4 * 1024);
        e.run("IDM_OVERSAVE");
        e.w->SaveSettings();
    }
    QCOMPARE(e.app.read(QStringLiteral("site/page.html")), QByteArray("old page"));
    QVERIFY(e.w->session().document().isModified());
    QCOMPARE(QDir(e.path("site")).entryList(QDir::Files | QDir::Hidden), QStringList{"page.html"});
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QVERIFY(e.fakes.messages.shown[0].text.contains(QStringLiteral("大きすぎて書き込めません")));
    // The settings file is small and goes through; a later save succeeds.
    e.run("IDM_OVERSAVE");
    QCOMPARE(e.app.read(QStringLiteral("site/page.html")).size(), 10 * 1024 + 8);
}

void TestDataLoss::katakanaStaysShiftJis()
{
    Editor e;
    const QByteArray page = "<p>\xc8\xba \xd0\xbd</p>\r\n";  // <p>ﾈｺ ﾐｽ</p> in CP932
    e.app.put(QStringLiteral("site/neko.html"), page);
    e.open("site/neko.html");
    QCOMPARE(e.w->session().buffer().text(), QStringLiteral("<p>ﾈｺ ﾐｽ</p>\r\n"));
    e.type(QStringLiteral("ｱ"));
    e.run("IDM_OVERSAVE");
    QCOMPARE(e.app.read(QStringLiteral("site/neko.html")), "\xb1" + page);
}

void TestDataLoss::optionsConfirmShowsBrowserEntries()
{
    Editor e;
    QVERIFY(!e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER1"))->isVisible());
    e.withDialog("IDM_OPTION", [](QWidget* d) {
        child<QLineEdit>(d, "Browser1Txt")->setText(QStringLiteral("/usr/bin/firefox"));
        child<QLineEdit>(d, "Browser1NameTxt")->setText(QStringLiteral("Firefox"));
        child<QPushButton>(d, "SettingBtn")->click();
    });
    QAction* a = e.w->action(QStringLiteral("IDM_PREVIEW_BROWSER1"));
    QVERIFY(a->isVisible());
    QCOMPARE(a->text(), QStringLiteral("Firefox"));
}

void TestDataLoss::optionsCancelLeavesEditorAsItWas()
{
    Editor e("[Setting]\r\nPreview=0\r\nDesignBar=0\r\n");
    e.app.put(QStringLiteral("elsewhere/x.html"), "x");
    e.run("IDM_VIEW_DESIGN");  // on, not written
    e.w->session().document().setPanelFolder(e.path("elsewhere"));
    bool shownOn = false;
    e.withDialog("IDM_OPTION", [&](QWidget* d) {
        shownOn = child<QCheckBox>(d, "DesignBarChk")->isChecked();
        child<QPushButton>(d, "CancelBtn")->click();
    });
    QVERIFY(shownOn);
    QCOMPARE(e.w->session().settings().DesignBar, 1);
    QVERIFY(childOf<DesignBar>(&*e.w, "DesignBar")->isVisible());
    QCOMPARE(e.w->session().document().panelFolder(), e.path("elsewhere"));
    QCOMPARE(childOf<DesignBar>(&*e.w, "DesignBar")->listedFiles(), QStringList{"x.html"});
}

void TestDataLoss::previewSaysWhyItStopped()
{
    Editor e("[Setting]\r\nPreview=1\r\nRealTimePreview=1\r\n");
    PreviewView* view = childOf<PreviewView>(&*e.w, "WebBrowser1");
    e.type(QStringLiteral("😀"));
    e.w->session().preview().flush();
    QVERIFY2(view->notice().contains(QStringLiteral("😀 (U+1F600)")), qPrintable(view->notice()));
    QVERIFY(view->findChild<QWidget*>(QStringLiteral("PreviewNotice"))->isVisible());
    e.w->session().buffer().SetSelection(0, 2);
    e.type(QString());
    e.w->session().preview().flush();
    QVERIFY(view->notice().isEmpty());
    QVERIFY(!e.w->session().buffer().text().contains(QStringLiteral("😀")));
    QCOMPARE(e.app.read(QStringLiteral("quillettmp.html")), encodeCp932(e.w->session().buffer().text()).bytes);
}

void TestDataLoss::offScreenPlacementIsClamped()
{
    Editor e("[Setting]\r\nWidth=3000000\r\nHeight=nan\r\nLeft=3e10\r\nTop=-3e10\r\nPreview=0\r\n");
    const QRect avail = e.w->screen()->availableGeometry();
    QVERIFY(e.w->width() <= avail.width());
    QVERIFY(e.w->height() <= avail.height());
    QVERIFY(avail.contains(e.w->frameGeometry().topLeft()));
}

void TestDataLoss::panelListFollowsTheDisk()
{
    Editor e("[Setting]\r\nPreview=1\r\nRealTimePreview=0\r\n");
    e.app.put(QStringLiteral("site/gone.html"), "g");
    e.app.put(QStringLiteral("other/o.html"), "o");
    DesignBar* bar = childOf<DesignBar>(&*e.w, "DesignBar");
    e.w->session().document().setPanelFolder(e.path("site"));
    e.run("IDM_NORMALPREVIEW");
    QVERIFY(e.app.exists(QStringLiteral("site/quillettmp.html")));
    QCOMPARE(bar->listedFiles(), QStringList{"gone.html"});  // the preview file is no page

    e.fakes.files.answer(e.path("site/new.html"));
    e.run("IDM_SAVE");
    QCOMPARE(bar->listedFiles(), (QStringList{"gone.html", "new.html"}));

    QFile::remove(e.path("site/gone.html"));
    clickItem(childOf<QListWidget>(bar, "File1"), QStringLiteral("gone.html"));
    QCOMPARE(bar->listedFiles(), QStringList{"new.html"});
    QCOMPARE(e.fakes.messages.shown.size(), 1);  // could not be opened

    // A new document's preview follows the panel; the old folder keeps none.
    e.run("IDM_NEW");
    e.run("IDM_NORMALPREVIEW");
    e.w->session().document().setPanelFolder(e.path("other"));
    e.run("IDM_NORMALPREVIEW");
    QVERIFY(!e.app.exists(QStringLiteral("site/quillettmp.html")));
    QVERIFY(e.app.exists(QStringLiteral("other/quillettmp.html")));
}

void TestDataLoss::binaryFileAsksBeforeOpening()
{
    Editor e;
    e.app.put(QStringLiteral("site/image.html"), QByteArray("GIF89a\x00\x01\x02", 9));
    const QString before = e.w->session().buffer().text();
    e.fakes.messages.answer(MsgResult::No);
    e.open("site/image.html");
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    QVERIFY(e.fakes.messages.shown[0].text.contains(QStringLiteral("テキストファイルではないようです")));
    QCOMPARE(e.w->session().buffer().text(), before);
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - 新規文書"));
}

void TestDataLoss::freshBuildStartsWithoutFolderMessage()
{
    Editor e("[Setting]\r\nPreview=0\r\n", true);
    QVERIFY(e.fakes.messages.shown.isEmpty());
    QCOMPARE(e.w->session().snippets().size(), 5);
    // The shipped files are the ones the editor writes itself.
    const QByteArray header = e.app.read(QStringLiteral("tools/Setting/Header.txt"));
    QVERIFY(header.startsWith("<!DOCTYPE HTML PUBLIC"));
    QVERIFY(header.endsWith("<TITLE>\x83\x5e\x83\x43\x83\x67\x83\x8b</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"));
    // The script library in CP932 with CR LF, read back as shipped.
    const QString scripts = scriptLibraryPath(e.app.path());
    QCOMPARE(LoadScriptLibrary(scripts).size(), parseScriptLibrary(defaultScriptLibraryText()).size());
    QVERIFY(e.app.read(QStringLiteral("tools/Setting/javascript.csv"))
                .startsWith(encodeCp932(QStringLiteral("ページの先頭へ")).bytes));
    e.app.put(QStringLiteral("tools/Setting/Futter.txt"), "mine\r\n");
    e.app.put(QStringLiteral("tools/Setting/javascript.csv"), "mine,,x\r\n");
    installShippedSettingFiles(e.app.path());
    QCOMPARE(e.app.read(QStringLiteral("tools/Setting/Futter.txt")), QByteArray("mine\r\n"));
    QCOMPARE(e.app.read(QStringLiteral("tools/Setting/javascript.csv")), QByteArray("mine,,x\r\n"));
}

QTEST_MAIN(TestDataLoss)
#include "tst_dataloss.moc"
