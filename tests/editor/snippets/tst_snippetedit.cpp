#include "editor/document/editbuffer.h"
#include "editor/snippets/keyname.h"
#include "editor/snippets/snippetedit.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetinsert.h"
#include "tests/testkit/tempappfolder.h"

#include <QDir>
#include <QTest>

using namespace tw;
using tw::test::TempAppFolder;

Q_DECLARE_METATYPE(tw::SnippetBoxes)

namespace {

SnippetStore storeOf(const QList<TeigataEntry>& entries)
{
    return SnippetStore(entries);
}

QStringList titles(const SnippetStore& s)
{
    QStringList out;
    for (const TeigataEntry& e : s.entries())
        out << e.Title;
    return out;
}

}  // namespace

class TestSnippetEdit : public QObject {
    Q_OBJECT
private slots:
    void teigataInsert_data();
    void teigataInsert();
    void editBoxKey_data();
    void editBoxKey();
    void boxesRoundTrip();
    void listOperations_data();
    void listOperations();
    void refusedBoxes_data();
    void refusedBoxes();
    void insertButtonUsesStartTextOnly();
    void closeWritesStandardFile();
};

// The document "xabcx"; select = "abc" selected, else the caret at 1.
void TestSnippetEdit::teigataInsert_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("select");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::newRow("段落 around selection") << 3 << true << "x<p>abc</p>x" << 11;
    QTest::newRow("段落 without selection") << 3 << false << "x<p></p>abcx" << 8;
    QTest::newRow("C base without selection")
        << 2 << false << "x#include <stdio.h>\r\nint main(void)\r\n{\r\n\r\n\r\n  return (0);\r\n}abcx" << 60;
    QTest::newRow("C base: selection on line five")
        << 2 << true << "x#include <stdio.h>\r\nint main(void)\r\n{\r\n\r\nabc\r\n  return (0);\r\n}x" << 63;
    QTest::newRow("改行 has no end text") << 1 << true << "x<br>abcx" << 8;
    QTest::newRow("index 0 does nothing") << 0 << true << "xabcx" << 1;
    QTest::newRow("index past the store does nothing") << 6 << true << "xabcx" << 1;
}

void TestSnippetEdit::teigataInsert()
{
    QFETCH(int, index);
    QFETCH(bool, select);
    QFETCH(QString, text);
    QFETCH(int, caret);
    const SnippetStore store = storeOf(defaultSnippets());
    MemoryEditBuffer doc(QStringLiteral("xabcx"));
    doc.SetSelection(1, select ? 3 : 0);
    QCOMPARE(Teigata_Insert(doc, store, index), index >= 1 && index <= 5);
    QCOMPARE(doc.text(), text);
    QCOMPARE(doc.selectionStart(), qsizetype(caret));
    QCOMPARE(doc.selectionLength(), index >= 1 && index <= 5 ? 0 : (select ? 3 : 0));
}

void TestSnippetEdit::editBoxKey_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("text");  // of "xabcx" with "abc" selected
    QTest::addColumn<int>("inserted");
    QTest::addColumn<bool>("consumed");
    QTest::newRow("Shift+Ctrl+P: start text only") << 80 << 3 << "x<p>x" << 1 << false;
    QTest::newRow("Shift+Enter: <br>, key goes on") << 13 << 1 << "x<br>x" << 1 << false;
    QTest::newRow("same hot key twice, store order") << 84 << 2 << "x[1][2]x" << 2 << false;
    QTest::newRow("\\n becomes a break, \\t stays") << 76 << 2 << "x\\t<li>\r\n\tx" << 1 << false;
    QTest::newRow("name is case-sensitive") << 67 << 6 << "xabcx" << 0 << false;
    QTest::newRow("no modifier: F5 never fires") << 116 << 0 << "xabcx" << 0 << false;
    QTest::newRow("Ctrl+Shift+Insert has no name") << 45 << 3 << "xabcx" << 0 << false;
    QTest::newRow("no match") << 81 << 2 << "xabcx" << 0 << false;
    QTest::newRow("Tab inserts a tab") << 9 << 0 << "x\tx" << 0 << true;
    QTest::newRow("Shift+Tab too") << 9 << 1 << "x\tx" << 0 << true;
    QTest::newRow("Ctrl+Tab: snippet, then tab") << 9 << 2 << "xTAB\tx" << 1 << true;
}

void TestSnippetEdit::editBoxKey()
{
    QFETCH(int, vk);
    QFETCH(int, mask);
    QFETCH(QString, text);
    QFETCH(int, inserted);
    QFETCH(bool, consumed);
    QList<TeigataEntry> entries = defaultSnippets();
    entries << TeigataEntry{"one", "[1]", "end", "Ctrl+T"} << TeigataEntry{"plain", "F5!", "", "F5"}
            << TeigataEntry{"two", "[2]", "end", "Ctrl+T"} << TeigataEntry{"li", "\\t<li>\\n\t", "", "Ctrl+L"}
            << TeigataEntry{"case", "no", "", "ctrl+alt+C"} << TeigataEntry{"tab", "TAB", "", "Ctrl+Tab"};
    const SnippetStore store = storeOf(entries);
    MemoryEditBuffer doc(QStringLiteral("xabcx"));
    doc.SetSelection(1, 3);
    int changes = 0;
    QObject::connect(&doc, &EditBuffer::changed, [&] { ++changes; });

    const EditKeyResult r = handleEditBoxKey(doc, store, vk, mask);
    QCOMPARE(doc.text(), text);
    QCOMPARE(r.inserted, inserted);
    QCOMPARE(r.consumed, consumed);
    QCOMPARE(changes, inserted + (consumed ? 1 : 0));
    QCOMPARE(hotKeySnippets(store, vk, mask).size(), qsizetype(inserted));
}

void TestSnippetEdit::boxesRoundTrip()
{
    SnippetStore store;
    const SnippetBoxes typed{"リスト", "a\nb", "c\r\nd\te", "Shift+Ctrl+L"};
    QVERIFY(addSnippet(store, typed).ok());
    QCOMPARE(store.size(), 1);
    QCOMPARE(store.at(0), (TeigataEntry{"リスト", "a\\nb", "c\\nd\te", "Shift+Ctrl+L"}));
    // Shown again with CR LF breaks, the form the boxes are filled with.
    QCOMPARE(boxesFromEntry(store.at(0)), (SnippetBoxes{"リスト", "a\r\nb", "c\r\nd\te", "Shift+Ctrl+L"}));
    QCOMPARE(snippetListRow(store.at(0)), (QList<QString>{"リスト", "a\\nb", "c\\nd\te", "Shift+Ctrl+L"}));
}

// Operations on the store "A", "B", "C".
void TestSnippetEdit::listOperations_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("add appends") << "add" << -1 << true << QStringList{"A", "B", "C", "N"};
    QTest::newRow("change row 1") << "change" << 1 << true << QStringList{"A", "N", "C"};
    QTest::newRow("change without selection") << "change" << -1 << false << QStringList{"A", "B", "C"};
    QTest::newRow("delete row 0") << "delete" << 0 << true << QStringList{"B", "C"};
    QTest::newRow("delete without selection") << "delete" << -1 << false << QStringList{"A", "B", "C"};
    QTest::newRow("delete past the end") << "delete" << 3 << false << QStringList{"A", "B", "C"};
    QTest::newRow("copy entry 2 of 3") << "copy" << 1 << true << QStringList{"A", "B", "B", "C"};
    QTest::newRow("copy without selection") << "copy" << -1 << false << QStringList{"A", "B", "C"};
}

void TestSnippetEdit::listOperations()
{
    QFETCH(QString, op);
    QFETCH(int, row);
    QFETCH(bool, done);
    QFETCH(QStringList, after);
    SnippetStore store = storeOf({{"A", "<a>", "</a>", "Ctrl+A"}, {"B", "<b>", "</b>", "Ctrl+B"}, {"C", "", "", ""}});
    int changes = 0;
    QObject::connect(&store, &SnippetStore::changed, [&] { ++changes; });
    const SnippetBoxes boxes{"N", "n1\r\nn2", "", "Alt+N"};
    QString error;
    bool r = false;
    if (op == u"add") {
        const Result added = addSnippet(store, boxes);
        r = added.ok();
        error = added.reason();
    } else if (op == u"change") {
        const Result changed = changeSnippet(store, row, boxes);
        r = changed.ok();
        error = changed.reason();
    } else if (op == u"delete")
        r = deleteSnippet(store, row);
    else
        r = copySnippet(store, row);
    QCOMPARE(r, done);
    QCOMPARE(titles(store), after);
    QCOMPARE(changes, done ? 1 : 0);
    if (op == u"add" || op == u"change")
        QVERIFY(error.isEmpty());
    if (done && (op == u"add" || op == u"change"))
        QCOMPARE(store.at(op == u"add" ? 3 : row), (TeigataEntry{"N", "n1\\nn2", "", "Alt+N"}));
    if (done && op == u"copy")
        QCOMPARE(store.at(1), store.at(2));  // the hot key is copied too
}

void TestSnippetEdit::refusedBoxes_data()
{
    QTest::addColumn<SnippetBoxes>("boxes");
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("comma in title") << SnippetBoxes{"a,b", "x", "", ""} << "定型文のタイトルにカンマ";
    QTest::newRow("comma in start") << SnippetBoxes{"t", "<a,b>", "", ""} << "開始タグにカンマ";
    QTest::newRow("comma in end") << SnippetBoxes{"t", "", "a,", ""} << "終了タグにカンマ";
    QTest::newRow("comma in key") << SnippetBoxes{"t", "", "", ","} << "割り当てるキーにカンマ";
    QTest::newRow("break in title") << SnippetBoxes{"a\nb", "", "", ""} << "定型文のタイトルに改行";
    QTest::newRow("emoji") << SnippetBoxes{"t", "", "😀", ""} << "終了タグの文字 😀 (U+1F600)";
}

void TestSnippetEdit::refusedBoxes()
{
    QFETCH(SnippetBoxes, boxes);
    QFETCH(QString, inMessage);
    SnippetStore store = storeOf({{"A", "<a>", "", ""}});
    const Result added = addSnippet(store, boxes);
    QVERIFY(!added);
    QVERIFY2(added.reason().contains(inMessage), qPrintable(added.reason()));
    const Result changed = changeSnippet(store, 0, boxes);
    QVERIFY(!changed);
    QVERIFY2(changed.reason().contains(inMessage), qPrintable(changed.reason()));
    QCOMPARE(store.entries(), (QList<TeigataEntry>{{"A", "<a>", "", ""}}));
    // What the boxes may hold: empty fields, duplicate keys, tabs, "&".
    QVERIFY(snippetBoxesProblem({"", "", "", ""}).isEmpty());
    QVERIFY(snippetBoxesProblem({"A&B", "\t～", "line\r\nbreak", "Ctrl+A"}).isEmpty());
}

void TestSnippetEdit::insertButtonUsesStartTextOnly()
{
    const SnippetStore store = storeOf(defaultSnippets() << TeigataEntry{"li", "\\t<li>\\n", "</li>", ""});
    MemoryEditBuffer doc(QStringLiteral("xabcx"));
    doc.SetSelection(1, 3);
    QVERIFY(insertSnippetStartText(doc, store, 2));
    QCOMPARE(doc.text(), QStringLiteral("x<p>x"));
    QVERIFY(insertSnippetStartText(doc, store, 5));
    QCOMPARE(doc.text(), QStringLiteral("x<p>\t<li>\r\nx"));
    QVERIFY(!insertSnippetStartText(doc, store, -1));
    QCOMPARE(doc.text(), QStringLiteral("x<p>\t<li>\r\nx"));
}

void TestSnippetEdit::closeWritesStandardFile()
{
    TempAppFolder app;
    QDir().mkpath(app.file(QStringLiteral("tools/Setting")));
    SnippetStore store = storeOf(defaultSnippets());
    while (deleteSnippet(store, 0)) {}
    QVERIFY(saveStandardSnippetFile(store, app.path()).ok);
    QCOMPARE(snippetFilePath(app.path()), app.file(QStringLiteral("tools/Setting/teigata.csv")));
    QCOMPARE(app.read(QStringLiteral("tools/Setting/teigata.csv")), QByteArray());
    // The next start-up brings the defaults back.
    SnippetStore next;
    QVERIFY(LoadSnippetFile(next, snippetFilePath(app.path())).usedDefaults);
    QCOMPARE(next.entries(), defaultSnippets());

    // A failed write is reported naming the file, and the old file stays.
    QVERIFY(addSnippet(store, {"mine", "<b>", "</b>", ""}).ok());
    QVERIFY(saveStandardSnippetFile(store, app.path()).ok);
    const QByteArray before = app.read(QStringLiteral("tools/Setting/teigata.csv"));
    QCOMPARE(before, QByteArray("mine,<b>,</b>,\r\n"));
    store.append({"bad", "a,b", "", ""});
    const WriteResult failed = saveStandardSnippetFile(store, app.path());
    QVERIFY(!failed.ok);
    QVERIFY(failed.error.contains(QStringLiteral("teigata.csv")));
    QCOMPARE(app.read(QStringLiteral("tools/Setting/teigata.csv")), before);
}

QTEST_GUILESS_MAIN(TestSnippetEdit)
#include "tst_snippetedit.moc"
