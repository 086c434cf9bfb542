// The composer's rule builder, the saved files and the colour texts.

#include "stylesheet/colourtext.h"
#include "tests/testkit/fakes.h"
#include "stylesheet/styleoutput.h"
#include "stylesheet/stylerule.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QDir>

#include <csignal>
#include <sys/resource.h>
#include <QTest>

using namespace tw;
using namespace tw::velmora;

Q_DECLARE_METATYPE(tw::velmora::StyleRuleValues)

namespace {
StyleRuleValues rule(const QString& selector)
{
    StyleRuleValues v;
    v.selector = selector;
    return v;
}
}  // namespace

class TestStyleRule : public QObject {
    Q_OBJECT
private slots:
    void appendRule_data();
    void appendRule();
    void refusedInput_data();
    void refusedInput();
    void rulesFollowTheEditedText();
    void samplePageBytes();
    void saveFailures_data();
    void saveFailures();
    void writeFailsHalfWay();
    void colourText();
    void typedComponent_data();
    void typedComponent();
};

void TestStyleRule::appendRule_data()
{
    QTest::addColumn<StyleRuleValues>("values");
    QTest::addColumn<QString>("body");  // the lines between "{" and "}", LF for CR LF

    StyleRuleValues v = rule(QStringLiteral("BODY (ページ全体)"));
    v.scrollBarColours[3] = QStringLiteral("navy");
    QTest::newRow("BODY with one scroll-bar colour") << v << "scrollbar-face-color : navy;\n";

    v.scrollBarColours = {QStringLiteral("なし"),
                          QString(),
                          QStringLiteral("#FF0800"),
                          QStringLiteral("なし"),
                          QString(),
                          QString(),
                          QString(),
                          QStringLiteral("teal")};
    v.fontColour = QStringLiteral("red");
    QTest::newRow("なし and empty colours skipped, in row order")
        << v << "scrollbar-arrow-color : #FF0800;\nscrollbar-shadow-color : teal;\n  color : red;\n";

    v.selector = QStringLiteral("A:HOVER (リンクにカーソルをあわせた時)");
    QTest::newRow("other selectors ignore scroll-bar colours") << v << "  color : red;\n";

    auto decoration = [](bool under, bool over, bool through) {
        StyleRuleValues d = rule(QStringLiteral("P (段落)"));
        d.underline = under;
        d.overline = over;
        d.lineThrough = through;
        return d;
    };
    QTest::newRow("underline alone") << decoration(true, false, false) << "  text-decoration : underline ;\n";
    QTest::newRow("underline and strike")
        << decoration(true, false, true) << "  text-decoration : underline line-through;\n";

    StyleRuleValues c = rule(QStringLiteral("H1 (見出し1)"));
    c.cursor = QStringLiteral("ne-resize (右上左下矢印)");
    QTest::newRow("cursor cut at the first blank") << c << "  cursor : ne-resize;\n";
    c.cursor = QStringLiteral(" pointer ");
    QTest::newRow("typed cursor without a blank") << c << "  cursor : pointer;\n";

    StyleRuleValues f = rule(QStringLiteral("DIV (DIVレイアウト)"));
    f.backImageFixed = true;
    f.backImageUrl = QStringLiteral("unused.png");
    QTest::newRow("fixed background without an image") << f << "  background-attachment: fixed;\n";

    StyleRuleValues all = rule(QStringLiteral("TABLE (表)"));
    all.fontName = QStringLiteral("ＭＳ ゴシック");
    all.fontColour = QStringLiteral("#0AABFF");
    all.backgroundColour = QStringLiteral("navy");
    all.fontSize = QStringLiteral("1.5");
    all.sizeUnit = QStringLiteral("センチメートル");
    all.bold = all.italic = all.overline = all.backImage = all.backImageFixed = true;
    all.backImageUrl = QStringLiteral("画像/背景 1.gif");
    all.cursor = QStringLiteral("wait (砂時計)");
    QTest::newRow("every property, in order")
        << all
        << "  font-family : \"ＭＳ ゴシック\";\n  color : #0AABFF;\n  background-color : navy;\n  font-size : 1.5cm;\n"
           "  font-weight : bold;\n  font-style : italic;\n  text-decoration : overline ;\n"
           "  background-image : url(画像/背景 1.gif);\n  background-attachment: fixed;\n  cursor : wait;\n";

    StyleRuleValues u = rule(QStringLiteral("P (段落)"));
    u.fontSize = QStringLiteral(" 12 ");
    u.sizeUnit = QStringLiteral("em");
    QTest::newRow("unknown unit is pixels") << u << "  font-size : 12px;\n";
    // A typed unit stands; generic families bare in any case; lists and quoted names as typed.
    const char* const cases[][3] = {{"12px", "", "  font-size : 12px;"},
                                    {"90%", "", "  font-size : 90%;"},
                                    {".5REM", "", "  font-size : .5REM;"},
                                    {"", "Sans-Serif", "  font-family : Sans-Serif;"},
                                    {"", "system-ui", "  font-family : system-ui;"},
                                    {"", "serifa", "  font-family : \"serifa\";"},
                                    {"", "\"游ゴシック\", serif", "  font-family : \"游ゴシック\", serif;"}};
    for (const auto& [size, font, line] : cases) {
        StyleRuleValues n = rule(QStringLiteral("P (段落)"));
        n.fontSize = QString::fromUtf8(size);
        n.fontName = QString::fromUtf8(font);
        n.backgroundColour = QStringLiteral("なし");
        QTest::newRow(line) << n << QString::fromUtf8(line) + QLatin1Char('\n');
    }
}

void TestStyleRule::appendRule()
{
    QFETCH(StyleRuleValues, values);
    QFETCH(QString, body);
    const RuleResult r = AppendStyleRule(QString(), values);
    QCOMPARE(r.outcome, RuleOutcome::Appended);
    const QString selector = values.selector.left(values.selector.indexOf(QLatin1Char(' ')) + 1);
    QString expected = QStringLiteral("\n") + selector + QStringLiteral("{\n") + body + QStringLiteral("}\n");
    QCOMPARE(r.text, expected.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

void TestStyleRule::refusedInput_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("outcome");
    QTest::newRow("no selector") << ""
                                 << "12" << int(RuleOutcome::NoSelector);
    QTest::newRow("size as words") << "P (段落)"
                                   << "大きい" << int(RuleOutcome::BadSize);
    QTest::newRow("unit without a number") << "P (段落)"
                                           << "px" << int(RuleOutcome::BadSize);
    QTest::newRow("unknown unit") << "P (段落)"
                                  << "12pp" << int(RuleOutcome::BadSize);
    QTest::newRow("full-width digits") << "P (段落)"
                                       << "１２" << int(RuleOutcome::BadSize);
}

void TestStyleRule::refusedInput()
{
    QFETCH(QString, selector);
    QFETCH(QString, size);
    QFETCH(int, outcome);
    StyleRuleValues v = rule(selector);
    v.fontSize = size;
    const QString before = QStringLiteral("\r\nP {\r\n}\r\n");
    const RuleResult r = AppendStyleRule(before, v);
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(r.text, before);
}

void TestStyleRule::rulesFollowTheEditedText()
{
    QString text = AppendStyleRule(QString(), rule(QStringLiteral("P (段落)"))).text;
    text = AppendStyleRule(text, rule(QStringLiteral("A (リンク)"))).text;
    QCOMPARE(text, QStringLiteral("\r\nP {\r\n}\r\n\r\nA {\r\n}\r\n"));
    // A hand-edited text without a final break: the rule still starts on its own line.
    const QString edited = QStringLiteral("/* 手で書いた */");
    QCOMPARE(AppendStyleRule(edited, rule(QStringLiteral("UL (番号なしリスト)"))).text,
             edited + QStringLiteral("\r\nUL {\r\n}\r\n"));
}

void TestStyleRule::samplePageBytes()
{
    test::TempAppFolder dir;
    test::FakePlatform fakes;
    const QString style = QStringLiteral("\r\nP {\r\n  color : red;\r\n}\r\n");
    fakes.files.answer(dir.file(QStringLiteral("page.htm")));
    QCOMPARE(saveStyleOutput(fakes.platform(), OutputFormat::Html, style, dir.path()).outcome, SaveOutcome::Saved);
    const QString expected = QStringLiteral(
        "<HTML>\n<HEAD>\n<TITLE>タイトル</TITLE>\n<style type=\"text/css\" >\n<!--\n\nP {\n  color : red;\n}\n\n"
        "-->\n</style>\n</HEAD>\n<BODY>\n<CENTER><H1>タイトル</H1></CENTER>\n<P>テスト</P>\n"
        "<P><A href=\"http://www.example.com/\">リンクのテスト</A></P>\n<UL>\n<LI>表のテスト\n</UL>\n\n"
        "<TABLE border=\"1\">\n<TR>\n<TD>項目１</TD>\n<TD>項目2</TD>\n</TR>\n<TR>\n<TD>データ1</TD>\n"
        "<TD>データ2</TD>\n</TR>\n</TABLE>\n</BODY>\n</HTML>\n");
    const QByteArray bytes = dir.read(QStringLiteral("page.htm"));
    QCOMPARE(bytes, encodeCp932(QString(expected).replace(u'\n', QStringLiteral("\r\n"))).bytes);
    QVERIFY(bytes.contains("\x8d\x80\x96\xda\x82\x50</TD>"));  // 項目１ in CP932
    QCOMPARE(fakes.files.requests[0].initialPath, dir.file(QStringLiteral("htmltest.htm")));
    QVERIFY(fakes.messages.shown.isEmpty());
}

void TestStyleRule::saveFailures_data()
{
    QTest::addColumn<QString>("target");  // below the temporary folder
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("named");  // a part of the message
    QTest::newRow("folder is a file") << "old.css/styletest.css"
                                      << "P {}"
                                      << "styletest.css";
    QTest::newRow("target is a folder") << "sub"
                                        << "P {}"
                                        << "sub";
    QTest::newRow("character outside CP932") << "old.css"
                                             << "P { content: \"😀\"; }"
                                             << "U+1F600";
}

void TestStyleRule::saveFailures()
{
    QFETCH(QString, target);
    QFETCH(QString, style);
    QFETCH(QString, named);
    test::TempAppFolder dir;
    dir.put(QStringLiteral("old.css"), "kept");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    test::FakePlatform fakes;
    fakes.files.answer(dir.file(target));
    const SaveResult r = saveStyleOutput(fakes.platform(), OutputFormat::StyleSheet, style, dir.path());
    QCOMPARE(r.outcome, SaveOutcome::Failed);
    QCOMPARE(fakes.messages.shown.size(), 1);
    QVERIFY2(fakes.messages.shown[0].text.contains(named), qPrintable(fakes.messages.shown[0].text));
    QCOMPARE(dir.read(QStringLiteral("old.css")), QByteArray("kept"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.css")});  // no leftovers
}

void TestStyleRule::writeFailsHalfWay()
{
    // A file size limit makes the disk refuse the rest of the file, as a full disk does.
    test::TempAppFolder dir;
    dir.put(QStringLiteral("styletest.css"), "kept");
    test::FakePlatform fakes;
    fakes.files.answer(dir.file(QStringLiteral("styletest.css")));
    rlimit old{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const SaveResult r = saveStyleOutput(fakes.platform(), OutputFormat::Html, QStringLiteral("P {}"), dir.path());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    QCOMPARE(r.outcome, SaveOutcome::Failed);
    QCOMPARE(fakes.messages.shown.size(), 1);
    QCOMPARE(dir.read(QStringLiteral("styletest.css")), QByteArray("kept"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestStyleRule::colourText()
{
    QCOMPARE(ColourText(0, 0, 0), QStringLiteral("#000000"));
    QCOMPARE(ColourText(255, 8, 0), QStringLiteral("#FF0800"));  // one-digit values get a zero
    QCOMPARE(ColourText(10, 171, 254), QStringLiteral("#0AABFE"));
}

void TestStyleRule::typedComponent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");  // -1: ignored
    QTest::newRow("top") << "255" << 255;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("blanks around") << " 12 " << 12;
    QTest::newRow("above the range") << "256" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("fraction") << "12.5" << -1;
    QTest::newRow("full-width digits") << "１２" << -1;
    QTest::newRow("words") << "赤" << -1;
}

void TestStyleRule::typedComponent()
{
    QFETCH(QString, typed);
    QFETCH(int, value);
    QCOMPARE(parseColourComponent(typed).value_or(-1), value);
}

QTEST_GUILESS_MAIN(TestStyleRule)
#include "tst_stylerule.moc"
