#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetmenu.h"
#include "editor/snippets/snippettext.h"
#include "tests/testkit/tempappfolder.h"

#include <QTest>

using namespace tw;
using tw::test::TempAppFolder;

Q_DECLARE_METATYPE(tw::TeigataEntry)

namespace {

// The five defaults as the file holds them, CP932 with CR LF.
const QByteArray kDefaultFile = QByteArray(
    "\x89\xfc\x8ds,<br>,,Shift+Enter\r\n"
    "C\x82\xcc\x8a\xee\x96{\x95\xb6\x8c^,#include <stdio.h>\\nint main(void)\\n{\\n\\n,\\n  return (0);\\n},"
    "Shift+Ctrl+C\r\n"
    "\x92i\x97\x8e,<p>,</p>,Shift+Ctrl+P\r\n"
    "\x8f"
    "c\x8f\x91\x82\xab\x95\\\x8e\xa6,<div id=oDIV style=\"writing-mode:tb-rl\">,</div>,\r\n"
    "\x97\xa7\x91\xcc\x8b\xe6\x90\xd8\x82\xe8,_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/,,\r\n");

// Entries written as "Title|StartText|EndText|HotKey".
QStringList describe(const QList<TeigataEntry>& entries)
{
    QStringList out;
    for (const TeigataEntry& e : entries)
        out << QStringList{e.Title, e.StartText, e.EndText, e.HotKey}.join(u'|');
    return out;
}

QStringList describeDefaults()
{
    return describe(defaultSnippets());
}

TeigataEntry entry(const QString& t, const QString& s = {}, const QString& e = {}, const QString& k = {})
{
    return {t, s, e, k};
}

}  // namespace

class TestSnippetFile : public QObject {
    Q_OBJECT
private slots:
    void defaultsAreExact();
    void load_data();
    void load();
    void unreadableFileKeepsStore();
    void roundTrip_data();
    void roundTrip();
    void saveRefusesWhatWouldReadBackDifferently_data();
    void saveRefusesWhatWouldReadBackDifferently();
    void saveFailureNamesFile();
    void menuState_data();
    void menuState();
    void menuIds_data();
    void menuIds();
    void texts_data();
    void texts();
};

void TestSnippetFile::defaultsAreExact()
{
    const QList<TeigataEntry> d = defaultSnippets();
    QCOMPARE(d.size(), 5);
    QCOMPARE(d[1].EndText, QStringLiteral("\\n  return (0);\\n}"));
    QCOMPARE(d[4].StartText.size(), 38);

    TempAppFolder app;
    const QString path = app.file(QStringLiteral("teigata.csv"));
    QVERIFY(SaveSnippetFile(d, path).ok);
    const QByteArray bytes = app.read(QStringLiteral("teigata.csv"));
    QCOMPARE(bytes, kDefaultFile);
    // 改行,<br>,,Shift+Enter
    QCOMPARE(bytes.left(bytes.indexOf("\r\n") + 2), QByteArray("\x89\xfc\x8d\x73,<br>,,Shift+Enter\r\n"));
    QCOMPARE(bytes.count("\r\n"), 5);
}

void TestSnippetFile::load_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("usedDefaults");
    QTest::addColumn<int>("stoppedAt");
    QTest::addColumn<int>("unread");

    QTest::newRow("missing file") << false << QByteArray() << describeDefaults() << true << 0 << 0;
    QTest::newRow("empty file") << true << QByteArray() << describeDefaults() << true << 0 << 0;
    QTest::newRow("the defaults' bytes") << true << kDefaultFile << describeDefaults() << false << 0 << 0;
    QTest::newRow("one line") << true << QByteArray("a,b,c,d\r\n") << QStringList{"a|b|c|d"} << false << 0 << 0;
    QTest::newRow("fifth piece dropped") << true << QByteArray("a,b,c,d,e\r\n") << QStringList{"a|b|c|d"} << false << 0
                                         << 0;
    QTest::newRow("empty fields") << true << QByteArray(",,,\r\nt,,,\r\n") << QStringList{"|||", "t|||"} << false << 0
                                  << 0;
    QTest::newRow("pieces not trimmed") << true << QByteArray(" a , b,c ,d \r\n") << QStringList{" a | b|c |d "}
                                        << false << 0 << 0;
    QTest::newRow("no final break") << true << QByteArray("a,b,c,d\r\nw,x,y,z") << QStringList{"a|b|c|d", "w|x|y|z"}
                                    << false << 0 << 0;
    QTest::newRow("bare LF breaks") << true << QByteArray("a,b,c,d\nw,x,y,z\n") << QStringList{"a|b|c|d", "w|x|y|z"}
                                    << false << 0 << 0;
    QTest::newRow("short line stops") << true << QByteArray("a,b,c,d\r\nx,y\r\nw,x,y,z\r\n") << QStringList{"a|b|c|d"}
                                      << false << 2 << 2;
    QTest::newRow("empty line stops") << true << QByteArray("a,b,c,d\r\n\r\nw,x,y,z\r\n") << QStringList{"a|b|c|d"}
                                      << false << 2 << 2;
    QTest::newRow("trailing empty line") << true << QByteArray("a,b,c,d\r\n\r\n") << QStringList{"a|b|c|d"} << false
                                         << 2 << 1;
    QTest::newRow("first line short: no defaults")
        << true << QByteArray("\r\na,b,c,d\r\n") << QStringList{} << false << 1 << 2;
    // ﾐｽ in CP932 (D0 BD) is also valid UTF-8 (н): without a BOM the file is CP932.
    QTest::newRow("kana pair stays CP932")
        << true << QByteArray("\xd0\xbd,<p>,</p>,\r\n") << QStringList{"ﾐｽ|<p>|</p>|"} << false << 0 << 0;
    QTest::newRow("UTF-8 with BOM") << true << QByteArray("\xEF\xBB\xBF") + QStringLiteral("段落,<p>,</p>,").toUtf8()
                                    << QStringList{"段落|<p>|</p>|"} << false << 0 << 0;
    // 表 ends in the byte of a backslash; it must not start a "\n".
    QTest::newRow("CP932 trail byte 5C") << true << QByteArray("\x95\\n,\x95\\,x,\r\n") << QStringList{"表n|表|x|"}
                                         << false << 0 << 0;
}

void TestSnippetFile::load()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(bool, usedDefaults);
    QFETCH(int, stoppedAt);
    QFETCH(int, unread);

    TempAppFolder app;
    if (exists)
        app.put(QStringLiteral("teigata.csv"), bytes);
    SnippetStore store;
    store.setEntries({entry(QStringLiteral("old"))});
    int changes = 0;
    QObject::connect(&store, &SnippetStore::changed, [&] { ++changes; });

    const SnippetLoadResult r = LoadSnippetFile(store, app.file(QStringLiteral("teigata.csv")));
    QVERIFY(r.ok);
    QCOMPARE(describe(store.entries()), entries);
    QCOMPARE(r.usedDefaults, usedDefaults);
    QCOMPARE(r.stoppedAtLine, stoppedAt);
    QCOMPARE(r.unreadLines, unread);
    QCOMPARE(changes, 1);
    // Loading never writes the file.
    QCOMPARE(app.exists(QStringLiteral("teigata.csv")), exists);
}

void TestSnippetFile::unreadableFileKeepsStore()
{
    TempAppFolder app;
    app.put(QStringLiteral("teigata.csv/inside"), "x");  // the path is a folder
    SnippetStore store;
    store.setEntries({entry(QStringLiteral("mine"), QStringLiteral("<b>"))});
    const SnippetLoadResult r = LoadSnippetFile(store, app.file(QStringLiteral("teigata.csv")));
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains(QStringLiteral("teigata.csv")));
    QCOMPARE(describe(store.entries()), QStringList{"mine|<b>||"});
}

void TestSnippetFile::roundTrip_data()
{
    QTest::addColumn<QList<TeigataEntry>>("entries");
    QTest::addColumn<QByteArray>("firstLine");

    QTest::newRow("line breaks and tabs")
        << QList<TeigataEntry>{entry("リスト", "<ul>\\n\t<li>", "\\n</ul>", "Shift+Ctrl+L"), entry("x", "\\t<li>")}
        << QByteArray("\x83\x8a\x83X\x83g,<ul>\\n\t<li>,\\n</ul>,Shift+Ctrl+L\r\n");
    QTest::newRow("ampersand and quotes")
        << QList<TeigataEntry>{entry("A&B", "&amp;", "\"'", "Alt+F5")} << QByteArray("A&B,&amp;,\"',Alt+F5\r\n");
    QTest::newRow("CP932 particular characters") << QList<TeigataEntry>{entry("～①髙﨑", "ｶﾀｶﾅ", "ﾞ", "")}
                                                 << QByteArray("\x81`\x87@\xfb\xfc\xfa\xb1,\xb6\xc0\xb6\xc5,\xde,\r\n");
    QTest::newRow("empty fields") << QList<TeigataEntry>{entry(""), entry("", "", "", "F5")} << QByteArray(",,,\r\n");
    QTest::newRow("nothing") << QList<TeigataEntry>{} << QByteArray();
}

void TestSnippetFile::roundTrip()
{
    QFETCH(QList<TeigataEntry>, entries);
    QFETCH(QByteArray, firstLine);

    TempAppFolder app;
    const QString path = app.file(QStringLiteral("teigata.csv"));
    SnippetStore saved;
    saved.setEntries(entries);
    QVERIFY(SaveSnippetFile(saved, path).ok);
    const QByteArray bytes = app.read(QStringLiteral("teigata.csv"));
    QCOMPARE(bytes.count("\r\n"), entries.size());
    QCOMPARE(bytes.left(firstLine.size()), firstLine);

    SnippetStore loaded;
    LoadSnippetFile(loaded, path);
    if (entries.isEmpty())
        QCOMPARE(loaded.entries(), defaultSnippets());
    else
        QCOMPARE(loaded.entries(), entries);
}

void TestSnippetFile::saveRefusesWhatWouldReadBackDifferently_data()
{
    QTest::addColumn<TeigataEntry>("bad");
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("comma in title") << entry("a,b", "x") << QStringLiteral("カンマ");
    QTest::newRow("comma in end text") << entry("t", "x", "a,b") << QStringLiteral("カンマ");
    QTest::newRow("raw line break") << entry("t", "a\r\nb") << QStringLiteral("改行");
    QTest::newRow("emoji") << entry("t", QStringLiteral("😀")) << QStringLiteral("U+1F600");
}

void TestSnippetFile::saveRefusesWhatWouldReadBackDifferently()
{
    QFETCH(TeigataEntry, bad);
    QFETCH(QString, inMessage);
    TempAppFolder app;
    app.put(QStringLiteral("teigata.csv"), "old,file,,\r\n");
    const WriteResult r =
        SaveSnippetFile(QList<TeigataEntry>{entry("ok", "fine"), bad}, app.file(QStringLiteral("teigata.csv")));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("teigata.csv")), qPrintable(r.error));
    QVERIFY2(r.error.contains(inMessage), qPrintable(r.error));
    QCOMPARE(app.read(QStringLiteral("teigata.csv")), QByteArray("old,file,,\r\n"));
}

void TestSnippetFile::saveFailureNamesFile()
{
    TempAppFolder app;
    const QString path = app.file(QStringLiteral("no such folder/teigata.csv"));
    const WriteResult r = SaveSnippetFile(defaultSnippets(), path);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("no such folder/teigata.csv")), qPrintable(r.error));
    QVERIFY(!app.exists(QStringLiteral("no such folder")));
}

void TestSnippetFile::menuState_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("visible");
    QTest::newRow("empty store") << 0 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("ten") << 10 << 10;
    QTest::newRow("twelve") << 12 << 10;
}

void TestSnippetFile::menuState()
{
    QFETCH(int, count);
    QFETCH(int, visible);
    SnippetStore store;
    QList<TeigataEntry> entries;
    for (int i = 1; i <= count; ++i)
        entries << entry(QStringLiteral("項目%1 & co").arg(i), QStringLiteral("<p>"));
    store.setEntries(entries);

    const SnippetMenuState s = snippetMenuState(store);
    QCOMPARE(s.mainItems.size(), kSnippetMenuItemCount);
    QCOMPARE(s.contextItems.size(), kSnippetMenuItemCount);
    for (int n = 1; n <= kSnippetMenuItemCount; ++n) {
        const SnippetMenuItem& m = s.mainItems[n - 1];
        const SnippetMenuItem& c = s.contextItems[n - 1];
        QCOMPARE(m.id, QStringLiteral("IDM_TEIGATA_%1").arg(n));
        QCOMPARE(c.id, QStringLiteral("IDM_CONTEXT_TEIGATA_%1").arg(n));
        QCOMPARE(m.index, n);
        QCOMPARE(m.visible, n <= visible);
        QCOMPARE(c.visible, n <= visible);
        const QString caption = n <= visible ? QStringLiteral("項目%1 && co").arg(n) : QString();
        QCOMPARE(m.caption, caption);
        QCOMPARE(c.caption, caption);
    }
    QCOMPARE(s.separatorAVisible, count > 0);
    QCOMPARE(s.contextSeparatorVisible, count > 0);
}

void TestSnippetFile::menuIds_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("index");
    QTest::newRow("main 1") << "IDM_TEIGATA_1" << 1;
    QTest::newRow("main 10") << "IDM_TEIGATA_10" << 10;
    QTest::newRow("context 3") << "IDM_CONTEXT_TEIGATA_3" << 3;
    QTest::newRow("11 is no item") << "IDM_TEIGATA_11" << 0;
    QTest::newRow("0 is no item") << "IDM_TEIGATA_0" << 0;
    QTest::newRow("leading zero") << "IDM_TEIGATA_03" << 0;
    QTest::newRow("dialog command") << "IDM_TEIGATA" << 0;
    QTest::newRow("context edit") << "IDM_CONTEXT_TEIGATA_EDIT" << 0;
    QTest::newRow("context separator") << "IDM_CONTEXT_TEIGATA_S1" << 0;
}

void TestSnippetFile::menuIds()
{
    QFETCH(QString, id);
    QFETCH(int, index);
    QCOMPARE(snippetIndexFromMenuId(id), index);
    if (index > 0)
        QVERIFY(snippetMenuId(index) == id || snippetContextMenuId(index) == id);
}

void TestSnippetFile::texts_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("menu");    // DecodeSnippetText
    QTest::addColumn<QString>("hotKey");  // decodeHotKeyText
    QTest::addColumn<QString>("shown");   // DecodeLineBreaks
    QTest::newRow("plain") << "<p>"
                           << "<p>"
                           << "<p>"
                           << "<p>";
    QTest::newRow("breaks") << "a\\nb\\n"
                            << "a\r\nb\r\n"
                            << "a\r\nb\r\n"
                            << "a\r\nb\r\n";
    QTest::newRow("backslash t") << "\\t<li>"
                                 << "\t<li>"
                                 << "\\t<li>"
                                 << "\\t<li>";
    QTest::newRow("real tab") << "\t<li>"
                              << "\t<li>"
                              << "\t<li>"
                              << "\t<li>";
    QTest::newRow("upper case N stays") << "a\\Nb\\T"
                                        << "a\\Nb\\T"
                                        << "a\\Nb\\T"
                                        << "a\\Nb\\T";
    QTest::newRow("double backslash") << "\\\\n"
                                      << "\\\r\n"
                                      << "\\\r\n"
                                      << "\\\r\n";
    QTest::newRow("n before t") << "\\nt\\t"
                                << "\r\nt\t"
                                << "\r\nt\\t"
                                << "\r\nt\\t";
}

void TestSnippetFile::texts()
{
    QFETCH(QString, stored);
    QFETCH(QString, menu);
    QFETCH(QString, hotKey);
    QFETCH(QString, shown);
    QCOMPARE(DecodeSnippetText(stored), menu);
    QCOMPARE(decodeHotKeyText(stored), hotKey);
    QCOMPARE(DecodeLineBreaks(stored), shown);
    // What the dialog shows is stored back unchanged.
    QCOMPARE(EncodeLineBreaks(shown), stored);
}

QTEST_GUILESS_MAIN(TestSnippetFile)
#include "tst_snippetfile.moc"
