// The generators of the insert builders, byte for byte.

#include "editor/builders/calendar.h"
#include "editor/builders/gradation.h"
#include "editor/builders/links.h"
#include "editor/builders/listskeleton.h"
#include "editor/builders/marquee.h"
#include "editor/builders/pageskeleton.h"
#include "editor/builders/scriptlibrary.h"
#include "editor/builders/table.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <limits>

using namespace tw;

namespace {
// Lines joined by CR LF, none after the last.
QString lines(std::initializer_list<const char*> l)
{
    QStringList out;
    for (const char* s : l)
        out << QString::fromUtf8(s);
    return out.join(QStringLiteral("\r\n"));
}

const char* const kHead[] = {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">", "<HTML>", "<HEAD>",
                             "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">"};

QString head(const char* title)
{
    QString s;
    for (const char* l : kHead)
        s += QString::fromUtf8(l) + QStringLiteral("\r\n");
    return s + QStringLiteral("<TITLE>") + QString::fromUtf8(title) + QStringLiteral("</TITLE>\r\n");
}

QString noFrames(const char* indent)
{
    return QStringLiteral(" <NOFRAMES>\r\n <BODY>\r\n") + QLatin1String(indent)
           + QStringLiteral(
               "<P>このページの閲覧には、フレームの表示に対応したブラウザが必要です。</P>\r\n"
               " </BODY>\r\n </NOFRAMES>\r\n</FRAMESET>\r\n</HTML>");
}

QString fontColours(const QString& text)
{
    // The colours of the elements, in order: "#FF0000", ...
    QStringList colours;
    qsizetype at = 0;
    while ((at = text.indexOf(QStringLiteral("color=\""), at)) >= 0) {
        colours << text.mid(at + 7, 7);
        at += 7;
    }
    return colours.join(QLatin1Char(' '));
}
}  // namespace

class TestBuilders : public QObject {
    Q_OBJECT
private slots:
    void skeleton_data();
    void skeleton();
    void frames_data();
    void frames();
    void calendar_data();
    void calendar();
    void calendarWhole();
    void list_data();
    void list();
    void gradation_data();
    void gradation();
    void gradationSizesAndBreaks();
    void fuzzEveryGenerator();
    void table_data();
    void table();
    void marquee_data();
    void marquee();
    void links_data();
    void links();
    void scriptLibrary_data();
    void scriptLibrary();
    void shippedScriptLibrary();
};

void TestBuilders::skeleton_data()
{
    QTest::addColumn<PageSkeletonOptions>("o");
    QTest::addColumn<QString>("expected");
    PageSkeletonOptions o;
    QTest::newRow("defaults") << o << head("タイトル") + lines({"</head>", "<body>", "", "</BODY>", "</HTML>"});
    o.title.clear();
    QTest::newRow("empty title") << o << head("") + lines({"</head>", "<body>", "", "</BODY>", "</HTML>"});
    o = {};
    o.pointColor = QStringLiteral("red");
    o.pageMaker = QStringLiteral("me");
    QTest::newRow("hover colour around the meta lines")
        << o
        << head("タイトル")
               + lines({"<META HTTP-EQUIV=\"content-style-type\" CONTENT=\"text/css\">",
                        "<META NAME=\"author\" CONTENT=\"me\">", "<STYLE TYPE=\"text/css\">", "<!--",
                        "A:hover { color: red }", "-->", "</STYLE>", "</head>", "<body>", "", "</BODY>", "</HTML>"});
    o = {};
    o.css = QStringLiteral("a.css");
    o.searchWords = QStringLiteral("x,y");
    o.pageIntroduce = QStringLiteral("d");
    o.pageMaker = QStringLiteral("a");
    o.tyosakuInfo = QStringLiteral("c");
    o.mailAddress = QStringLiteral("m@x");
    o.bgColor = QStringLiteral("#FF0000");
    o.textColor = QStringLiteral("blue");
    o.backPic = QStringLiteral("./bg.gif");
    o.linkColor = QStringLiteral("red");
    o.clickColor = QStringLiteral("lime");
    o.linkZumiColor = QStringLiteral("navy");
    QTest::newRow("everything, in order")
        << o
        << head("タイトル")
               + lines({"<link rel=\"stylesheet\" href=\"a.css\">", "<META HTTP-EQUIV=\"keyword\" CONTENT=\"x,y\">",
                        "<META NAME=\"description\" CONTENT=\"d\">", "<META NAME=\"author\" CONTENT=\"a\">",
                        "<META NAME=\"copyright\" CONTENT=\"c\">", "<META NAME=\"reply-to\" CONTENT=\"m@x\">",
                        "</head>",
                        "<body bgcolor=\"#FF0000\" text=\"blue\" background=\"./bg.gif\" LINK=\"red\" ALINK=\"lime\" "
                        "VLINK=\"navy\">",
                        "", "</BODY>", "</HTML>"});
    o = {};
    o.textColor.clear();
    o.title = QStringLiteral("a\"<b>");
    QTest::newRow("erased colour is written, nothing escaped")
        << o << head("a\"<b>") + lines({"</head>", "<body text=\"\">", "", "</BODY>", "</HTML>"});
    o = {};
    o.frame = true;
    o.frameKind = -1;
    o.bgColor = QStringLiteral("red");
    QTest::newRow("frame page without a layout") << o << head("タイトル") + lines({"</head>", "", "</HTML>"});
}

void TestBuilders::skeleton()
{
    QFETCH(PageSkeletonOptions, o);
    QFETCH(QString, expected);
    QCOMPARE(BuildPageSkeleton(o), expected);
}

void TestBuilders::frames_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("sets");
    QTest::newRow("two columns") << 0
                                 << lines({"<FRAMESET cols=\"50%,50%\">", " <FRAME src=\"page1.htm\">",
                                           " <FRAME src=\"page2.htm\">", ""})
                                        + noFrames("  ");
    QTest::newRow("two rows") << 1
                              << lines({"<FRAMESET rows=\"50%,50%\">", " <FRAME src=\"page1.htm\">",
                                        " <FRAME src=\"page2.htm\">", ""})
                                     + noFrames("  ");
    QTest::newRow("three columns") << 2
                                   << lines({"<FRAMESET cols=\"33%,*,33%\">", " <FRAME src=\"page1.htm\">",
                                             " <FRAME src=\"page2.htm\">", " <FRAME src=\"page3.htm\">", ""})
                                          + noFrames(" ");
    QTest::newRow("three rows") << 3
                                << lines({"<FRAMESET rows=\"30%,*,30%\">", " <FRAME src=\"page1.htm\">",
                                          " <FRAME src=\"page2.htm\">", " <FRAME src=\"page3.htm\">", ""})
                                       + noFrames(" ");
    QTest::newRow("top row, columns below")
        << 4
        << lines({"<FRAMESET rows=\"100,*\">", " <FRAME src=\"page1.htm\">", " <FRAMESET cols=\"100,*\">",
                  "  <FRAME src=\"page2.htm\">", "  <FRAME src=\"page3.htm\">", " </FRAMESET>", ""})
               + noFrames(" ");
    QTest::newRow("left column, rows beside")
        << 5
        << lines({"<FRAMESET cols=\"100,*\">", " <FRAME src=\"page1.htm\">", " <FRAMESET rows=\"100,*\">",
                  "  <FRAME src=\"page2.htm\">", "  <FRAME src=\"page3.htm\">", " </FRAMESET>", ""})
               + noFrames(" ");
}

void TestBuilders::frames()
{
    QFETCH(int, kind);
    QFETCH(QString, sets);
    PageSkeletonOptions o;
    o.frame = true;
    o.frameKind = kind;
    // Body attributes are ignored; the head's lines stay.
    o.bgColor = QStringLiteral("red");
    o.backPic = QStringLiteral("bg.gif");
    o.css = QStringLiteral("s.css");
    o.pointColor = QStringLiteral("blue");
    QCOMPARE(BuildPageSkeleton(o),
             head("タイトル")
                 + lines({"<link rel=\"stylesheet\" href=\"s.css\">",
                          "<META HTTP-EQUIV=\"content-style-type\" CONTENT=\"text/css\">", "<STYLE TYPE=\"text/css\">",
                          "<!--", "A:hover { color: blue }", "-->", "</STYLE>", "</head>", ""})
                 + sets);
}

void TestBuilders::calendar_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("dates");  // the text after the date rows' comment
    const QString row = QStringLiteral("\r\n</tr>\r\n<tr align=\"center\">\r\n");
    auto cells = [](int from, int to) {
        QString s;
        for (int d = from; d <= to; ++d)
            s += QStringLiteral("<td>%1</td>").arg(d);
        return s;
    };
    const QString open = QStringLiteral("<tr align=\"center\">\r\n");
    const QString close = QStringLiteral("</tr>\r\n</table>\r\n<!-- ■ここまでカレンダー■ -->");
    QTest::newRow("starts on Sunday, 28 days")
        << 2026 << 2 << 4
        << open + cells(1, 7) + row + cells(8, 14) + row + cells(15, 21) + row + cells(22, 28) + close;
    QTest::newRow("starts on Saturday, six rows")
        << 2025 << 11 << 6
        << open + QStringLiteral("<td></td>").repeated(6) + cells(1, 1) + row + cells(2, 8) + row + cells(9, 15) + row
               + cells(16, 22) + row + cells(23, 29) + row + cells(30, 30) + close;
    QTest::newRow("leap February") << 2024 << 2 << 5
                                   << open + QStringLiteral("<td></td>").repeated(4) + cells(1, 3) + row + cells(4, 10)
                                          + row + cells(11, 17) + row + cells(18, 24) + row + cells(25, 29) + close;
    QTest::newRow("2100 is no leap year")
        << 2100 << 2 << 5
        << open + QStringLiteral("<td></td>").repeated(1) + cells(1, 6) + row + cells(7, 13) + row + cells(14, 20) + row
               + cells(21, 27) + row + cells(28, 28) + close;
    QTest::newRow("31 days from Friday") << 2026 << 5 << 6
                                         << open + QStringLiteral("<td></td>").repeated(5) + cells(1, 2) + row
                                                + cells(3, 9) + row + cells(10, 16) + row + cells(17, 23) + row
                                                + cells(24, 30) + row + cells(31, 31) + close;
}

void TestBuilders::calendar()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, rows);
    QFETCH(QString, dates);
    const QString text = BuildCalendar({year, month, QStringLiteral("0")});
    const QString marker = QStringLiteral("<!-- 日付表示部 -->\r\n");
    QCOMPARE(text.mid(text.indexOf(marker) + marker.size()), dates);
    QCOMPARE(monthShape(year, month).rows, rows);
}

void TestBuilders::calendarWhole()
{
    const QString text = BuildCalendar({2026, 2, QStringLiteral("1\"x")});
    QCOMPARE(text.left(text.indexOf(QStringLiteral("<td>1</td>"))),
             lines({"<!-- ■ここからカレンダー■ -->", "<table border=\"1\"x\">", "<!-- 年月表示部 -->",
                    "<tr align=\"center\">", "<td colspan=\"4\">2026 年</td>", "<td colspan=\"3\">2 月</td>", "</tr>",
                    "<!-- 曜日表示部 -->", "<tr align=\"center\">",
                    "<td>日</td><td>月</td><td>火</td><td>水</td><td>木</td><td>金</td><td>土</td>", "</tr>",
                    "<!-- 日付表示部 -->", "<tr align=\"center\">", ""}));
    QCOMPARE(BuildCalendar({2026, 13, QStringLiteral("0")}), QString());
}

void TestBuilders::list_data()
{
    QTest::addColumn<ListOptions>("o");
    QTest::addColumn<QString>("expected");
    auto L = [](const char* kind, const char* count, const char* start = "1", const char* pic = "") {
        return ListOptions{QString::fromUtf8(kind), QString::fromUtf8(count), QString::fromUtf8(start),
                           QString::fromUtf8(pic)};
    };
    QTest::newRow("plain") << L("指定なし(・)", "2") << lines({"<UL>", " <LI></LI>", " <LI></LI>", "</UL>"});
    QTest::newRow("circle") << L("○", "1") << lines({"<UL type=\"circle\">", " <LI></LI>", "</UL>"});
    QTest::newRow("square on one line") << L("■", "3")
                                        << lines({"<UL type=\"square\">", " <LI></LI> <LI></LI> <LI></LI>", "</UL>"});
    QTest::newRow("square, none") << L("■", "0") << lines({"<UL type=\"square\">", "", "</UL>"});
    QTest::newRow("disc") << L("●", "1") << lines({"<UL type=\"disc\">", " <LI></LI>", "</UL>"});
    QTest::newRow("numbers from 1") << L("1,2,3,4,5", "3")
                                    << lines({"<OL type=\"1\">", " <LI></LI>", " <LI></LI>", " <LI></LI>", "</OL>"});
    QTest::newRow("numbers from 5") << L("1,2,3,4,5", "1", "5")
                                    << lines({"<OL type=\"1\" start=\"5\">", " <LI></LI>", "</OL>"});
    QTest::newRow("start 1.0 is 1") << L("Ⅰ,Ⅱ,Ⅲ,Ⅳ,Ⅴ", "1", "1.0") << lines({"<OL type=\"I\">", " <LI></LI>", "</OL>"});
    QTest::newRow("start written as typed")
        << L("ⅰ,ⅱ,ⅲ,ⅳ,ⅴ", "0", " 07") << lines({"<OL type=\"i\" start=\" 07\">", "</OL>"});
    QTest::newRow("letters") << L("A,B,C,D,E", "0") << lines({"<OL type=\"A\">", "</OL>"});
    QTest::newRow("small letters, start ignored by kind")
        << L("a,b,c,d,e", "1", "0") << lines({"<OL type=\"a\" start=\"0\">", " <LI></LI>", "</OL>"});
    QTest::newRow("picture") << L("画像", "1", "x", "./img/b.gif")
                             << lines({"<UL style=\"list-style-image:url(./img/b.gif);\">", " <LI></LI>", "</UL>"});
    QTest::newRow("picture, no path") << L("画像", "0") << lines({"<UL style=\"list-style-image:url();\">", "</UL>"});
    QTest::newRow("definition") << L("定義型リスト", "2")
                                << lines({"<DL>", " <DT>", "  <DD>", " <DT>", "  <DD>", "</DL>"});
    QTest::newRow("negative count: no items") << L("●", "-4") << lines({"<UL type=\"disc\">", "</UL>"});
    QTest::newRow("2.5 items are two") << L("指定なし(・)", "2.5")
                                       << lines({"<UL>", " <LI></LI>", " <LI></LI>", "</UL>"});
    QTest::newRow("unknown kind refused")
        << L("◇", "3") << QStringLiteral("マークには一覧にある種類を選んでください。");
    // Refused with a message, nothing built.
    QTest::newRow("count not a number") << L("●", "abc") << QStringLiteral("項目数には数値を入力してください。");
    QTest::newRow("count empty") << L("●", "") << QStringLiteral("項目数には数値を入力してください。");
    QTest::newRow("count infinite") << L("●", "inf") << QStringLiteral("項目数には数値を入力してください。");
    QTest::newRow("count huge") << L("●", "1e12") << QStringLiteral("項目数は 100000 以下にしてください。");
    QTest::newRow("start not a number") << L("A,B,C,D,E", "2", "x")
                                        << QStringLiteral("開始番号には数値を入力してください。");
    QTest::newRow("start unused by bullets") << L("●", "0", "x") << lines({"<UL type=\"disc\">", "</UL>"});
}

void TestBuilders::list()
{
    QFETCH(ListOptions, o);
    QFETCH(QString, expected);
    const bool refused = expected.endsWith(QStringLiteral("。"));
    QCOMPARE(listInputProblem(o), refused ? expected : QString());
    QCOMPARE(BuildList(o), refused ? QString() : expected);
}

void TestBuilders::gradation_data()
{
    QTest::addColumn<GradationOptions>("o");
    QTest::addColumn<QString>("colours");
    GradationOptions o;
    QTest::newRow("sample, 14 characters")
        << o
        << QStringLiteral(
               "#FF0000 #ED1200 #DB2400 #C93600 #B74800 #A55A00 #936C00 #817E00 #6F9000 #5DA200 "
               "#4BB400 #39C600 #27D800 #00FF00");
    o.text = QStringLiteral("あ");
    QTest::newRow("one character: start colour") << o << QStringLiteral("#FF0000");
    o.text = QStringLiteral("ab");
    QTest::newRow("two: start and end") << o << QStringLiteral("#FF0000 #00FF00");
    o = {};
    o.text = QStringLiteral("abcd");
    o.start[0] = 0;
    o.end[0] = 10;
    o.end[1] = 0;
    QTest::newRow("2.5 rounds to 2, leading zero") << o << QStringLiteral("#000000 #020000 #040000 #0A0000");
    o.end[0] = 14;
    QTest::newRow("3.5 rounds to 4") << o << QStringLiteral("#000000 #040000 #080000 #0E0000");
    o = {};
    o.text = QStringLiteral("0123456789");
    o.start[0] = 0;
    o.start[2] = 249;
    o.end[1] = 0;
    o.end[2] = 255;
    // 6 / 10 rounds to 1: eight steps would pass 255.
    QTest::newRow("running colour clamped at 255")
        << o << QStringLiteral("#0000F9 #0000FA #0000FB #0000FC #0000FD #0000FE #0000FF #0000FF #0000FF #0000FF");
    o.text.clear();
    QTest::newRow("empty text") << o << QString();
}

void TestBuilders::gradation()
{
    QFETCH(GradationOptions, o);
    QFETCH(QString, colours);
    const Gradation g = BuildGradation(o);
    QCOMPARE(fontColours(g.text), colours);
    QCOMPARE(g.preview.size(), o.text.size());
}

void TestBuilders::gradationSizesAndBreaks()
{
    GradationOptions s;
    s.text = QStringLiteral("ab\U0001F600d");
    s.fontSize = true;
    s.lineBreaks = true;
    s.startSize = 1;
    s.endSize = 7;
    s.end[1] = 0;
    s.end[2] = 255;
    const Gradation sized = BuildGradation(s);
    QCOMPARE(sized.text, QStringLiteral("<font color=\"#FF0000\" size=\"1\">a</font>\r\n"
                                        "<font color=\"#BF0040\" size=\"3\">b</font>\r\n"
                                        "<font color=\"#7F0080\" size=\"4\">\U0001F600</font>\r\n"
                                        "<font color=\"#0000FF\" size=\"5\">d</font>\r\n"));
    QCOMPARE(sized.preview[2].pointSize, 9);
    QCOMPARE(BuildGradation(GradationOptions{}).preview[0].pointSize, 10);
}

void TestBuilders::fuzzEveryGenerator()
{
    // Hostile values in every field of every generator, the same on each run:
    // each call returns, refused values build nothing, and no text outgrows
    // what the values may ask for (the largest table: 28 characters a cell).
    const QStringList pool = {"",
                              "-5",
                              "0",
                              "3",
                              "-1e18",
                              "1e18",
                              "1000000000",
                              "1000001",
                              "abc",
                              "nan",
                              "１万",
                              " 2.5 ",
                              "<\"&\r\n",
                              QString(1 << 20, u'9'),
                              QString(1 << 20, u'字')};
    const int ints[] = {0, -1, 7, 256, 10000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    QRandomGenerator rng(25);
    auto s = [&] { return pool[rng.bounded(int(pool.size()))]; };
    auto n = [&] { return ints[rng.bounded(int(std::size(ints)))]; };
    const qsizetype most = 28 * qsizetype(kMaxTableCells) + 16 * (1 << 20);
    for (int round = 0; round < 60; ++round) {
        const TableOptions t{s(), s(), s(), s(), s(), s(), s()};
        const QString table = BuildTable(t);
        QVERIFY(tableInputProblem(t).isEmpty() != table.isEmpty() && table.size() <= most);
        const ListOptions l{round % 2 ? listKindNames()[rng.bounded(11)] : s(), s(), s(), s()};
        const QString list = BuildList(l);
        QVERIFY(listInputProblem(l).isEmpty() != list.isEmpty() && list.size() <= most);
        QVERIFY(BuildCalendar({n(), n(), s()}).size() <= 1200 + (1 << 20));
        const GradationOptions g{
            round % 10 ? s().left(2000) : s(), {n(), n(), n()}, {n(), n(), n()}, n(), n(), bool(n() & 1)};
        QVERIFY(BuildGradation(g).text.size() <= 40 * g.text.size());
        QVERIFY(BuildPageSkeleton(
                    {s(), s(), s(), s(), s(), s(), s(), s(), s(), s(), s(), s(), s(), s(), bool(n() & 1), n()})
                    .endsWith(QStringLiteral("</HTML>")));
        QVERIFY(BuildMarquee({s(), s(), bool(n() & 1), s(), s(), bool(n() & 1), s(), s(), s(), s(), s()}).size()
                <= most);
        QVERIFY(BuildLink({n(), s(), s(), s(), s(), s(), s(), s()}).size() <= most);
        QVERIFY(parseScriptLibrary(s() + QStringLiteral(",,") + s()).size() <= 1);
    }
}

void TestBuilders::table_data()
{
    QTest::addColumn<TableOptions>("o");
    QTest::addColumn<QString>("expected");
    const QString twoByTwo = lines({" <tr>", "  <td></td>", "  <td></td>", " </tr>", " <tr>", "  <td></td>",
                                    "  <td></td>", " </tr>", "</table>", ""});
    TableOptions o;
    QTest::newRow("initial") << o << QStringLiteral("<table border=\"1\">\r\n") + twoByTwo;
    o.align = QStringLiteral("center");
    o.width = QStringLiteral("80");
    o.bgColor = QStringLiteral("#FF0000");
    QTest::newRow("attributes in order")
        << o
        << QStringLiteral("<table border=\"1\" align=\"center\" width=\"80%\" bgcolor=\"#FF0000\">\r\n") + twoByTwo;
    o.widthUnit = QStringLiteral("ピクセル");
    o.bgColor.clear();
    o.border = QStringLiteral("太い\"");
    QTest::newRow("pixels bare, empty colour kept, border as typed")
        << o << QStringLiteral("<table border=\"太い\"\" align=\"center\" width=\"80\" bgcolor=\"\">\r\n") + twoByTwo;
    o = {};
    o.rows = QStringLiteral("1.9");
    o.columns = QStringLiteral("-3");
    QTest::newRow("1.9 rows is one, negative cells none")
        << o << lines({"<table border=\"1\">", " <tr>", " </tr>", "</table>", ""});
    o.rows = QStringLiteral("0");
    QTest::newRow("no rows") << o << lines({"<table border=\"1\">", "</table>", ""});
    o.rows = QStringLiteral("二");
    QTest::newRow("rows not a number") << o << QStringLiteral("縦（行）には数値を入力してください。");
    o.rows = QStringLiteral("2");
    o.columns = QString();
    QTest::newRow("columns empty") << o << QStringLiteral("横（列）には数値を入力してください。");
    o.rows = QStringLiteral("1e9");
    o.columns = QStringLiteral("0");
    const QString tooLarge =
        QStringLiteral("表が大きすぎます。縦（行）、横（列）と、縦×横のセルの数は 1000000 以下にしてください。");
    QTest::newRow("rows huge") << o << tooLarge;
    o.rows = QStringLiteral("10001");
    o.columns = QStringLiteral("100");
    QTest::newRow("cells huge") << o << tooLarge;
}

void TestBuilders::table()
{
    QFETCH(TableOptions, o);
    QFETCH(QString, expected);
    const bool refused = expected.endsWith(QStringLiteral("。"));
    QCOMPARE(tableInputProblem(o), refused ? expected : QString());
    QCOMPARE(BuildTable(o), refused ? QString() : expected);
}

void TestBuilders::marquee_data()
{
    QTest::addColumn<MarqueeOptions>("o");
    QTest::addColumn<QString>("expected");
    MarqueeOptions o;
    o.text = QStringLiteral("abc");
    QTest::newRow("initial") << o << QStringLiteral("<MARQUEE direction = \"right\">abc</MARQUEE>");
    o.direction = QStringLiteral("右から左");
    QTest::newRow("right to left, step 6: bare tag") << o << QStringLiteral("<MARQUEE>abc</MARQUEE>");
    o.bgColor = QStringLiteral("#00FF00");
    o.setHeight = true;
    o.height = QStringLiteral("50");
    o.heightUnit = QStringLiteral("ピクセル");
    o.setWidth = true;
    o.motion = QStringLiteral("往復");
    o.direction = QStringLiteral("上から下");
    o.scrollStep = QStringLiteral("10");
    QTest::newRow("everything")
        << o
        << QStringLiteral(
               "<MARQUEE bgColor=#00FF00 height = \"50\" width = \"100%\" behavior = \"alternate\" "
               "direction = \"down\" scrollAmount=\"10\">abc</MARQUEE>");
    o = {};
    o.setHeight = true;
    o.height = QStringLiteral("50");
    o.motion = QStringLiteral("端で停止");
    o.direction = QStringLiteral("下から上");
    o.scrollStep = QStringLiteral("06");
    QTest::newRow("percent height, slide, up, step compared as text, empty text")
        << o
        << QStringLiteral(
               "<MARQUEE height = \"50%\" behavior = \"slide\" direction = \"up\" scrollAmount=\"06\"></MARQUEE>");
    o = {};
    o.text = QStringLiteral("a\r\n\"b\"");
    o.motion = QStringLiteral("?");
    o.direction = QStringLiteral("?");
    QTest::newRow("unknown motion and direction write nothing; text as is")
        << o << QStringLiteral("<MARQUEE>a\r\n\"b\"</MARQUEE>");
}

void TestBuilders::marquee()
{
    QFETCH(MarqueeOptions, o);
    QFETCH(QString, expected);
    QCOMPARE(BuildMarquee(o), expected);
    QVERIFY(!marqueeColourNames().contains(QStringLiteral("black")));
    QCOMPARE(marqueeColourNames().size(), 17);
}

void TestBuilders::links_data()
{
    QTest::addColumn<LinkOptions>("o");
    QTest::addColumn<QString>("expected");
    LinkOptions o;
    o.selected = QStringLiteral("here");
    QTest::newRow("file, initial") << o << QStringLiteral("<A href=\"test.html\">here</A>");
    o.file = QStringLiteral("a \"b\".html?x=1&y=日本");
    o.fileTarget = QStringLiteral("親ウインドウ");
    QTest::newRow("file as typed, parent")
        << o << QStringLiteral("<A href=\"a \"b\".html?x=1&y=日本\" target=\"_parent\">here</A>");
    o.fileTarget = QStringLiteral("別の");
    o.selected.clear();
    QTest::newRow("unknown target is empty, nothing selected")
        << o << QStringLiteral("<A href=\"a \"b\".html?x=1&y=日本\" target=\"\"></A>");
    o = {};
    o.tab = 1;
    o.address = QStringLiteral("me@example.jp");
    o.fileTarget = QStringLiteral("全画面");
    QTest::newRow("mail, address only, no target") << o << QStringLiteral("<A href=\"mailto:me@example.jp\"></A>");
    o.subject = QStringLiteral("ご意見 & \"感想\"");
    QTest::newRow("mail subject unescaped")
        << o << QStringLiteral("<A href=\"mailto:me@example.jp?Subject=ご意見 & \"感想\"\"></A>");
    o = {};
    o.tab = 2;
    o.label = QStringLiteral("top");
    o.labelTarget = QStringLiteral("新しいウインドウ");
    QTest::newRow("label, new window") << o << QStringLiteral("<A href=\"#top\" target=\"_blank\"></A>");
    o.labelTarget = QStringLiteral("同一ウインドウ");
    QTest::newRow("label, same window") << o << QStringLiteral("<A href=\"#top\" target=\"_self\"></A>");
    o.tab = 3;
    QTest::newRow("no such tab") << o << QString();
}

void TestBuilders::links()
{
    QFETCH(LinkOptions, o);
    QFETCH(QString, expected);
    QCOMPARE(BuildLink(o), expected);
}

void TestBuilders::scriptLibrary_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("firstInserted");
    QTest::newRow("stops at the first empty line") << "one,,a\\nb\r\ntwo,,x\r\n\r\nthree,,y\r\n"
                                                   << QStringList{"one", "two"} << "a\r\nb";
    QTest::newRow("tab, other escapes kept, later fields ignored")
        << "s,,\\tif\\x\\\\n,,ignored" << QStringList{"s"} << "\tif\\x\\\r\n";
    QTest::newRow("no separator: name only; single commas are content")
        << "name only\r\nc,,f(a, b),x" << QStringList{"name only", "c"} << "";
    QTest::newRow("three commas split at the first two") << "a,,,b" << QStringList{"a"} << ",b";
    QTest::newRow("blank name skipped") << ",,lost\r\n  ,,lost\r\nkept,,k" << QStringList{"kept"} << "k";
    QTest::newRow("empty file") << "" << QStringList{} << "";
    QTest::newRow("empty first line") << "\r\na,,b" << QStringList{} << "";
}

void TestBuilders::scriptLibrary()
{
    QFETCH(QString, file);
    QFETCH(QStringList, names);
    QFETCH(QString, firstInserted);
    const QList<ScriptFragment> f = parseScriptLibrary(file);
    QStringList got;
    for (const ScriptFragment& s : f)
        got << s.name;
    QCOMPARE(got, names);
    QCOMPARE(f.isEmpty() ? QString() : expandScriptContent(f.first().content), firstInserted);
}

void TestBuilders::shippedScriptLibrary()
{
    // Every line of the shipped file is a fragment with content, the names
    // differ, and nothing stops the reading early.
    const QString text = defaultScriptLibraryText();
    const QList<ScriptFragment> f = parseScriptLibrary(text);
    QVERIFY2(f.size() >= 12, qPrintable(QString::number(f.size())));
    QCOMPARE(f.size(), text.count(QStringLiteral("\r\n")));
    QSet<QString> names;
    for (const ScriptFragment& s : f) {
        QVERIFY2(!s.content.isEmpty(), qPrintable(s.name));
        names.insert(s.name);
    }
    QCOMPARE(names.size(), f.size());
    QVERIFY(expandScriptContent(f[1].content).startsWith(QStringLiteral("<script type=\"text/javascript\">\r\n")));
}

QTEST_GUILESS_MAIN(TestBuilders)
#include "tst_builders.moc"
