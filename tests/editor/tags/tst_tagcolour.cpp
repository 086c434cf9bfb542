#include "editor/tags/tagcolour.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tw;

namespace {

// "start:length:colour" per range, separated by blanks.
QString describe(const QList<ColourRange>& ranges)
{
    QStringList parts;
    for (const ColourRange& r : ranges)
        parts << QStringLiteral("%1:%2:%3").arg(r.start).arg(r.length).arg(r.colour);
    return parts.join(QLatin1Char(' '));
}

// Colours the text line by line, as the edit box does, and puts the lines'
// ranges back together in offsets of the whole text (CR LF counted as two).
// A range left open at a line's end takes in the line break and continues
// with the first range of the next line.
QList<ColourRange> rangesByLine(const QString& text, const TagColourTable& table)
{
    QList<ColourRange> joined;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    qsizetype lineStart = 0;
    int state = -1;  // what the edit box gives its first line
    for (const QString& line : lines) {
        int openColour = 0;
        if (state == kLineInComment)
            openColour = 3;
        else if (state >= lineInTag(1) && state <= lineInTag(3))
            openColour = state - lineInTag(0);
        QList<ColourRange> ranges;
        state = colourLine(line, state, table, ranges);
        qsizetype first = 0;
        if (openColour != 0) {
            // The open range ended at the previous line's end.
            if (joined.isEmpty() || joined.last().colour != openColour
                || joined.last().start + joined.last().length != lineStart - 2) {
                qWarning("an open range does not continue at line offset %lld", qlonglong(lineStart));
                return {};
            }
            joined.last().length += 2;
            if (!ranges.isEmpty() && ranges.first().start == 0 && ranges.first().colour == openColour) {
                joined.last().length += ranges.first().length;
                first = 1;
            }
        }
        for (qsizetype i = first; i < ranges.size(); ++i)
            joined.append(ColourRange{lineStart + ranges[i].start, ranges[i].length, ranges[i].colour});
        lineStart += line.size() + 2;
    }
    return joined;
}

}  // namespace

class TestTagColour : public QObject {
    Q_OBJECT
private slots:
    void defaultTable();
    void colourOfName_data();
    void colourOfName();
    void ranges_data();
    void ranges();
    void lineStates_data();
    void lineStates();
    void lineByLineMatchesWholeText();
    void longUnclosedInputStaysLinear_data();
    void longUnclosedInputStaysLinear();
};

void TestTagColour::defaultTable()
{
    const TagColourTable t = TagColourTable::defaultTable();
    QCOMPARE(t.groups[0], QStringList{QStringLiteral("a")});
    QCOMPARE(t.groups[1], QStringList{QStringLiteral("meta")});
    QVERIFY(t.groups[2].isEmpty());
    QCOMPARE(t.colours[0], 0x000000u);
    QCOMPARE(t.colours[1], 0xFF0000u);
    QCOMPARE(t.colours[2], 0x228B22u);
    QCOMPARE(t.colours[3], 0x0000FFu);
}

void TestTagColour::colourOfName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("colour");
    QTest::newRow("a") << "a" << 1;
    QTest::newRow("A") << "A" << 1;
    QTest::newRow("meta") << "meta" << 2;
    QTest::newRow("MeTa") << "MeTa" << 2;
    QTest::newRow("p") << "p" << 3;
    QTest::newRow("abbr") << "abbr" << 3;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("full-width a") << QString::fromUtf16(u"ａ") << 3;
}

void TestTagColour::colourOfName()
{
    QFETCH(QString, name);
    QFETCH(int, colour);
    QCOMPARE(TagColourTable::defaultTable().colourOfName(name), colour);
}

void TestTagColour::ranges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ranges");
    QTest::newRow("no tags") << "plain text"
                             << "";
    QTest::newRow("link tag") << "x<A HREF=\"x\">y"
                              << "1:12:1";
    QTest::newRow("meta tag") << "<META name=\"k\" content=\"v\">"
                              << "0:27:2";
    QTest::newRow("other tag") << "<p>text</p>"
                               << "0:3:3 7:4:3";
    QTest::newRow("closing link") << "</a>"
                                  << "0:4:1";
    QTest::newRow("closing meta, upper case") << "</META>"
                                              << "0:7:2";
    QTest::newRow("comment") << "<!-- c -->"
                             << "0:10:3";
    QTest::newRow("comment holding a link") << "<!-- <a> -->b"
                                            << "0:12:3";
    QTest::newRow("blank after <") << "< p>x"
                                   << "";
    QTest::newRow("blank after <, then a tag") << "< p><a>"
                                               << "4:3:1";
    QTest::newRow("only <>") << "<>"
                             << "";
    QTest::newRow("only </>") << "</>"
                              << "";
    QTest::newRow("two slashes") << "<//a>"
                                 << "0:5:3";
    QTest::newRow("< inside a tag") << "<a<b>c"
                                    << "0:5:1";
    QTest::newRow("< ends the name") << "<meta<p>"
                                     << "0:8:2";
    QTest::newRow("name stops at >") << "<a>"
                                     << "0:3:1";
    QTest::newRow("unclosed tag at the end") << "x<a href"
                                             << "1:7:1";
    QTest::newRow("unclosed comment at the end") << "x<!-- open"
                                                 << "1:9:3";
    QTest::newRow("comment closed by its own dashes") << "<!-->x"
                                                      << "0:5:3";
    QTest::newRow("comment closed after one dash") << "<!--->x"
                                                   << "0:6:3";
    QTest::newRow("<!- is a tag") << "<!-x>"
                                  << "0:5:3";
    QTest::newRow("<!DOCTYPE") << "<!DOCTYPE html>"
                               << "0:15:3";
    QTest::newRow("> outside tags") << "a > b <a>"
                                    << "6:3:1";
    QTest::newRow("comment over lines") << "a<!-- one\r\ntwo\r\n-->b<a>"
                                        << "1:18:3 20:3:1";
    QTest::newRow("tag over lines, named on the first") << "<a\r\nhref=\"x\">y"
                                                        << "0:13:1";
    QTest::newRow("meta over lines") << "<meta\r\n name=\"x\"\r\n>"
                                     << "0:19:2";
    QTest::newRow("line break right after <") << "<\r\na>b<p>"
                                              << "6:3:3";
    QTest::newRow("line break right after </") << "</\r\na>"
                                               << "";
    QTest::newRow("empty lines inside a comment") << "<!--\r\n\r\n\r\n-->"
                                                  << "0:13:3";
    QTest::newRow("unclosed tag over lines") << "<p\r\n\r\n"
                                             << "0:6:3";
    QTest::newRow("adjacent tags on two lines") << "<p>\r\n<a>"
                                                << "0:3:3 5:3:1";
    QTest::newRow("Japanese text between tags") << QString::fromUtf8("<b>日本語</b>") << "0:3:3 6:4:3";
}

void TestTagColour::ranges()
{
    QFETCH(QString, text);
    QFETCH(QString, ranges);
    const TagColourTable table = TagColourTable::defaultTable();
    QCOMPARE(describe(colourRanges(text, table)), ranges);
    QCOMPARE(describe(rangesByLine(text, table)), ranges);
}

void TestTagColour::lineStates_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("stateIn");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<int>("stateOut");
    QTest::newRow("plain") << "abc" << kLineOutside << "" << kLineOutside;
    QTest::newRow("first line of a document") << "<p>" << -1 << "0:3:3" << kLineOutside;
    QTest::newRow("opens a comment") << "x<!-- y" << kLineOutside << "1:6:3" << kLineInComment;
    QTest::newRow("inside a comment") << "<a>" << kLineInComment << "0:3:3" << kLineInComment;
    QTest::newRow("closes a comment") << "c --><a>" << kLineInComment << "0:5:3 5:3:1" << kLineOutside;
    QTest::newRow("empty line in a comment") << "" << kLineInComment << "" << kLineInComment;
    QTest::newRow("opens a link tag") << "<a" << kLineOutside << "0:2:1" << lineInTag(1);
    QTest::newRow("inside a link tag") << "x<p" << lineInTag(1) << "0:3:1" << lineInTag(1);
    QTest::newRow("closes a meta tag") << "x><a>" << lineInTag(2) << "0:2:2 2:3:1" << kLineOutside;
    QTest::newRow("opens an unnamed tag") << "< p" << kLineOutside << "" << lineInTag(0);
    QTest::newRow("< inside an unnamed tag") << "<a" << lineInTag(0) << "" << lineInTag(0);
    QTest::newRow("closes an unnamed tag") << "<a><p>" << lineInTag(0) << "3:3:3" << kLineOutside;
    QTest::newRow("tag name at the line's end") << "x<" << kLineOutside << "" << lineInTag(0);
}

void TestTagColour::lineStates()
{
    QFETCH(QString, line);
    QFETCH(int, stateIn);
    QFETCH(QString, ranges);
    QFETCH(int, stateOut);
    QList<ColourRange> out;
    QCOMPARE(colourLine(line, stateIn, TagColourTable::defaultTable(), out), stateOut);
    QCOMPARE(describe(out), ranges);
}

void TestTagColour::lineByLineMatchesWholeText()
{
    static const char* const pieces[] = {"<", ">", "!--",  "-", "a", "A",   "meta", "META", "p",
                                         "/", " ", "\r\n", "x", "b", "-->", "<!--", "<a",   "<p>"};
    const int pieceCount = int(std::size(pieces));
    const TagColourTable table = TagColourTable::defaultTable();
    QRandomGenerator rng(20240611);
    int withLines = 0;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int count = int(rng.bounded(80));
        for (int i = 0; i < count; ++i)
            text += QLatin1String(pieces[rng.bounded(pieceCount)]);
        const QList<ColourRange> whole = colourRanges(text, table);
        const QList<ColourRange> byLine = rangesByLine(text, table);
        if (byLine != whole)
            QFAIL(qPrintable(QStringLiteral("text \"%1\": whole %2, by line %3")
                                 .arg(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")),
                                      describe(whole), describe(byLine))));
        for (const ColourRange& r : whole)
            withLines += text.mid(r.start, r.length).contains(QLatin1Char('\n')) ? 1 : 0;
    }
    QVERIFY(withLines > 100);  // the texts did exercise ranges over lines
}

void TestTagColour::longUnclosedInputStaysLinear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ranges");
    const int n = 400000;
    QTest::newRow("many < after an open tag")
        << QStringLiteral("<a") + QString(n, QLatin1Char('<')) << QStringLiteral("0:%1:1").arg(n + 2);
    QTest::newRow("many <!-- after an open comment")
        << QStringLiteral("<!--").repeated(n / 4) << QStringLiteral("0:%1:3").arg(n);
    QTest::newRow("many unnamed tags") << QStringLiteral("< >").repeated(n / 3) << QString();
    QTest::newRow("long name without end")
        << QStringLiteral("<") + QString(n, QLatin1Char('a')) << QStringLiteral("0:%1:3").arg(n + 1);
}

void TestTagColour::longUnclosedInputStaysLinear()
{
    QFETCH(QString, text);
    QFETCH(QString, ranges);
    const TagColourTable table = TagColourTable::defaultTable();
    QCOMPARE(describe(colourRanges(text, table)), ranges);
    QList<ColourRange> out;
    colourLine(text, kLineOutside, table, out);
    QCOMPARE(describe(out), ranges);
}

QTEST_APPLESS_MAIN(TestTagColour)
#include "tst_tagcolour.moc"
