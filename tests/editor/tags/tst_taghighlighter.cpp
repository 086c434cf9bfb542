#include "editor/document/edithistory.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/mainfrm.h"
#include "editor/document/ui/scintillaeditbuffer.h"
#include "editor/tags/tagcolour.h"
#include "editor/tags/ui/taghighlighter.h"
#include "tests/testkit/tempappfolder.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QRandomGenerator>
#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {

constexpr unsigned kBlack = 0x000000;
constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kGreen = 0x228B22;
constexpr unsigned kBlue = 0x0000FF;

// Whether any character of the box shows in a style other than plain.
bool anyStyled(RichTextBox& box)
{
    box.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const long n = box.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    for (long i = 0; i < n; ++i)
        if (box.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, (unsigned long)i) != 0)
            return true;
    return false;
}

// The edit box as the main window wires it: change notifications record history.
struct Box {
    RichTextBox box;
    ScintillaEditBuffer buffer{&box};
    EditHistory history{buffer};
    TagHighlighter* highlighter = new TagHighlighter(&box);  // owned by the box
    int changes = 0;

    explicit Box(const QString& text)
    {
        QObject::connect(&buffer, &EditBuffer::changed, [this] {
            ++changes;
            history.onTextChanged();
        });
        buffer.SetText(text);
        history.ResetHistory();
        changes = 0;
        box.resize(600, 400);
    }

    // The colour and weight shown at a document offset (CR LF counted as two).
    unsigned colourAt(qsizetype offset) const
    {
        return highlighter->colourAtPosition(box.toPosition(offset)) & 0xFFFFFFu;
    }
    bool boldAt(qsizetype offset) const { return highlighter->boldAtPosition(box.toPosition(offset)); }
    bool hasAnyFormat() { return anyStyled(box); }

    // Types keys: \b Backspace, \x7f Delete, \n Return, anything else as typed.
    void type(const QString& keys)
    {
        for (const QChar c : keys) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(&box, Qt::Key_Backspace);
            else if (c == QChar(0x7f))
                QTest::keyClick(&box, Qt::Key_Delete);
            else if (c == QLatin1Char('\n'))
                QTest::keyClick(&box, Qt::Key_Return);
            else
                QTest::keyClicks(&box, QString(c));
        }
    }
};

// The colour and weight the rule gives every offset of text.
struct Expected {
    QList<unsigned> colour;
    QList<bool> bold;
};
Expected expectedFor(const QString& text)
{
    const TagColourTable table = TagColourTable::defaultTable();
    Expected e{QList<unsigned>(text.size(), kBlack), QList<bool>(text.size(), false)};
    for (const ColourRange& r : colourRanges(text, table))
        for (qsizetype i = r.start; i < r.start + r.length; ++i) {
            e.colour[i] = table.colours[size_t(r.colour)];
            e.bold[i] = true;
        }
    return e;
}

QString randomDocument(quint32 seed, int lines)
{
    static const char* const pieces[] = {"<",  ">",    "<!--", "-->", "<a href=\"x\">", "</a>", "<META ", "<p>",
                                         "< ", "text", " ",    "/",   "日本語",         "<br",  "-",      "!--"};
    QRandomGenerator rng(seed);
    QStringList out;
    for (int l = 0; l < lines; ++l) {
        QString line;
        const int count = int(rng.bounded(8));
        for (int i = 0; i < count; ++i)
            line += QString::fromUtf8(pieces[rng.bounded(int(std::size(pieces)))]);
        out << line;
    }
    return out.join(QStringLiteral("\r\n"));
}

}  // namespace

class TestTagHighlighter : public QObject {
    Q_OBJECT
private slots:
    void colours_data();
    void colours();
    void agreesWithTheRuleEverywhere_data();
    void agreesWithTheRuleEverywhere();
    void switchingOnAndOffLeavesTextAndHistory_data();
    void switchingOnAndOffLeavesTextAndHistory();
    void typingRecordsOneSnapshotPerChange_data();
    void typingRecordsOneSnapshotPerChange();
    void pasteInputMethodAndCutRecordOneSnapshotEach();
    void editOnFirstLineRecoloursFollowingLines();
    void mainWindowFollowsTheSetting_data();
    void mainWindowFollowsTheSetting();
};

void TestTagHighlighter::colours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<unsigned>("colour");
    QTest::addColumn<bool>("bold");
    const QString link = QStringLiteral("x<A HREF=\"x\">y");
    QTest::newRow("before a link") << link << 0 << kBlack << false;
    QTest::newRow("link <") << link << 1 << kRed << true;
    QTest::newRow("link attribute") << link << 5 << kRed << true;
    QTest::newRow("link >") << link << 12 << kRed << true;
    QTest::newRow("after a link") << link << 13 << kBlack << false;
    QTest::newRow("closing link") << QStringLiteral("</a>") << 2 << kRed << true;
    QTest::newRow("meta") << QStringLiteral("<META>") << 0 << kGreen << true;
    QTest::newRow("meta with attributes") << QStringLiteral("<META name=\"k\">") << 14 << kGreen << true;
    QTest::newRow("p") << QStringLiteral("<p>") << 1 << kBlue << true;
    QTest::newRow("comment") << QStringLiteral("<!-- c -->") << 5 << kBlue << true;
    QTest::newRow("blank after <") << QStringLiteral("< p>") << 2 << kBlack << false;
    const QString comment = QStringLiteral("a<!-- one\r\ntwo\r\n-->b");
    QTest::newRow("comment line 1") << comment << 1 << kBlue << true;
    QTest::newRow("comment line 2") << comment << 11 << kBlue << true;
    QTest::newRow("comment line 3 -->") << comment << 18 << kBlue << true;
    QTest::newRow("after the comment") << comment << 19 << kBlack << false;
    QTest::newRow("before the comment") << comment << 0 << kBlack << false;
    const QString tag = QStringLiteral("<a\r\nhref=\"x\">y");
    QTest::newRow("tag over lines, second line") << tag << 4 << kRed << true;
    QTest::newRow("tag over lines, >") << tag << 12 << kRed << true;
    QTest::newRow("after the tag over lines") << tag << 13 << kBlack << false;
    QTest::newRow("unnamed tag over lines") << QStringLiteral("<\r\na>b<p>") << 3 << kBlack << false;
    QTest::newRow("tag after an unnamed one") << QStringLiteral("<\r\na>b<p>") << 6 << kBlue << true;
}

void TestTagHighlighter::colours()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(unsigned, colour);
    QFETCH(bool, bold);
    Box b(text);
    QVERIFY(!b.hasAnyFormat());
    b.highlighter->setEnabled(true);
    QCOMPARE(b.colourAt(offset), colour);
    QCOMPARE(b.boldAt(offset), bold);
}

void TestTagHighlighter::agreesWithTheRuleEverywhere_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("small page") << QStringLiteral(
        "<HTML>\r\n<HEAD>\r\n<META http-equiv=\"Content-Type\">\r\n<!-- note\r\n <a> -->\r\n</HEAD>\r\n"
        "<BODY>\r\n< p>x<a\r\nhref=\"y\">link</a>\r\n</BODY>\r\n</HTML>");
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(seed))) << randomDocument(seed, 150);
}

void TestTagHighlighter::agreesWithTheRuleEverywhere()
{
    QFETCH(QString, text);
    Box b(text);
    b.highlighter->setEnabled(true);
    const Expected e = expectedFor(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n'))
            continue;  // a line break has no format of its own
        if (b.colourAt(i) != e.colour[i] || b.boldAt(i) != e.bold[i])
            QFAIL(qPrintable(QStringLiteral("offset %1: colour %2 bold %3, expected %4 %5")
                                 .arg(i)
                                 .arg(b.colourAt(i), 6, 16, QLatin1Char('0'))
                                 .arg(b.boldAt(i))
                                 .arg(e.colour[i], 6, 16, QLatin1Char('0'))
                                 .arg(e.bold[i])));
    }
}

void TestTagHighlighter::switchingOnAndOffLeavesTextAndHistory_data()
{
    QTest::addColumn<QString>("switches");  // 1 on, 0 off
    QTest::addColumn<bool>("shown");
    QTest::newRow("on") << "1" << false;
    QTest::newRow("on, off") << "10" << false;
    QTest::newRow("on, off, on, off") << "1010" << false;
    QTest::newRow("on twice, off twice") << "1100" << false;
    QTest::newRow("shown: on, off, on") << "101" << true;
}

void TestTagHighlighter::switchingOnAndOffLeavesTextAndHistory()
{
    QFETCH(QString, switches);
    QFETCH(bool, shown);
    const QString text = QStringLiteral("<p>one</p>\r\n<!-- two\r\nthree -->\r\n<a href=\"x\">four</a>");
    Box b(text);
    if (shown) {
        b.box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    }
    b.buffer.SetSelection(5, 3);
    for (const QChar s : switches) {
        const bool on = s == QLatin1Char('1');
        b.highlighter->setEnabled(on);
        QCoreApplication::processEvents();
        QCOMPARE(b.highlighter->isEnabled(), on);
        QCOMPARE(b.hasAnyFormat(), on);
        if (on) {
            QCOMPARE(b.colourAt(0), kBlue);
            QCOMPARE(b.colourAt(b.buffer.text().indexOf(QLatin1String("<a"))), kRed);
        } else {
            QCOMPARE(b.colourAt(0), kBlack);
            QVERIFY(!b.boldAt(0));
        }
    }
    QCOMPARE(b.changes, 0);
    QCOMPARE(b.history.HistoryPos(), 1);
    QCOMPARE(b.history.HistoryTop(), 1);
    QCOMPARE(b.buffer.text(), text);
    QCOMPARE(b.buffer.selectionStart(), 5);
    QCOMPARE(b.buffer.selectionLength(), 3);
    // A recolouring asked for directly is no change of the text either.
    b.box.recolor();
    QCOMPARE(b.changes, 0);
}

void TestTagHighlighter::typingRecordsOneSnapshotPerChange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");  // selected before typing
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("snapshots");
    QTest::addColumn<QString>("result");
    const QString page = QStringLiteral("<p>ab</p>\r\nx\r\n<a>");
    QTest::newRow("letters in a tag") << page << 4 << 0 << "xyz" << 3 << "<p>axyzb</p>\r\nx\r\n<a>";
    QTest::newRow("a comment opened on line 1") << page << 0 << 0 << "<!--" << 4 << "<!--<p>ab</p>\r\nx\r\n<a>";
    QTest::newRow("typing at the end") << page << 17 << 0 << "<b>" << 3 << "<p>ab</p>\r\nx\r\n<a><b>";
    QTest::newRow("backspace at the end") << page << 17 << 0 << "\b\b" << 2 << "<p>ab</p>\r\nx\r\n<";
    QTest::newRow("delete") << page << 0 << 0 << "\x7f\x7f" << 2 << ">ab</p>\r\nx\r\n<a>";
    QTest::newRow("line breaks") << page << 12 << 0 << "\n\n" << 2 << "<p>ab</p>\r\nx\r\n\r\n\r\n<a>";
    QTest::newRow("one character for a selected one") << page << 1 << 1 << "a" << 1 << "<a>ab</p>\r\nx\r\n<a>";
    QTest::newRow("the same character for itself") << page << 1 << 1 << "p" << 1 << page;
    QTest::newRow("everything for one character") << page << 0 << 17 << "z" << 1 << "z";
    QTest::newRow("empty document") << QString() << 0 << 0 << "<a" << 2 << "<a";
}

void TestTagHighlighter::typingRecordsOneSnapshotPerChange()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, keys);
    QFETCH(int, snapshots);
    QFETCH(QString, result);
    Box b(text);
    b.highlighter->setEnabled(true);
    b.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    b.buffer.SetSelection(start, length);
    b.type(keys);
    QCoreApplication::processEvents();
    QCOMPARE(b.buffer.text(), result);
    QCOMPARE(b.changes, snapshots);
    QCOMPARE(b.history.HistoryPos(), 1 + snapshots);
    // Each snapshot holds the text after its change; the last is the result.
    QCOMPARE(b.history.textAt(snapshots), result);
    if (!result.isEmpty()) {
        const Expected e = expectedFor(result);
        QCOMPARE(b.colourAt(0), e.colour[0]);
        QCOMPARE(b.colourAt(result.size() - 1), e.colour[result.size() - 1]);
    }
}

void TestTagHighlighter::pasteInputMethodAndCutRecordOneSnapshotEach()
{
    Box b(QStringLiteral("<p>\r\nx"));
    b.highlighter->setEnabled(true);
    b.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    b.buffer.SetSelection(6, 0);
    QGuiApplication::clipboard()->setText(QStringLiteral("<a>"));
    b.box.paste();
    QCOMPARE(b.buffer.text(), QStringLiteral("<p>\r\nx<a>"));
    QCOMPARE(b.changes, 1);
    QCOMPARE(b.colourAt(7), kRed);
    // Text still being composed is shown but is not part of the document yet.
    QInputMethodEvent preedit(QString::fromUtf8("にほん"), {});
    QApplication::sendEvent(&b.box, &preedit);
    QCOMPARE(b.buffer.text(), QStringLiteral("<p>\r\nx<a>"));
    QCOMPARE(b.changes, 1);
    QInputMethodEvent ime;
    ime.setCommitString(QString::fromUtf8("日本"));
    QApplication::sendEvent(&b.box, &ime);
    QCOMPARE(b.buffer.text(), QString::fromUtf8("<p>\r\nx<a>日本"));
    QCOMPARE(b.changes, 2);
    b.buffer.SetSelection(0, 3);
    b.box.cut();
    QCOMPARE(b.buffer.text(), QString::fromUtf8("\r\nx<a>日本"));
    QCOMPARE(b.changes, 3);
    QCOMPARE(b.history.HistoryPos(), 4);
    QCOMPARE(b.colourAt(3), kRed);
}

void TestTagHighlighter::editOnFirstLineRecoloursFollowingLines()
{
    const QString text = QStringLiteral("x\r\n<p>\r\ny\r\n-->\r\nz");
    Box b(text);
    b.highlighter->setEnabled(true);
    b.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    const int y = 8;
    const int z = 16;
    QCOMPARE(b.colourAt(y), kBlack);
    QCOMPARE(b.colourAt(3), kBlue);

    b.buffer.SetSelection(0, 0);
    b.type(QStringLiteral("<!--"));
    QCOMPARE(b.colourAt(y + 4), kBlue);
    QVERIFY(b.boldAt(y + 4));
    QCOMPARE(b.colourAt(z + 4 - 3), kBlue);  // the closing "-->"
    QCOMPARE(b.colourAt(z + 4), kBlack);     // after it

    b.type(QStringLiteral("\b\b\b\b"));
    QCOMPARE(b.buffer.text(), text);
    QCOMPARE(b.colourAt(y), kBlack);
    QVERIFY(!b.boldAt(y));
    QCOMPARE(b.colourAt(3), kBlue);
    QCOMPARE(b.changes, 8);
}

void TestTagHighlighter::mainWindowFollowsTheSetting_data()
{
    QTest::addColumn<int>("colorAdd");
    QTest::newRow("colouring on") << 1;
    QTest::newRow("colouring off") << 0;
}

void TestTagHighlighter::mainWindowFollowsTheSetting()
{
    QFETCH(int, colorAdd);
    TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/quillet.ini"),
            QByteArray("[Setting]\r\nColorAdd=") + QByteArray::number(colorAdd) + "\r\n[View]\r\nSyntaxColour=0\r\n");
    FakePlatform fakes;
    MainFrm w(QuilletContext{fakes.platform(), app.path(), QString(), false});
    w.load();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::processEvents();

    RichTextBox* box = childOf<RichTextBox>(&w, "RichTextBox1");
    auto formatted = [box] { return anyStyled(*box); };
    const QString text = w.session().buffer().text();
    QVERIFY(text.startsWith(QLatin1Char('<')));
    QCOMPARE(formatted(), colorAdd == 1);
    QCOMPARE(w.session().history().HistoryPos(), 1);
    QVERIFY(!w.session().document().isModified());

    w.findChild<TagHighlighter*>()->setEnabled(colorAdd != 1);
    w.findChild<TagHighlighter*>()->setEnabled(colorAdd == 1);
    QCOMPARE(w.session().history().HistoryPos(), 1);
    QVERIFY(!w.session().document().isModified());

    w.session().buffer().SetSelection(0, 0);
    QTest::keyClicks(childOf<RichTextBox>(&w, "RichTextBox1"), QStringLiteral("ab"));
    QCOMPARE(w.session().history().HistoryPos(), 3);
    QCOMPARE(w.session().buffer().text(), QStringLiteral("ab") + text);
    QCOMPARE(formatted(), colorAdd == 1);

    w.findChild<TagHighlighter*>()->setEnabled(false);
    QVERIFY(!formatted());
    QCOMPARE(w.session().history().HistoryPos(), 3);
}

QTEST_MAIN(TestTagHighlighter)
#include "tst_taghighlighter.moc"
