// The main window saving, previewing and opening files where the editor once
// went past the file owner's intent: links, read-only files, private pages,
// message texts, very large files and a cancelled click in the file panel.

#include "common/gui/qtplatform.h"
#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "tests/testkit/tempappfolder.h"
#include "editor/window/designbar.h"
#include "editor/window/mainfrm.h"
#include "editor/preview/ui/previewview.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor : EditorFixture {
    QtProgress progress;

    explicit Editor(const QByteArray& ini = "[Setting]\r\nPreview=0\r\n", MessageBoxes* messages = nullptr)
    {
        start(ini, {.adjust = [this, messages](QuilletContext& c) {
                  c.platform.progress = &progress;
                  if (messages)
                      c.platform.messages = messages;
              }});
        progress.setParent(w.get());
        QApplication::setActiveWindow(w.get());
        box()->setFocus();
    }
    LoadTuning& tuning() { return w->session().document().loadTuning(); }
    void open(const char* relative)
    {
        fakes.files.answer(path(relative));
        QVERIFY(w->runCommand(QStringLiteral("IDM_OPEN")));
    }
    void type(const char* text) { QTest::keyClicks(box(), QString::fromLatin1(text)); }
    void ctrlS() { QTest::keyClick(box(), Qt::Key_S, Qt::ControlModifier); }
    QString text() { return w->session().buffer().text(); }
};

unsigned modeOf(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? unsigned(st.st_mode & 0777) : 0;
}
}  // namespace

class TestFileGuard : public QObject {
    Q_OBJECT
private slots:
    void saveThroughSymlinkKeepsTheLink();
    void saveOfWriteProtectedFileIsRefused_data();
    void saveOfWriteProtectedFileIsRefused();
    void previewFileTakesTheDocumentsPermissions();
    void messageBoxesShowTheirTextAsWritten();
    void cancelledPanelClickKeepsDocumentHighlighted();
    void largeFileShowsProgressAndCancelKeepsDocument();
    void fileBeyondMemoryIsRefusedWithMessage();
    void largePageIsPreviewedOnlyOnRequest();
    void readingInPiecesGivesTheWholeFilesText_data();
    void readingInPiecesGivesTheWholeFilesText();
};

void TestFileGuard::saveThroughSymlinkKeepsTheLink()
{
    Editor e;
    e.app.put(QStringLiteral("real/page.html"), "old\r\n");
    QVERIFY(QDir().mkpath(e.path("site")));
    QVERIFY(QFile::link(QStringLiteral("../real/page.html"), e.path("site/page.html")));
    e.open("site/page.html");
    e.type("new ");
    e.ctrlS();
    QVERIFY(QFileInfo(e.path("site/page.html")).isSymLink());
    QCOMPARE(e.app.read(QStringLiteral("real/page.html")), QByteArray("new old\r\n"));
    QCOMPARE(QDir(e.path("real")).entryList(QDir::Files | QDir::Hidden), QStringList{"page.html"});
    QVERIFY(!e.w->session().document().isModified());
}

void TestFileGuard::saveOfWriteProtectedFileIsRefused_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("no: stays unsaved") << false;
    QTest::newRow("yes: saved under another name") << true;
}

void TestFileGuard::saveOfWriteProtectedFileIsRefused()
{
    QFETCH(bool, saveAs);
    Editor e;
    e.app.put(QStringLiteral("site/page.html"), "old\r\n");
    QVERIFY(QFile::setPermissions(e.path("site/page.html"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    e.open("site/page.html");
    e.type("new ");
    e.fakes.messages.answer(saveAs ? MsgResult::Yes : MsgResult::No);
    if (saveAs)
        e.fakes.files.answer(e.path("site/copy.html"));
    e.ctrlS();
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text,
             e.path("site/page.html") + QStringLiteral(" は書き込み禁止になっています。\n名前をつけて保存しますか？"));
    QCOMPARE(e.app.read(QStringLiteral("site/page.html")), QByteArray("old\r\n"));
    QCOMPARE(modeOf(e.path("site/page.html")), 0444u);
    QCOMPARE(e.w->session().document().isModified(), !saveAs);
    QCOMPARE(e.app.exists(QStringLiteral("site/copy.html")), saveAs);
    if (saveAs) {
        QCOMPARE(e.fakes.files.requests.last().title, QStringLiteral("名前をつけて保存"));
        QCOMPARE(e.app.read(QStringLiteral("site/copy.html")), QByteArray("new old\r\n"));
        QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - copy.html"));
    }
}

void TestFileGuard::previewFileTakesTheDocumentsPermissions()
{
    Editor e("[Setting]\r\nPreview=1\r\nRealTimePreview=1\r\n");
    for (const unsigned mode : {0600u, 0640u}) {
        e.app.put(QStringLiteral("shared/private.html"), "<p>secret</p>\r\n");
        QVERIFY(::chmod(QFile::encodeName(e.path("shared/private.html")).constData(), mode) == 0);
        e.open("shared/private.html");
        e.type("x");
        e.w->session().preview().flush();
        QVERIFY(e.app.exists(QStringLiteral("shared/quillettmp.html")));
        QCOMPARE(modeOf(e.path("shared/quillettmp.html")), mode);
        e.fakes.messages.answer(MsgResult::No);
    }
}

void TestFileGuard::messageBoxesShowTheirTextAsWritten()
{
    // The question after choosing UTF-8 for a Shift_JIS page, in the real box.
    QtMessageBoxes boxes;
    Editor e("[Setting]\r\nPreview=0\r\n", &boxes);
    e.app.put(QStringLiteral("site/sjis.html"), "<meta charset=\"SHIFT_JIS\">\r\n");
    e.open("site/sjis.html");
    e.w->session().buffer().ReplaceSelection(QStringLiteral("😀"));
    QStringList shown;
    QList<Qt::TextFormat> formats;
    int polls = 0;
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            const QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            shown << label->text();
            formats << label->textFormat();
            // Yes to UTF-8, No to rewriting the declaration.
            QTest::mouseClick(box->button(shown.size() == 1 ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
        }
        if (shown.size() < 2 && ++polls < 500)
            QTimer::singleShot(10, answer);
    };
    QTimer::singleShot(0, answer);
    e.ctrlS();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(
        shown[1],
        QStringLiteral("このページは <meta> で文字コードを SHIFT_JIS と宣言しています。\nUTF-8 に書き換えますか？"));
    QCOMPARE(formats, (QList<Qt::TextFormat>{Qt::PlainText, Qt::PlainText}));
}

void TestFileGuard::cancelledPanelClickKeepsDocumentHighlighted()
{
    Editor e;
    e.app.put(QStringLiteral("site/a.html"), "a");
    e.app.put(QStringLiteral("site/b.html"), "b");
    e.open("site/a.html");
    auto* list = childOf<QListWidget>(&*e.w, "File1");
    auto* bar = childOf<DesignBar>(&*e.w, "DesignBar");
    QCOMPARE(bar->highlightedFile(), QStringLiteral("a.html"));
    e.type("typed ");
    e.fakes.messages.answer(MsgResult::Cancel);
    const QListWidgetItem* b = list->findItems(QStringLiteral("b.html"), Qt::MatchExactly).value(0);
    QVERIFY(b);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(b).center());
    QCOMPARE(e.text(), QStringLiteral("typed a"));
    QCOMPARE(bar->highlightedFile(), QStringLiteral("a.html"));
    // A new document has no file in the list to highlight.
    e.fakes.messages.answer(MsgResult::No);
    QVERIFY(e.w->runCommand(QStringLiteral("IDM_NEW")));
    QCOMPARE(bar->highlightedFile(), QString());
}

void TestFileGuard::largeFileShowsProgressAndCancelKeepsDocument()
{
    Editor e;
    e.tuning().pieceBytes = 64 * 1024;
    e.tuning().progressFrom = 1 << 20;
    e.tuning().progressAfterMs = 0;  // at once, however fast the machine reads it
    QByteArray page;
    for (int i = 0; page.size() < (2 << 20); ++i)
        page += "<p>line " + QByteArray::number(i) + "</p>\r\n";
    e.app.put(QStringLiteral("site/big.html"), page);
    e.type("typed ");
    const QString before = e.text();
    QStringList labels;
    // キャンセル pressed in the progress window as soon as it shows.
    int polls = 0;
    std::function<void()> cancel = [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dlg = qobject_cast<QProgressDialog*>(top);
            if (dlg && dlg->isVisible()) {
                labels << dlg->labelText();
                QPushButton* button = dlg->findChild<QPushButton*>();
                QCOMPARE(button->text(), QStringLiteral("キャンセル"));
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        if (++polls < 500)
            QTimer::singleShot(1, cancel);
    };
    QTimer::singleShot(0, cancel);
    e.fakes.messages.answer(MsgResult::No);
    e.open("site/big.html");
    QCOMPARE(labels, QStringList{e.path("site/big.html") + QStringLiteral(" を読み込んでいます…")});
    QCOMPARE(e.text(), before);
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - *新規文書"));
    QVERIFY(e.w->session().document().isModified());
    QVERIFY(e.w->session().history().canUndo());
    QCOMPARE(e.fakes.messages.shown.size(), 1);  // the save question only: a cancel is no failure

    e.fakes.messages.answer(MsgResult::No);
    e.open("site/big.html");
    QCOMPARE(e.text(), QString::fromLatin1(page));
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - big.html"));
    QVERIFY(!e.w->session().document().isModified());
    e.type("x");
    QVERIFY(e.w->session().document().isModified());
    QTest::keyClick(e.box(), Qt::Key_Backspace);
    QVERIFY(!e.w->session().document().isModified());
}

void TestFileGuard::fileBeyondMemoryIsRefusedWithMessage()
{
    Editor e;
    e.app.put(QStringLiteral("site/page.html"), QByteArray(1 << 20, 'a'));
    e.tuning().availableMemory = [] { return qint64(16) << 20; };
    const QString before = e.text();
    e.open("site/page.html");
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QVERIFY2(e.fakes.messages.shown[0].text.startsWith(
                 QStringLiteral("ファイルを開けませんでした。\n") + e.path("site/page.html")
                 + QStringLiteral(" は大きすぎて、このコンピュータのメモリに読み込めません")),
             qPrintable(e.fakes.messages.shown[0].text));
    QCOMPARE(e.text(), before);
    QCOMPARE(e.w->windowTitle(), QStringLiteral("Tagwright - 新規文書"));
    // The same file where the memory is there.
    e.tuning().availableMemory = [] { return qint64(64) << 20; };
    e.open("site/page.html");
    QCOMPARE(e.text().size(), 1 << 20);
}

void TestFileGuard::largePageIsPreviewedOnlyOnRequest()
{
    Editor e("[Setting]\r\nPreview=1\r\nRealTimePreview=1\r\n");
    e.w->session().preview().autoRefreshLimit = 1000;
    e.app.put(QStringLiteral("site/big.html"), QByteArray(2000, 'a'));
    e.open("site/big.html");
    e.type("x");
    e.w->session().preview().flush();
    QVERIFY(!e.app.exists(QStringLiteral("site/quillettmp.html")));
    auto* view = childOf<PreviewView>(&*e.w, "WebBrowser1");
    QCOMPARE(view->notice(), QStringLiteral("ページが大きいため自動更新を停止しています。F9 で更新します。"));
    QTest::keyClick(e.box(), Qt::Key_F9);
    QCOMPARE(e.app.read(QStringLiteral("site/quillettmp.html")).size(), 2001);
    QVERIFY(view->notice().isEmpty());
    // The next change stops again; the refresh button shows it too.
    e.type("y");
    QVERIFY(!view->notice().isEmpty());
    QCOMPARE(e.app.read(QStringLiteral("site/quillettmp.html")).size(), 2001);
    QTest::mouseClick(childOf<QPushButton>(view, "GoRefreshBtn"), Qt::LeftButton);
    QCOMPARE(e.app.read(QStringLiteral("site/quillettmp.html")).size(), 2002);
    // F5 stays the fifth heading.
    e.w->session().buffer().SetSelection(0, 1);
    QTest::keyClick(e.box(), Qt::Key_F5);
    QVERIFY(e.text().startsWith(QStringLiteral("<H5>x</H5>")));
    QTest::keyClick(e.box(), Qt::Key_F9);
    QCOMPARE(e.app.read(QStringLiteral("site/quillettmp.html")).size(), 2011);
}

void TestFileGuard::readingInPiecesGivesTheWholeFilesText_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("UTF-8, LF") << QByteArray() << QByteArray("日本語のページ😀\n") << QByteArray();
    QTest::newRow("UTF-8 BOM, CR") << QByteArray("\xEF\xBB\xBF") << QByteArray("\xE3\x81\x82x\r") << QByteArray();
    QTest::newRow("CP932 without breaks") << QByteArray() << QByteArray("\x93\xfa\x96\x7b\xb1") << QByteArray();
    QTest::newRow("CP932 declared, bad bytes")
        << QByteArray("<meta charset=\"Shift_JIS\">\r\n") << QByteArray("\x82\xa0\x85\x81\x40 \x81") << QByteArray();
    QTest::newRow("UTF-8 start, CP932 end") << QByteArray() << QByteArray("\xE3\x81\x82\r\n") << QByteArray("\x82\xa0");
    QTest::newRow("CP932 half-width kana")
        << QByteArray() << QByteArray("\xb1\xb2\xb3 \x83\x4a\x83\x69\r\n") << QByteArray();
    QTest::newRow("NUL bytes, opened all the same") << QByteArray() << QByteArray("x\0y\r\n", 5) << QByteArray();
}

void TestFileGuard::readingInPiecesGivesTheWholeFilesText()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, tail);
    Editor e;
    e.tuning().pieceBytes = 4096;
    QByteArray bytes = head;
    while (bytes.size() < 40000)
        bytes += unit;
    bytes += tail;
    e.app.put(QStringLiteral("site/page.html"), bytes);
    const ReadResult whole = readTextFile(e.path("site/page.html"), TextKind::Document);
    e.fakes.messages.defaultAnswer = MsgResult::Yes;  // opened even where it looks binary
    e.open("site/page.html");
    QCOMPARE(e.text(), whole.text);
    QCOMPARE(e.w->session().document().format().encoding, whole.format.encoding);
    QCOMPARE(e.w->session().document().format().lineEnd, whole.format.lineEnd);
    e.ctrlS();  // saved unchanged, it is the same file
    QCOMPARE(e.app.read(QStringLiteral("site/page.html")), bytes);
}

QTEST_MAIN(TestFileGuard)
#include "tst_fileguard.moc"
