#include "editor/document/editbuffer.h"
#include "editor/tags/textconv.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace tw;

namespace {

// What a browser does with the encoded address: every "&#n;" becomes code point n.
QString decodeReferences(const QString& s)
{
    QString out;
    qsizetype i = 0;
    while (i < s.size()) {
        qsizetype j = i + 2;
        if (s.mid(i, 2) == QLatin1String("&#")) {
            while (j < s.size() && s.at(j).isDigit() && s.at(j).unicode() < 128)
                ++j;
            if (j > i + 2 && j < s.size() && s.at(j) == u';') {
                const char32_t code = char32_t(s.mid(i + 2, j - i - 2).toUInt());
                out += QString::fromUcs4(&code, 1);
                i = j + 1;
                continue;
            }
        }
        out += s.at(i++);
    }
    return out;
}

int countReferences(const QString& s)
{
    return int(s.count(QStringLiteral("&#")));
}

RandomBelow always(int r)
{
    return [r](int bound) {
        Q_ASSERT(bound == 11);
        return r;
    };
}

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

class TestTextConv : public QObject {
    Q_OBJECT
private slots:
    void textToHtml_data();
    void textToHtml();
    void angou_data();
    void angou();
    void angouDecodesToInput();
    void angouAddressOfTwentyCharacters();
    void angouKeepsThreeInElevenPlain();
    void angouCommand_data();
    void angouCommand();
    void numberLines_data();
    void numberLines();
    void numberLinesWidth_data();
    void numberLinesWidth();
    void eraseTags_data();
    void eraseTags();
    void commandsOnSelectionOrWholeText_data();
    void commandsOnSelectionOrWholeText();
    void linearOnLargeInput_data();
    void linearOnLargeInput();
};

void TestTextConv::textToHtml_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("page, nothing escaped")
        << "a <b>x</b>" << 0 << 0
        << "<html lang=\"ja\">\r\n<head><title>タイトル</title></head>\r\n<body>\r\n<pre>\r\n"
           "a <b>x</b>\r\n</pre>\r\n</body>\r\n</html>"
        << 0;
    QTest::newRow("page of an empty document")
        << "" << 0 << 0
        << "<html lang=\"ja\">\r\n<head><title>タイトル</title></head>\r\n<body>\r\n<pre>\r\n"
           "\r\n</pre>\r\n</body>\r\n</html>"
        << 0;
    QTest::newRow("selection becomes a pre block") << "1<a>2" << 1 << 3 << "1<pre>\r\n<a>\r\n</pre>2" << 19;
}

void TestTextConv::textToHtml()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, result);
    QFETCH(int, caret);
    MemoryEditBuffer b(text);
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
    b.SetSelection(selStart, selLength);
    runTextToHtml(b);
    QCOMPARE(b.text(), result);
    QCOMPARE(b.selectionStart(), caret);
    QCOMPARE(changes, 1);
}

void TestTextConv::angou_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("draw");
    QTest::addColumn<QString>("result");
    QTest::newRow("a is always a reference") << "a" << 0 << "&#97;";
    QTest::newRow("a, high draw") << "a" << 10 << "&#97;";
    QTest::newRow("draw 0 keeps the rest plain") << "abc" << 0 << "&#97;bc";
    QTest::newRow("draw 2 keeps plain") << "ab" << 2 << "&#97;b";
    QTest::newRow("draw 3 encodes") << "ab" << 3 << "&#97;&#98;";
    QTest::newRow("draw 10 encodes all") << "a@b" << 10 << "&#97;&#64;&#98;";
    QTest::newRow("markup characters stay") << "<a>\"" << 10 << "<&#97;>\"";
    QTest::newRow("first < is not encoded") << "<ab" << 0 << "<ab";
    QTest::newRow("line breaks stay") << "\r\nx" << 0 << "\r\nx";
    QTest::newRow("ampersand always encoded") << "x&#97;" << 0 << "&#120;&#38;#97;";
    QTest::newRow("Unicode code point") << QString::fromUtf8("日本") << 10 << "&#26085;&#26412;";
    QTest::newRow("surrogate pair is one character") << QString::fromUtf8("😀x") << 10 << "&#128512;&#120;";
    QTest::newRow("lone surrogate stays") << QString(QChar(0xD83D)) + "x" << 10 << QString(QChar(0xD83D)) + "&#120;";
    QTest::newRow("empty") << "" << 10 << "";
}

void TestTextConv::angou()
{
    QFETCH(QString, text);
    QFETCH(int, draw);
    QFETCH(QString, result);
    QCOMPARE(AngouStr(text, always(draw)), result);
}

void TestTextConv::angouDecodesToInput()
{
    const QString alphabet = QStringLiteral("ab@.&#;0123456789<>\"\r\n &amp;x");
    QRandomGenerator gen(7);
    for (int round = 0; round < 3000; ++round) {
        QString s;
        const int len = gen.bounded(0, 30);
        for (int i = 0; i < len; ++i) {
            switch (gen.bounded(6)) {
                case 0:
                    s += QChar(char16_t(gen.bounded(0x20, 0xD800)));
                    break;
                case 1: {
                    const char32_t c = char32_t(gen.bounded(0x10000, 0x110000));
                    s += QString::fromUcs4(&c, 1);
                    break;
                }
                case 2:  // a surrogate on its own, or by chance half of a pair
                    s += QChar(char16_t(gen.bounded(0xD800, 0xE000)));
                    break;
                default:
                    s += alphabet.at(gen.bounded(int(alphabet.size())));
            }
        }
        // The clock-seeded generator, as the menu command uses it.
        const QString encoded = AngouStr(s);
        QCOMPARE(decodeReferences(encoded), s);
    }
}

void TestTextConv::angouAddressOfTwentyCharacters()
{
    const QString address = QStringLiteral("someone@example.com.");
    QCOMPARE(address.size(), 20);
    for (int round = 0; round < 200; ++round) {
        const QString encoded = AngouStr(address);
        QVERIFY(encoded.startsWith(QStringLiteral("&#115;")));
        const int refs = countReferences(encoded);
        QVERIFY(refs >= 1 && refs <= 20);
        QCOMPARE(decodeReferences(encoded), address);
    }
}

void TestTextConv::angouKeepsThreeInElevenPlain()
{
    QRandomGenerator gen(99);
    const RandomBelow random = [&gen](int bound) { return int(gen.bounded(bound)); };
    const int n = 110001;
    const QString encoded = AngouStr(QString(n, QLatin1Char('z')), random);
    const int plain = int(encoded.count(QLatin1Char('z')));
    // 3/11 of 110000 is 30000; the standard deviation is about 148.
    QVERIFY2(plain > 29300 && plain < 30700, qPrintable(QString::number(plain)));
    QCOMPARE(countReferences(encoded) + plain, n);
}

void TestTextConv::angouCommand_data()
{
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("result");
    QTest::newRow("selection encoded") << 1 << 2 << "[&#97;b]";
    QTest::newRow("empty selection: nothing by nothing") << 1 << 0 << "[ab]";
}

void TestTextConv::angouCommand()
{
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, result);
    MemoryEditBuffer b(QStringLiteral("[ab]"));
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
    b.SetSelection(selStart, selLength);
    runAngou(b, always(0));
    QCOMPARE(b.text(), result);
    QCOMPARE(changes, 1);
}

void TestTextConv::numberLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("two lines") << "x\r\ny"
                               << "1:x\r\n2:y\r\n";
    QTest::newRow("final break numbers an empty line") << "x\r\n"
                                                       << "1:x\r\n2:\r\n";
    QTest::newRow("no line break") << "abc"
                                   << "1:abc\r\n";
    QTest::newRow("empty text") << ""
                                << "";
    QTest::newRow("only a break") << "\r\n"
                                  << "1:\r\n2:\r\n";
    QTest::newRow("lone CR stays in its line") << "a\rb"
                                               << "1:a\rb\r\n";
    QTest::newRow("lone LF stays in its line") << "a\nb\r\nc"
                                               << "1:a\nb\r\n2:c\r\n";
    QTest::newRow("CR before the break") << "a\r\r\nb"
                                         << "1:a\r\r\n2:b\r\n";
    QTest::newRow("LF first") << "\n\r\n"
                              << "1:\n\r\n2:\r\n";
    QTest::newRow("outside the BMP") << QString::fromUtf8("😀\r\n😀") << QString::fromUtf8("1:😀\r\n2:😀\r\n");
}

void TestTextConv::numberLines()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(NumberLines(text), result);
}

void TestTextConv::numberLinesWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("9 lines") << numberedLines(9) << 9 << "1:line 1"
                             << "9:line 9";
    QTest::newRow("10 lines") << numberedLines(10) << 10 << "01:line 1"
                              << "10:line 10";
    QTest::newRow("12 lines") << numberedLines(12) << 12 << "01:line 1"
                              << "12:line 12";
    QTest::newRow("tenth line empty") << numberedLines(9) + "\r\n"
                                      << 10 << "01:line 1"
                                      << "10:";
    QTest::newRow("99 lines") << numberedLines(99) << 99 << "01:line 1"
                              << "99:line 99";
    QTest::newRow("100 lines") << numberedLines(100) << 100 << "001:line 1"
                               << "100:line 100";
    QTest::newRow("1000 lines") << numberedLines(1000) << 1000 << "0001:line 1"
                                << "1000:line 1000";
}

void TestTextConv::numberLinesWidth()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(QString, first);
    QFETCH(QString, last);
    const QString out = NumberLines(text);
    QVERIFY(out.endsWith(QStringLiteral("\r\n")));
    const QStringList got = out.chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(got.size(), lines);
    QCOMPARE(got.first(), first);
    QCOMPARE(got.last(), last);
    const int width = int(first.indexOf(QLatin1Char(':')));
    for (int i = 0; i < lines; ++i)
        QCOMPARE(got.at(i).left(width + 1), QStringLiteral("%1:").arg(i + 1, width, 10, QLatin1Char('0')));
}

void TestTextConv::eraseTags_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("tags removed") << "a<b>c</b>d"
                                  << "acd";
    QTest::newRow("< without >") << "a<b"
                                 << "a<b";
    QTest::newRow("> before <") << "x>y<z"
                                << "x>y<z";
    QTest::newRow("rest kept after an open <") << "a<b>c<d"
                                               << "ac<d";
    QTest::newRow("comment cut at its first >") << "<!-- a > b -->x"
                                                << " b -->x";
    QTest::newRow("attribute cut at its first >") << "<a title=\"x>y\">t</a>"
                                                  << "y\">t";
    QTest::newRow("nested <") << "<<b>>"
                              << ">";
    QTest::newRow("tag across lines") << "<p\r\nclass=x>a\r\nb"
                                      << "a\r\nb";
    QTest::newRow("references not decoded") << "&lt;b&gt;"
                                            << "&lt;b&gt;";
    QTest::newRow("no tags") << "plain"
                             << "plain";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only a tag") << "<br>"
                                << "";
    QTest::newRow("outside the BMP") << QString::fromUtf8("<b>😀</b>") << QString::fromUtf8("😀");
}

void TestTextConv::eraseTags()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(EraseTags(text), result);
}

void TestTextConv::commandsOnSelectionOrWholeText_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    // The document is "<i>a</i>\r\n<b>b</b>".
    QTest::newRow("erase tags in the selection") << "erase" << 0 << 8 << "a\r\n<b>b</b>" << 1;
    QTest::newRow("erase tags in the whole text") << "erase" << 3 << 0 << "a\r\nb" << 0;
    QTest::newRow("number the selection") << "number" << 10 << 8 << "<i>a</i>\r\n1:<b>b</b>\r\n" << 22;
    QTest::newRow("number the whole text") << "number" << 5 << 0 << "1:<i>a</i>\r\n2:<b>b</b>\r\n" << 0;
}

void TestTextConv::commandsOnSelectionOrWholeText()
{
    QFETCH(QString, command);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, result);
    QFETCH(int, caret);
    MemoryEditBuffer b(QStringLiteral("<i>a</i>\r\n<b>b</b>"));
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
    b.SetSelection(selStart, selLength);
    if (command == QLatin1String("erase"))
        runEraseTags(b);
    else
        runNumberLines(b);
    QCOMPARE(b.text(), result);
    QCOMPARE(b.selectionStart(), caret);
    QCOMPARE(b.selectionLength(), 0);
    QCOMPARE(changes, 1);
}

// A few megabytes in well under the test's limit; restarting the tag search
// from the beginning after each removal would need many minutes.
void TestTextConv::linearOnLargeInput_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("EraseTags, 1M tags") << "erase";
    QTest::newRow("NumberLines, 1M lines") << "number";
    QTest::newRow("AngouStr, 1M characters") << "angou";
}

void TestTextConv::linearOnLargeInput()
{
    QFETCH(QString, kind);
    QElapsedTimer t;
    if (kind == QLatin1String("erase")) {
        const QString text = QStringLiteral("<b>x</b>y").repeated(512 * 1024);
        t.start();
        const QString out = EraseTags(text);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(out, QStringLiteral("xy").repeated(512 * 1024));
    } else if (kind == QLatin1String("number")) {
        const QString text = QStringLiteral("abc\r\n").repeated(1024 * 1024);
        t.start();
        const QString out = NumberLines(text);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(out.startsWith(QStringLiteral("0000001:abc\r\n0000002:abc\r\n")));
        QVERIFY(out.endsWith(QStringLiteral("1048576:abc\r\n1048577:\r\n")));
        QCOMPARE(out.size(), text.size() + 1048577 * 8 + 2);
    } else {
        const QString text(1024 * 1024, QLatin1Char('a'));
        t.start();
        const QString out = AngouStr(text);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(decodeReferences(out), text);
    }
}

QTEST_GUILESS_MAIN(TestTextConv)
#include "tst_textconv.moc"
