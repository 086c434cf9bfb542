#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/mainfrm.h"
#include "editor/snippets/snippetfile.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor : EditorFixture {
    explicit Editor(const QString& snippetFile = QString())
    {
        if (!snippetFile.isNull())
            app.put(QStringLiteral("tools/Setting/teigata.csv"), encodeCp932(snippetFile).bytes);
        start(QByteArray(), {.activate = true});
        if (!shown)
            qFatal("the window did not show");
        buffer().SetText(QString());
    }
    QAction* act(const QString& id) { return w->findChild<QAction*>(id); }
};
}  // namespace

class TestSnippetKeys : public QObject {
    Q_OBJECT
private slots:
    void hotKeys_data();
    void hotKeys();
    void twoEntriesWithOneKeyBothFire();
    void tabInsertsATabAndKeepsFocus();
    void menusShowTheStore();
    void menuItemsInsertWithTheirEndText();
};

void TestSnippetKeys::hotKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("result");
    QTest::newRow("Shift+Ctrl+P inserts the start text only")
        << int(Qt::Key_P) << int(Qt::ShiftModifier | Qt::ControlModifier) << "<p>";
    QTest::newRow("Shift+Enter: <br>, then the line break")
        << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "<br>\r\n";
    QTest::newRow("Shift+Ctrl+C: a line break from \\n")
        << int(Qt::Key_C) << int(Qt::ShiftModifier | Qt::ControlModifier)
        << "#include <stdio.h>\r\nint main(void)\r\n{\r\n\r\n";
    QTest::newRow("no modifier: typed as usual") << int(Qt::Key_P) << int(Qt::NoModifier) << "p";
}

void TestSnippetKeys::hotKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, result);
    Editor e;  // no snippet file: the five defaults
    QTest::keyClick(childOf<RichTextBox>(&*e.w, "RichTextBox1"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(e.text(), result);
}

void TestSnippetKeys::twoEntriesWithOneKeyBothFire()
{
    Editor e(QStringLiteral("一,<a>,,Shift+Ctrl+A\r\n二,<b>,,Shift+Ctrl+A\r\n"));
    QTest::keyClick(childOf<RichTextBox>(&*e.w, "RichTextBox1"), Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(e.text(), QStringLiteral("<a><b>"));
}

void TestSnippetKeys::tabInsertsATabAndKeepsFocus()
{
    Editor e;
    QTest::keyClicks(childOf<RichTextBox>(&*e.w, "RichTextBox1"), QStringLiteral("a"));
    QTest::keyClick(childOf<RichTextBox>(&*e.w, "RichTextBox1"), Qt::Key_Tab);
    QTest::keyClicks(childOf<RichTextBox>(&*e.w, "RichTextBox1"), QStringLiteral("b"));
    QCOMPARE(e.text(), QStringLiteral("a\tb"));
    QVERIFY(childOf<RichTextBox>(&*e.w, "RichTextBox1")->hasFocus());
}

void TestSnippetKeys::menusShowTheStore()
{
    QString file;
    for (int i = 1; i <= 12; ++i)
        file += QStringLiteral("T&%1,<x%1>,,\r\n").arg(i);
    Editor e(file);
    for (int i = 1; i <= 10; ++i) {
        QVERIFY(e.act(QStringLiteral("IDM_TEIGATA_%1").arg(i))->isVisible());
        QCOMPARE(e.act(QStringLiteral("IDM_TEIGATA_%1").arg(i))->text(), QStringLiteral("T&&%1").arg(i));
        QVERIFY(e.act(QStringLiteral("IDM_CONTEXT_TEIGATA_%1").arg(i))->isVisible());
    }
    QVERIFY(e.act(QStringLiteral("separatorA"))->isVisible());
    QVERIFY(e.act(QStringLiteral("IDM_TEIGATA"))->isVisible());

    Editor two(QStringLiteral("a,b,c,d\r\ne,f,g,h\r\n"));
    QVERIFY(two.act(QStringLiteral("IDM_TEIGATA_2"))->isVisible());
    QVERIFY(!two.act(QStringLiteral("IDM_TEIGATA_3"))->isVisible());
    QVERIFY(!two.act(QStringLiteral("IDM_CONTEXT_TEIGATA_3"))->isVisible());
}

void TestSnippetKeys::menuItemsInsertWithTheirEndText()
{
    Editor e;
    e.w->session().buffer().SetText(QStringLiteral("abc"));
    e.w->session().buffer().SetSelection(0, 3);
    e.act(QStringLiteral("IDM_TEIGATA_3"))->trigger();  // 段落
    QCOMPARE(e.text(), QStringLiteral("<p>abc</p>"));
    e.act(QStringLiteral("IDM_CONTEXT_TEIGATA_3"))->trigger();
    QCOMPARE(e.text(), QStringLiteral("<p>abc</p><p></p>"));
    QCOMPARE(e.w->session().buffer().selectionStart(), 17);
}

QTEST_MAIN(TestSnippetKeys)
#include "tst_snippetkeys.moc"
