#include "editor/document/editbuffer.h"
#include "editor/tags/formatting.h"

#include <QTest>

using namespace tw;

class TestFormatting : public QObject {
    Q_OBJECT
private slots:
    void wrapTexts_data();
    void wrapTexts();
    void contextTwinsRunTheSameCommand();
    void menuCaptionsAndShortcuts_data();
    void menuCaptionsAndShortcuts();
    void toolbar2_data();
    void toolbar2();
    void toolbar2Order();
    void toolbar3();
    void colourToHex_data();
    void colourToHex();
    void dateTime();
    void caseChangesWholeText();
};

// Text "xabcx" with "abc" selected (or no selection at offset 1).
void TestFormatting::wrapTexts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("select");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("bold on selection") << "IDM_FORMAT_B" << true << "x<B>abc</B>x" << 11;
    QTest::newRow("bold without selection") << "IDM_FORMAT_B" << false << "x<B></B>abcx" << 8;
    QTest::newRow("italic") << "IDM_FORMAT_I" << true << "x<I>abc</I>x" << 11;
    QTest::newRow("underline") << "IDM_FORMAT_U" << true << "x<U>abc</U>x" << 11;
    QTest::newRow("strike") << "IDM_FORMAT_S" << true << "x<S>abc</S>x" << 11;
    QTest::newRow("strong") << "IDM_FORMAT_STRONG" << true << "x<STRONG>abc</STRONG>x" << 21;
    QTest::newRow("blink") << "IDM_FORMAT_BLINK" << true << "x<BLINK>abc</BLINK>x" << 19;
    QTest::newRow("big") << "IDM_FORMAT_BIG" << true << "x<BIG>abc</BIG>x" << 15;
    QTest::newRow("small") << "IDM_FORMAT_SMALL" << true << "x<SMALL>abc</SMALL>x" << 19;
    QTest::newRow("pre") << "IDM_FORMAT_PRE" << true << "x<PRE>abc</PRE>x" << 15;
    QTest::newRow("blockquote") << "IDM_FORMAT_BLOCKQUOTE" << true << "x<BLOCKQUOTE>abc</BLOCKQUOTE>x" << 29;
    QTest::newRow("sup") << "IDM_FORMAT_SUP" << true << "x<SUP>abc</SUP>x" << 15;
    QTest::newRow("sub") << "IDM_FORMAT_SUB" << true << "x<SUB>abc</SUB>x" << 15;
    QTest::newRow("left") << "IDM_LEFT" << true << "x<P align=\"left\">abc</P>x" << 24;
    QTest::newRow("center") << "IDM_CENTER" << true << "x<P align=\"center\">abc</P>x" << 26;
    QTest::newRow("right") << "IDM_RIGHT" << true << "x<P align=\"right\">abc</P>x" << 25;
    QTest::newRow("h1") << "IDM_FORMAT_H1" << true << "x<H1>abc</H1>x" << 13;
    QTest::newRow("h6") << "IDM_FORMAT_H6" << true << "x<H6>abc</H6>x" << 13;
    QTest::newRow("br replaces") << "IDM_INSERT_BR" << true << "x<BR>x" << 5;
    QTest::newRow("hr lower case") << "IDM_INSERT_HR" << false << "x<hr>abcx" << 5;
}

void TestFormatting::wrapTexts()
{
    QFETCH(QString, id);
    QFETCH(bool, select);
    QFETCH(QString, result);
    QFETCH(int, caret);
    MemoryEditBuffer b(QStringLiteral("xabcx"));
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
    b.SetSelection(1, select ? 3 : 0);
    const WrapCommand* cmd = findWrapCommand(id);
    QVERIFY(cmd);
    runWrapCommand(b, *cmd);
    QCOMPARE(b.text(), result);
    QCOMPARE(b.selectionStart(), caret);
    QCOMPARE(b.selectionLength(), 0);
    QCOMPARE(changes, 1);
}

void TestFormatting::contextTwinsRunTheSameCommand()
{
    int twins = 0;
    for (const WrapCommand& c : wrapCommands()) {
        if (c.contextId.isEmpty())
            continue;
        ++twins;
        QCOMPARE(findWrapCommand(c.contextId), &c);
        QVERIFY(c.contextId.startsWith(QLatin1String("IDM_CONTEXT_")));
    }
    QCOMPARE(twins, int(wrapCommands().size()) - 1);  // all but blink
    QVERIFY(findWrapCommand(QStringLiteral("IDM_FORMAT_BLINK"))->contextId.isEmpty());
    QVERIFY(!findWrapCommand(QStringLiteral("IDM_NOPE")));
}

void TestFormatting::menuCaptionsAndShortcuts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("contextCaption");
    QTest::newRow("b") << "IDM_FORMAT_B"
                       << "太字(&B)"
                       << "Ctrl+B"
                       << "太字(&B)";
    QTest::newRow("i") << "IDM_FORMAT_I"
                       << "イタリック(&I)"
                       << "Ctrl+I"
                       << "イタリック(&I)";
    QTest::newRow("u") << "IDM_FORMAT_U"
                       << "下線(&U)"
                       << "Ctrl+U"
                       << "下線(&U)";
    QTest::newRow("blink") << "IDM_FORMAT_BLINK"
                           << "点滅(NetScapeのみ)"
                           << ""
                           << "";
    QTest::newRow("pre") << "IDM_FORMAT_PRE"
                         << "整形済みテキスト(べた書き)"
                         << ""
                         << "整形済みテキスト(べた書き)";
    QTest::newRow("left") << "IDM_LEFT"
                          << "左揃え(&L)"
                          << ""
                          << "左揃え";
    QTest::newRow("center") << "IDM_CENTER"
                            << "中央揃え(&E)"
                            << "Ctrl+E"
                            << "中央揃え";
    QTest::newRow("right") << "IDM_RIGHT"
                           << "右揃え(&R)"
                           << "Ctrl+R"
                           << "右揃え";
    QTest::newRow("h3") << "IDM_FORMAT_H3"
                        << "見出し3(&3)"
                        << "F3"
                        << "見出し3";
    QTest::newRow("hr") << "IDM_INSERT_HR"
                        << "水平線(&H)"
                        << "Ctrl+H"
                        << "水平線(&H)";
}

void TestFormatting::menuCaptionsAndShortcuts()
{
    QFETCH(QString, id);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(QString, contextCaption);
    const WrapCommand* c = findWrapCommand(id);
    QVERIFY(c);
    QCOMPARE(c->caption, caption);
    QCOMPARE(c->shortcut, shortcut);
    QCOMPARE(c->contextCaption, contextCaption);
}

void TestFormatting::toolbar2_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("P wraps lower case") << "P"
                                        << "<p>a</p>" << 8;
    QTest::newRow("Br") << "Br"
                        << "<br>" << 4;
    QTest::newRow("Hr") << "Hr"
                        << "<hr>" << 4;
    QTest::newRow("<") << "<"
                       << "&lt;" << 4;
    QTest::newRow(">") << ">"
                       << "&gt;" << 4;
    QTest::newRow("&") << "&"
                       << "&amp;" << 5;
    QTest::newRow("dbc") << "dbc"
                         << "&quot;" << 6;
    QTest::newRow("sp") << "sp"
                        << "&nbsp;" << 6;
    QTest::newRow("time") << "time"
                          << "2026/12/08 9:05:07" << 18;
    QTest::newRow("comment") << "cm"
                             << "<!--\r\na\r\n-->" << 12;
    QTest::newRow("keys are case-sensitive") << "br"
                                             << "a" << 1;
}

void TestFormatting::toolbar2()
{
    QFETCH(QString, key);
    QFETCH(QString, result);
    QFETCH(int, caret);
    MemoryEditBuffer b(QStringLiteral("a"));
    b.SetSelection(0, 1);
    const bool known = runToolbar2Key(b, key, QStringLiteral("2026/12/08 9:05:07"));
    QCOMPARE(b.text(), result);
    QCOMPARE(known, key != QLatin1String("br"));
    if (known)
        QCOMPARE(b.selectionStart(), caret);
}

void TestFormatting::toolbar2Order()
{
    QStringList captions, tips;
    for (const ToolButtonDef& d : toolbar2Buttons()) {
        captions << d.caption;
        tips << d.tip;
    }
    QCOMPARE(captions, (QStringList{"BR", "HR", "P", "<", ">", "＆", "\"", "sp", "Time", "コメント"}));
    QCOMPARE(tips, (QStringList{"改行", "水平線", "段落", "<", ">", "アンパサンド", "ダブルコーテーション",
                                "半角スペース", "現在の時刻の挿入", "コメント文"}));
}

void TestFormatting::toolbar3()
{
    QCOMPARE(toolbar3Buttons().size(), 5);
    QCOMPARE(toolbar3Buttons().at(4).tip, QStringLiteral("見出し5"));
    QCOMPARE(toolbar3Command(QStringLiteral("h1")), QStringLiteral("IDM_FORMAT_H1"));
    QCOMPARE(toolbar3Command(QStringLiteral("h5")), QStringLiteral("IDM_FORMAT_H5"));
    QVERIFY(toolbar3Command(QStringLiteral("h6")).isEmpty());
    QVERIFY(toolbar3Command(QStringLiteral("H1")).isEmpty());
}

void TestFormatting::colourToHex_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QString>("hex");
    QTest::newRow("black") << quint32(0) << "000000";
    QTest::newRow("white") << quint32(0xFFFFFF) << "FFFFFF";
    QTest::newRow("red") << quint32(0x0000FF) << "FF0000";
    QTest::newRow("green") << quint32(0x00FF00) << "00FF00";
    QTest::newRow("blue") << quint32(0xFF0000) << "0000FF";
    QTest::newRow("mixed") << quint32(0x123456) << "563412";
    QTest::newRow("small value keeps zeros") << quint32(0x000A01) << "010A00";
}

void TestFormatting::colourToHex()
{
    QFETCH(quint32, colour);
    QFETCH(QString, hex);
    QCOMPARE(ColourToHex(colour), hex);
}

void TestFormatting::dateTime()
{
    QCOMPARE(dateTimeText(QDateTime(QDate(2026, 1, 2), QTime(13, 4, 5))), QStringLiteral("2026/01/02 13:04:05"));
}

void TestFormatting::caseChangesWholeText()
{
    QCOMPARE(upperCaseText(QStringLiteral("<a href=\"x\">Link ａ</a>")), QStringLiteral("<A HREF=\"X\">LINK Ａ</A>"));
    QCOMPARE(lowerCaseText(QStringLiteral("<P ALIGN=\"Left\">日本</P>")), QStringLiteral("<p align=\"left\">日本</p>"));
}

QTEST_APPLESS_MAIN(TestFormatting)
#include "tst_formatting.moc"
