#include "editor/tags/ui/richtextbox.h"

#include <QApplication>
#include <QTest>

using namespace tw;

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void offsetsCountCrLfAsTwo_data();
    void offsetsCountCrLfAsTwo();
    void replaceSelectionAcrossLines();
    void oneNotificationPerOperation();
    void textKeepsSpecialCharacters();
    void typingNotifiesAndShiftEnterBreaksLine();
    void lineBreakVariantsBecomeCrLf();
};

void TestRichTextBox::offsetsCountCrLfAsTwo_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("selected");
    QTest::newRow("first line") << 0 << 2 << "ab";
    QTest::newRow("across a break") << 1 << 4 << "b\r\nc";
    QTest::newRow("second line") << 4 << 3 << "cde";
    QTest::newRow("empty line") << 9 << 2 << "\r\n";
    QTest::newRow("last line") << 11 << 1 << "f";
    QTest::newRow("whole text") << 0 << 12 << "ab\r\ncde\r\n\r\nf";
}

void TestRichTextBox::offsetsCountCrLfAsTwo()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, selected);
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    b.SetText(QStringLiteral("ab\r\ncde\r\n\r\nf"));
    QCOMPARE(b.text(), QStringLiteral("ab\r\ncde\r\n\r\nf"));
    b.SetSelection(start, length);
    QCOMPARE(b.selectedText(), selected);
    QCOMPARE(b.selectionStart(), start);
    QCOMPARE(b.selectionLength(), length);
}

void TestRichTextBox::replaceSelectionAcrossLines()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    b.SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    b.SetSelection(5, 3);  // "two"
    b.WrapSelection(QStringLiteral("<!--\r\n"), QStringLiteral("\r\n-->"));
    QCOMPARE(b.text(), QStringLiteral("one\r\n<!--\r\ntwo\r\n-->\r\nthree"));
    QCOMPARE(b.selectionStart(), 19);  // behind "-->"
    QCOMPARE(b.selectionLength(), 0);
    b.ReplaceSelection(QStringLiteral("X"));
    QCOMPARE(b.text(), QStringLiteral("one\r\n<!--\r\ntwo\r\n-->X\r\nthree"));
}

void TestRichTextBox::oneNotificationPerOperation()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    int changes = 0;
    b.setChangeHandler([&] { ++changes; });
    b.SetText(QStringLiteral("a\r\nb"));
    QCOMPARE(changes, 1);
    b.SetSelection(0, 4);
    QCOMPARE(changes, 1);
    b.ReplaceSelection(QStringLiteral("x\r\ny\r\nz"));
    QCOMPARE(changes, 2);
    b.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"));
    QCOMPARE(changes, 3);
}

void TestRichTextBox::textKeepsSpecialCharacters()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    const QString t = QStringLiteral("a\u00A0b\tc 😀 ｱ\r\n");
    b.SetText(t);
    QCOMPARE(b.text(), t);  // no-break space stays, not a blank
}

void TestRichTextBox::typingNotifiesAndShiftEnterBreaksLine()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    int changes = 0;
    b.setChangeHandler([&] { ++changes; });
    box.show();
    QTest::keyClicks(&box, QStringLiteral("ab"));
    QCOMPARE(changes, 2);
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box, QStringLiteral("c"));
    QCOMPARE(b.text(), QStringLiteral("ab\r\nc"));
    QCOMPARE(b.selectionStart(), 5);
}

void TestRichTextBox::lineBreakVariantsBecomeCrLf()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    b.SetText(QStringLiteral("a\r\nb\rc\nd"));
    QCOMPARE(b.text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    b.SetSelection(1, 0);
    b.ReplaceSelection(QStringLiteral("\n\r"));
    QCOMPARE(b.text(), QStringLiteral("a\r\n\r\n\r\nb\r\nc\r\nd"));
    QCOMPARE(b.selectionStart(), 5);
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
