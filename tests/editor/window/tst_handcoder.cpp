// The everyday editing of a page written by hand, in the real main window:
// HTML colouring, tag completion, recent files, the unsaved mark, word wrap
// and a second start handing its document over.

#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "tests/testkit/tempappfolder.h"
#include "editor/window/mainfrm.h"
#include "editor/window/singleinstance.h"
#include "editor/tags/ui/tagassist.h"

#include <Qsci/qscilexerhtml.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLocalSocket>
#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
struct Window : EditorFixture {
    RichTextBox* box = nullptr;

    explicit Window(const QString& appFolder) : EditorFixture(QByteArray(), {.activate = true, .appFolder = appFolder})
    {
        if (!shown)
            qFatal("the window did not show");
        box = EditorFixture::box();
        w->session().document().newFromText(QString());
        fakes.messages.shown.clear();
    }
    QString text() { return w->session().buffer().text(); }
    int styleAt(const QString& what)
    {
        box->viewport()->repaint();  // styled as it is shown
        return int(box->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)text().indexOf(what)));
    }
    void menu(const char* id) { w->action(QString::fromLatin1(id))->trigger(); }
    QString write(TempAppFolder& folder, const char* name)
    {
        const QString path = folder.path() + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("<p>") == 3 ? path : QString();
    }
};
}  // namespace

class TestHandCoder : public QObject {
    Q_OBJECT
private slots:
    void htmlColouringByDefaultAndFromTheViewMenu();
    void completion_data();
    void completion();
    void recentFiles();
    void unsavedMarkAndWordWrap();
    void secondStartOpensInTheRunningWindow();
};

void TestHandCoder::htmlColouringByDefaultAndFromTheViewMenu()
{
    TempAppFolder app;
    Window win(app.path());
    QTest::keyClicks(win.box, "<p class=\"x\">&amp;<!-- c --><style>h1 { color: red; }</style>");
    QCOMPARE(win.styleAt(QStringLiteral("p ")), int(QsciLexerHTML::Tag));
    QCOMPARE(win.styleAt(QStringLiteral("class")), int(QsciLexerHTML::Attribute));
    QCOMPARE(win.styleAt(QStringLiteral("\"x")), int(QsciLexerHTML::HTMLDoubleQuotedString));
    QCOMPARE(win.styleAt(QStringLiteral("&amp")), int(QsciLexerHTML::Entity));
    QCOMPARE(win.styleAt(QStringLiteral(" c ")), int(QsciLexerHTML::HTMLComment));
    // The style sheet inside <style>: selector, property and value each in a colour of their own.
    for (const auto& [what, kind] : {std::pair{"h1", 0}, std::pair{"color", 1}, std::pair{"red", 2}})
        QVERIFY(win.box->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, TagAssist::kCssIndicators[kind],
                                       long(win.text().indexOf(QLatin1String(what)))));
    win.menu("IDM_VIEW_SYNTAX");
    QVERIFY(!win.w->action(QStringLiteral("IDM_VIEW_SYNTAX"))->isChecked());
    QCOMPARE(win.styleAt(QStringLiteral("class")), 0);
    // The options' tag colouring applies as before when it is on.
    win.menu("IDM_VIEW_SYNTAX");
    win.w->session().settings().ColorAdd = 1;
    win.w->ApplyLayout();
    QVERIFY(win.box->lexer() && !qobject_cast<QsciLexerHTML*>(win.box->lexer()));
}

void TestHandCoder::completion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("result");
    QTest::newRow("element") << "<tab" << int(Qt::Key_Return) << "<table";
    QTest::newRow("element, upper case typed") << "<TA" << int(Qt::Key_Tab) << "<TABLE";
    QTest::newRow("attribute of the element") << "<img al" << int(Qt::Key_Tab) << "<img alt";
    QTest::newRow("attribute after a value") << "<A href=\"x\" TAR" << int(Qt::Key_Return) << "<A href=\"x\" TARGET";
    QTest::newRow("innermost open element") << "<ul><li>x</" << int(Qt::Key_Return) << "<ul><li>x</li>";
    QTest::newRow("closed ones are skipped") << "<DIV><p>a</p><br></" << int(Qt::Key_Tab) << "<DIV><p>a</p><br></DIV>";
    QTest::newRow("escape closes the list") << "<b" << int(Qt::Key_Escape) << "<b";
    QTest::newRow("none inside a value") << "<a href=\"<" << int(Qt::Key_Return) << "<a href=\"<\r\n";
}

void TestHandCoder::completion()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, result);
    TempAppFolder app;
    Window win(app.path());
    QTest::keyClicks(win.box, typed);
    QTest::keyClick(win.box, Qt::Key(key));
    QCOMPARE(win.text(), result);
    QVERIFY(!win.box->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE));
    win.w->runCommand(QStringLiteral("IDM_UNDO"));  // the accepted name is part of the typing
    QVERIFY(win.text().size() < result.size());
}

void TestHandCoder::recentFiles()
{
    TempAppFolder app;
    QString a, b;
    {
        Window win(app.path());
        QVERIFY(win.w->action(QStringLiteral("IDM_RECENT_NONE"))->isVisible());
        a = win.write(app, "a & b.html");
        b = win.write(app, "b.html");
        for (const QString& path : {a, b}) {
            win.fakes.files.answer(path);
            win.menu("IDM_OPEN");
        }
        QCOMPARE(win.w->action(QStringLiteral("IDM_RECENT1"))->text(), QStringLiteral("&1 ") + b);
        QCOMPARE(win.w->action(QStringLiteral("IDM_RECENT2"))->text(),
                 QStringLiteral("&2 ") + QString(a).replace(QStringLiteral("&"), QStringLiteral("&&")));
        QVERIFY(!win.w->action(QStringLiteral("IDM_RECENT3"))->isVisible());
        QTest::keyClicks(win.box, "x");
        win.fakes.messages.answer(MsgResult::Cancel);  // the save question: nothing changes
        win.menu("IDM_RECENT2");
        QVERIFY(win.w->windowTitle().endsWith(QStringLiteral("b.html")));
        win.fakes.messages.answer(MsgResult::No);
        win.menu("IDM_RECENT2");
        QVERIFY(win.w->windowTitle().endsWith(QStringLiteral("a & b.html")));
        QCOMPARE(win.w->session().recentFiles().paths(), (QStringList{a, b}));
    }
    QVERIFY(QFile::remove(b));
    Window again(app.path());  // kept across starts
    QCOMPARE(again.w->action(QStringLiteral("IDM_RECENT2"))->text().mid(3), b);
    again.menu("IDM_RECENT2");
    QCOMPARE(again.fakes.messages.shown.size(), 1);
    QVERIFY(again.fakes.messages.shown[0].text.contains(b));
    QCOMPARE(again.w->session().recentFiles().paths(), QStringList{a});
    QVERIFY(!again.w->action(QStringLiteral("IDM_RECENT2"))->isVisible());
}

void TestHandCoder::unsavedMarkAndWordWrap()
{
    TempAppFolder app;
    {
        Window win(app.path());
        win.fakes.files.answer(win.write(app, "page.html"));
        win.menu("IDM_OPEN");
        QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - page.html"));
        QTest::keyClicks(win.box, "ab");
        QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - *page.html"));
        win.box->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        QTest::keyClicks(win.box, "cde");  // the same length as the saved text: digested once typing pauses
        QTRY_COMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - *page.html"));
        for (int i = 0; i < 5; ++i)
            win.w->runCommand(QStringLiteral("IDM_UNDO"));
        QTRY_COMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - page.html"));
        QTest::keyClicks(win.box, "d");
        QTest::keyClick(win.box, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - page.html"));

        QCOMPARE(win.box->wrapMode(), QsciScintilla::WrapNone);
        win.menu("IDM_VIEW_WORDWRAP");
        QCOMPARE(win.box->wrapMode(), QsciScintilla::WrapWord);
        QVERIFY(win.w->close());
    }
    Window again(app.path());
    QCOMPARE(again.box->wrapMode(), QsciScintilla::WrapWord);
}

void TestHandCoder::secondStartOpensInTheRunningWindow()
{
    TempAppFolder app;
    Window win(app.path());
    const QString name = QStringLiteral("tagwright-test-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(!SingleInstance::sendToRunning(name, QString()));  // nobody listens yet
    SingleInstance instance(name);
    instance.onOpen = [&win](const QString& path) { win.w->openFromOtherStart(path); };
    QVERIFY(instance.listen());
    const QString page = win.write(app, "other.html");
    QLocalSocket second;
    second.connectToServer(name);
    QVERIFY(second.waitForConnected(5000));
    second.write(page.toUtf8() + '\n');
    QTRY_VERIFY(second.canReadLine());
    QCOMPARE(second.readLine(), QByteArray("ok\n"));
    QTRY_COMPARE(win.w->windowTitle(), QStringLiteral("Tagwright - other.html"));
    QCOMPARE(win.text(), QStringLiteral("<p>"));
}

QTEST_MAIN(TestHandCoder)
#include "tst_handcoder.moc"
