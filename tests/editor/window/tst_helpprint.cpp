// The Help menu, splash, about box, version check, page setup and printing
// in the real main window: printouts go to a PDF read back with pdftotext.

#include "common/download.h"
#include "common/gui/printing.h"
#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "tests/testkit/httpserver.h"
#include "tests/testkit/tempappfolder.h"
#include "editor/window/aboutfrm.h"
#include "editor/window/mainfrm.h"
#include "editor/window/splashfrm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>

using namespace tw;
using namespace tw::test;

namespace {
struct Shell : EditorFixture {
    PdfPrintDialogs pdf{app.file(QStringLiteral("out.pdf"))};
    CurlDownloader curl;

    explicit Shell(const QByteArray& ini = "[Setting]\r\n", bool realDownloads = false)
    {
        start(ini, {.adjust = [this, realDownloads](QuilletContext& c) {
                  if (realDownloads)
                      c.platform.downloader = &curl;
                  c.printDialogs = &pdf;
              }});
    }
    // The PDF's text, one entry a page, NFKC (pdftotext writes some kanji as radicals).
    QStringList printedPages()
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), app.file(QStringLiteral("out.pdf")), QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            qFatal("pdftotext failed");
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput())
                                .normalized(QString::NormalizationForm_KC)
                                .split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }
    // Runs an action whose modal dialog the script drives.
    void withDialog(const char* id, const std::function<void(QWidget*)>& script)
    {
        QTimer::singleShot(0, [script] {
            if (QWidget* d = QApplication::activeModalWidget())
                script(d);
        });
        w->action(QString::fromLatin1(id))->trigger();
    }
};

void clickLater(const char* objectName, int ms)
{
    QTimer::singleShot(ms, [objectName] {
        if (QWidget* d = QApplication::activeModalWidget())
            QTest::mouseClick(childOf<QWidget>(d, objectName), Qt::LeftButton);
    });
}
}  // namespace

class TestHelpPrint : public QObject {
    Q_OBJECT
private slots:
    void helpMenu();
    void versionCheckAgainstLocalServer();
    void menuCheckSaysWhenPageCannotBeFetched();
    void splashTimingAndClosing();
    void aboutBox();
    void printLongDocument();
    void pageSetupStartsAtPrinterFontSizeGreysAndRefuses();
    void printToPdfOnFullDiskKeepsOldFile();
};

void TestHelpPrint::helpMenu()
{
    Shell s;
    QStringList entries;
    for (QAction* a : childOf<QMenu>(&*s.w, "IDM_HELP")->actions())
        if (!a->isSeparator())
            entries << a->objectName() + QLatin1Char(' ') + a->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("IDM_HELPDOCUMENT ヘルプ(&H)"),
                                   QStringLiteral("IDM_HP いろんなソフト公開中・・・(&W)..."),
                                   QStringLiteral("IDM_HELP_NEWCHECK 最新版をチェック(&C)..."),
                                   QStringLiteral("IDM_ABOUT バージョン情報(&A)...")}));
    // A missing page is the browser's to report; a desktop that cannot
    // open it at all is told.
    s.w->action(QStringLiteral("IDM_HELPDOCUMENT"))->trigger();
    QCOMPARE(s.fakes.launcher.opened, QStringList{s.app.file(QStringLiteral("help/index.html"))});
    QVERIFY(s.fakes.messages.shown.isEmpty());
    s.fakes.launcher.succeed = false;
    s.w->action(QStringLiteral("IDM_HELPDOCUMENT"))->trigger();
    QCOMPARE(s.fakes.messages.shown.size(), 1);
    QCOMPARE(s.fakes.messages.shown.last().text, QStringLiteral("open refused by test"));

    // The build ships the pages, and every link of the contents leads to one.
    const QString help = QStringLiteral(TW_APP_DIR "/help/");
    QFile index(help + QStringLiteral("index.html"));
    QVERIFY(index.open(QIODevice::ReadOnly));
    const QString contents = QString::fromUtf8(index.readAll());
    QVERIFY(contents.contains(QStringLiteral("目次")));
    int links = 0;
    for (const auto& m : QRegularExpression(QStringLiteral("href=\"([a-z]+\\.html)\"")).globalMatch(contents)) {
        QVERIFY2(QFile::exists(help + m.captured(1)), qPrintable(m.captured(1)));
        ++links;
    }
    QVERIFY(links >= 9);
}

void TestHelpPrint::versionCheckAgainstLocalServer()
{
    HttpServerFixture server;
    QVERIFY2(server.isRunning(), qPrintable(server.errorString()));
    server.put(QStringLiteral("v.html"), "<p>QUILLET_VERSION=\"0.0.1\"</p>\r\n");
    const QByteArray web = "[Web]\r\nVersionPage=" + server.url(QStringLiteral("v.html")).toLatin1()
                           + "\r\nSoftwarePage=http://127.0.0.1:1/soft\r\n";
    {
        // The start step with the check switched on, against an older page.
        Shell s("[Setting]\r\nNewVersionCheck=1\r\n" + web, true);
        s.fakes.messages.answer(MsgResult::Yes);
        s.w->session().checkVersionAtStart();
        QCOMPARE(s.fakes.messages.shown.size(), 1);
        QVERIFY(s.fakes.messages.shown[0].text.startsWith(QStringLiteral("最新バージョンが見つかりました。")));
        QCOMPARE(s.fakes.launcher.opened, QStringList{QStringLiteral("http://127.0.0.1:1/soft")});
        QVERIFY(!s.app.exists(QStringLiteral("verchk.html")));
    }
    {
        // Switched off: nothing is downloaded at all (the fake would stop the test).
        Shell s("[Setting]\r\nNewVersionCheck=0\r\n" + web);
        s.w->session().checkVersionAtStart();
        QVERIFY(s.fakes.downloader.requests.isEmpty());
        // From the menu the same page is fetched.
        s.fakes.downloader.answer("QUILLET_VERSION=\"" + programVersion().toLatin1() + "\"");
        s.w->action(QStringLiteral("IDM_HELP_NEWCHECK"))->trigger();
        QCOMPARE(s.fakes.downloader.requests.size(), 1);
        QCOMPARE(s.fakes.downloader.requests[0].url, server.url(QStringLiteral("v.html")));
        QCOMPARE(s.fakes.messages.shown.size(), 1);
        QCOMPARE(s.fakes.messages.shown[0].text, QStringLiteral("このソフトは現在最新版です"));
    }
}

void TestHelpPrint::menuCheckSaysWhenPageCannotBeFetched()
{
    // No server on the port: the check at start stays quiet, the menu says why.
    Shell s("[Setting]\r\nNewVersionCheck=1\r\n[Web]\r\nVersionPage=http://127.0.0.1:1/v.html\r\n", true);
    s.w->session().checkVersionAtStart();
    QVERIFY(s.fakes.messages.shown.isEmpty());
    s.w->action(QStringLiteral("IDM_HELP_NEWCHECK"))->trigger();
    QCOMPARE(s.fakes.messages.shown.size(), 1);
    QVERIFY(s.fakes.messages.shown[0].text.startsWith(
        QStringLiteral("最新版の情報を確認できませんでした。\r\nサーバーに接続")));
}

void TestHelpPrint::splashTimingAndClosing()
{
    QElapsedTimer t;
    t.start();
    SplashFrm::showAtStart(500);
    QVERIFY2(t.elapsed() >= 500 && t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!QApplication::activeModalWidget());

    // A click on the version, or a key, ends it at once.
    for (const bool key : {false, true}) {
        QTimer::singleShot(50, [key] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() != QLatin1String("frmSplash") || !top->isVisible())
                    continue;
                QCOMPARE(childOf<QLabel>(top, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + programVersion());
                if (key)
                    QTest::keyClick(top, Qt::Key_Space);
                else
                    QTest::mouseClick(childOf<QWidget>(top, "lblVersion"), Qt::LeftButton);
            }
        });
        t.restart();
        SplashFrm::showAtStart(2500);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
    }
}

void TestHelpPrint::aboutBox()
{
    Shell s("[Setting]\r\n[Web]\r\nTopPage=http://127.0.0.1:1/top\r\n");
    bool seen = false;
    s.withDialog("IDM_ABOUT", [&](QWidget* d) {
        QCOMPARE(d->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(d->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(childOf<QLabel>(d, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + programVersion());
        // The roll moves up a pixel every 40 ms and starts again below the box.
        QWidget* picture = childOf<QWidget>(d, "Picture1");
        QWidget* box = picture->parentWidget();
        const int y0 = picture->y();
        QTest::qWait(400);
        QVERIFY2(picture->y() <= y0 - 5 && picture->y() >= y0 - 12, qPrintable(QString::number(picture->y())));
        picture->move(0, -picture->height() + 2);
        QTRY_COMPARE_WITH_TIMEOUT(picture->y(), box->height(), 1000);

        childOf<QPushButton>(d, "hpbtn")->click();
        QCOMPARE(s.fakes.launcher.opened, QStringList{QStringLiteral("http://127.0.0.1:1/top")});
        // The icon shows the splash until it is clicked.
        clickLater("lblProductName", 100);
        QTest::mouseClick(childOf<QWidget>(d, "picIcon"), Qt::LeftButton);
        QCOMPARE(QApplication::activeModalWidget(), d);
        childOf<QPushButton>(d, "cmdOK")->click();
        seen = true;
    });
    QVERIFY(seen);
    const QStringList credits = AboutFrm::creditLines();
    QCOMPARE(credits.indexOf(QStringLiteral("Tagwright")), 2);
    QCOMPARE(credits.indexOf(QStringLiteral("☆　開発者　☆")), 6);
    QCOMPARE(credits.indexOf(QStringLiteral("■　サンクス　■")) + 16,
             credits.indexOf(QStringLiteral("そして･･･スタッフロールをご覧のあなたに感謝します")));
}

void TestHelpPrint::printLongDocument()
{
    Shell s;
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("<p>行%1 の本文</p>").arg(i, 4, 10, QLatin1Char('0'));
    // A line far wider than the paper is wrapped, never cut.
    lines << QStringLiteral("<p>") + QString(300, QLatin1Char('x')) + QStringLiteral("END</p>");
    s.w->session().buffer().SetText(lines.join(QLatin1String("\r\n")));
    s.w->session().buffer().SetSelection(0, 5);
    QVERIFY(s.w->runCommand(QStringLiteral("IDM_PRINT")));
    QVERIFY(s.pdf.lastHadSelection);

    const QStringList pages = s.printedPages();
    QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
    const QString title = s.w->session().document().title();
    QString all;
    for (int n = 1; n <= pages.size(); ++n) {
        QVERIFY2(pages[n - 1].contains(title), qPrintable(QStringLiteral("no title on page %1").arg(n)));
        const QStringList pageLines = pages[n - 1].split(QLatin1Char('\n'));
        QVERIFY2(pageLines.contains(QString::number(n))
                     || std::any_of(pageLines.begin(), pageLines.end(),
                                    [n](const QString& l) { return l.trimmed() == QString::number(n); }),
                 qPrintable(QStringLiteral("no number on page %1").arg(n)));
        all += pages[n - 1];
    }
    for (int i = 1; i <= 150; ++i)
        QVERIFY2(all.contains(QStringLiteral("行%1 の本文").arg(i, 4, 10, QLatin1Char('0'))),
                 qPrintable(QString::number(i)));
    QString joined = all;
    joined.remove(QRegularExpression(QStringLiteral("\\s")));
    QVERIFY(joined.contains(QString(300, QLatin1Char('x')) + QStringLiteral("END")));

    // Both decorations off: the text alone.
    s.w->session().printSettings().PrintTitle = 0;
    s.w->session().printSettings().PrintPageNumber = 0;
    s.w->session().buffer().SetText(QStringLiteral("短い本文"));
    QVERIFY(s.w->runCommand(QStringLiteral("IDM_PRINT")));
    const QStringList one = s.printedPages();
    QCOMPARE(one.size(), 1);
    QCOMPARE(one[0].trimmed(), QStringLiteral("短い本文"));
}

void TestHelpPrint::pageSetupStartsAtPrinterFontSizeGreysAndRefuses()
{
    QFont small = QApplication::font();  // the windows' font is not the printer's
    small.setPointSize(9);
    QApplication::setFont(small);
    Shell s;
    const PrintSettings before = s.w->session().printSettings();
    s.withDialog("IDM_PAGESETTING", [&](QWidget* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("ページ設定"));
        for (const char* size : {"PrintTitleFontSizeTxt", "PrintPageNumFontSizeTxt"})
            QCOMPARE(childOf<QLineEdit>(d, size)->text(), QStringLiteral("10"));
        auto* titleChk = childOf<QCheckBox>(d, "TitleChk");
        QVERIFY(titleChk->isChecked());
        QVERIFY(childOf<QLineEdit>(d, "PrintTitleFontSizeTxt")->isEnabled());
        QTest::mouseClick(titleChk, Qt::LeftButton);
        QVERIFY(!childOf<QLineEdit>(d, "PrintTitleFontSizeTxt")->isEnabled());
        QVERIFY(!childOf<QLabel>(d, "PrintTitleFontSizeLbl")->isEnabled());
        QVERIFY(childOf<QLineEdit>(d, "PrintPageNumFontSizeTxt")->isEnabled());

        childOf<QLineEdit>(d, "RightMarginTxt")->setText(QStringLiteral("25"));
        childOf<QLineEdit>(d, "LeftMarginTxt")->setText(QStringLiteral("十"));
        childOf<QPushButton>(d, "SettingBtn")->click();
        QVERIFY(d->isVisible());
        QCOMPARE(s.fakes.messages.shown.size(), 1);
        QVERIFY(s.fakes.messages.shown[0].text.startsWith(QStringLiteral("左の余白には")));
        QCOMPARE(s.w->session().printSettings().RightMargin, before.RightMargin);  // nothing half-stored

        childOf<QLineEdit>(d, "LeftMarginTxt")->setText(QStringLiteral("15"));
        QTest::keyClick(childOf<QLineEdit>(d, "LeftMarginTxt"), Qt::Key_Up);  // the up-down steps by one
        childOf<QPushButton>(d, "SettingBtn")->click();
    });
    const PrintSettings& after = s.w->session().printSettings();
    QCOMPARE(after.PrintTitle, 0);
    QCOMPARE(after.LeftMargin, 16);
    QCOMPARE(after.RightMargin, 25);

    // Cancelling keeps what was set, and the dialog opens with it.
    s.withDialog("IDM_PAGESETTING", [&](QWidget* d) {
        QCOMPARE(childOf<QLineEdit>(d, "LeftMarginTxt")->text(), QStringLiteral("16"));
        QVERIFY(!childOf<QCheckBox>(d, "TitleChk")->isChecked());
        childOf<QLineEdit>(d, "LeftMarginTxt")->setText(QStringLiteral("1"));
        childOf<QPushButton>(d, "CancelBtn")->click();
    });
    QCOMPARE(s.w->session().printSettings().LeftMargin, 16);
}

// The child's part of the next test: Ctrl+P prints a page to the PDF, and
// the messages shown go to standard output.
int printInChild(const QString& pdf)
{
    Shell s;
    s.pdf = PdfPrintDialogs(pdf);
    s.w->session().buffer().SetText(QStringLiteral("<p>本文</p>\r\n").repeated(300));
    QApplication::setActiveWindow(&*s.w);
    QTest::keyClick(childOf<QWidget>(&*s.w, "RichTextBox1"), Qt::Key_P, Qt::ControlModifier);
    for (const ShownMessage& m : s.fakes.messages.shown)
        std::fputs(qPrintable(m.text), stdout);
    return 0;
}

void TestHelpPrint::printToPdfOnFullDiskKeepsOldFile()
{
    Shell s;
    s.w->session().buffer().SetText(QStringLiteral("<p>本文</p>\r\n").repeated(300));
    QVERIFY(s.w->runCommand(QStringLiteral("IDM_PRINT")));
    const QString pdf = s.app.file(QStringLiteral("out.pdf"));
    const QByteArray old = s.app.read(QStringLiteral("out.pdf"));
    // The same printout from a process whose files may not grow past half of it.
    QProcess child;
    child.setChildProcessModifier([limit = rlim_t(old.size() / 2)] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{};
        ::getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &r);
    });
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--print-to"), pdf});
    QVERIFY(child.waitForFinished(60000) && child.exitCode() == 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
             QStringLiteral("PDF ファイルに印刷できませんでした: "
                            "%1\r\nファイルを最後まで書き込めませんでした。ディスクの空き容量を確認してください。"
                            "\r\n元のファイルは変更していません。")
                 .arg(pdf));
    QCOMPARE(s.app.read(QStringLiteral("out.pdf")), old);
    QCOMPARE(QDir(s.app.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files | QDir::Hidden),
             QStringList{"out.pdf"});
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--print-to") == 0)
        return printInChild(QString::fromLocal8Bit(argv[2]));
    TestHelpPrint t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_helpprint.moc"
