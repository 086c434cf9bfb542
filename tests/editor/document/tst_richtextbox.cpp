#include "editor/document/ui/scintillaeditbuffer.h"
#include "editor/document/edithistory.h"

#include <QAccessible>
#include <QInputMethodEvent>

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
    void changesReportTheirEdits_data();
    void changesReportTheirEdits();
    void undoRedoThroughRangesGiveTheRecordedTexts();
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

    // Assistive tools see the same offsets and text.
    b.SetText(QStringLiteral("aあ😀\r\ncde\r\n\r\nf"));
    b.SetSelection(start, length);
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(&box);
    QVERIFY(acc && acc->textInterface());
    QAccessibleTextInterface* t = acc->textInterface();
    QCOMPARE(t->characterCount(), int(b.length()));
    QCOMPARE(t->text(0, t->characterCount()), b.text());
    QCOMPARE(t->text(start, start + length), b.selectedText());
    int from = -1, to = -1;
    t->selection(0, &from, &to);
    QCOMPARE(from, start);
    QCOMPARE(to, start + length);
    t->setSelection(0, 1, 4);
    QCOMPARE(b.selectedText(), QStringLiteral("あ😀"));
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
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
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
    // U+FEFF first is a character of the page, not a byte order mark.
    const QString zwnbsp = QString(QChar(0xFEFF)) + QStringLiteral("a\r\n");
    b.SetText(zwnbsp);
    QCOMPARE(b.text(), zwnbsp);
    QCOMPARE(b.textRange(0, 2), zwnbsp.left(2));
}

void TestRichTextBox::typingNotifiesAndShiftEnterBreaksLine()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    int changes = 0;
    QObject::connect(&b, &EditBuffer::changed, [&] { ++changes; });
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

// Each change hands the history exactly what it changed, in UTF-16 offsets.
void TestRichTextBox::changesReportTheirEdits_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("key after Japanese") << 9 << 0 << "key" << 9 << ""
                                        << "x";
    QTest::newRow("key over a selection") << 0 << 3 << "key" << 0 << "日本語"
                                          << "x";
    QTest::newRow("backspace over a break") << 5 << 0 << "backspace" << 3 << "\r\n"
                                            << "";
    QTest::newRow("composed, then committed") << 5 << 0 << "ime" << 5 << ""
                                              << "漢字";
    QTest::newRow("replace selection") << 5 << 4 << "replace" << 5 << "😀ab"
                                       << "<B>";
}

void TestRichTextBox::changesReportTheirEdits()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, action);
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    b.SetText(QStringLiteral("日本語\r\n😀ab\r\n"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    b.SetSelection(start, length);
    std::vector<std::vector<TextEdit>> seen;
    QObject::connect(&b, &EditBuffer::changed, [&] { seen.push_back(b.lastEdits()); });
    if (action == QLatin1String("key")) {
        QTest::keyClick(&box, Qt::Key_X);
    } else if (action == QLatin1String("backspace")) {
        QTest::keyClick(&box, Qt::Key_Backspace);
    } else if (action == QLatin1String("ime")) {
        for (const QString& step : {QStringLiteral("か"), QStringLiteral("かん"), QStringLiteral("かんじ")}) {
            QInputMethodEvent preedit(step, {});
            QApplication::sendEvent(&box, &preedit);
        }
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("漢字"));
        QApplication::sendEvent(&box, &commit);
    } else {
        b.ReplaceSelection(QStringLiteral("<B>"));
    }
    QCOMPARE(seen.size(), size_t(1));
    QCOMPARE(seen[0].size(), size_t(1));
    QTEST(int(seen[0][0].position), "position");
    QTEST(seen[0][0].removed, "removed");
    QTEST(seen[0][0].inserted, "inserted");
}

void TestRichTextBox::undoRedoThroughRangesGiveTheRecordedTexts()
{
    RichTextBox box;
    ScintillaEditBuffer b(&box);
    EditHistory history(b);
    QObject::connect(&b, &EditBuffer::changed, [&] { history.onTextChanged(); });
    b.SetText(QStringLiteral("<p>あい</p>\r\n"));
    history.ResetHistory();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QStringList states{b.text()};
    QList<qsizetype> carets{b.selectionStart()};
    b.SetSelection(4, 0);
    QTest::keyClick(&box, Qt::Key_Return);
    states << b.text();
    carets << b.selectionStart();
    b.SetSelection(0, 3);
    b.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"));
    states << b.text();
    carets << b.selectionStart();
    b.SetText(QStringLiteral("全部\r\n新しい"));
    states << b.text();
    carets << b.selectionStart();
    for (int i = int(states.size()) - 2; i >= 0; --i) {
        history.UndoStep();
        QCOMPARE(b.text(), states[i]);
        QCOMPARE(b.selectionStart(), carets[i]);
    }
    for (int i = 1; i < int(states.size()); ++i) {
        history.RedoStep();
        QCOMPARE(b.text(), states[i]);
    }
    QCOMPARE(history.textAt(2), states[2]);
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
