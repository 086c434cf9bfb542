#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"

#include <QTest>

using namespace tw;

// A document wired to its history the way the main window does it.
struct Doc {
    MemoryEditBuffer buffer;
    EditHistory history{buffer};
    int refreshes = 0;
    bool undoEnabled = false;
    bool redoEnabled = false;

    explicit Doc(const QString& text) : buffer(text)
    {
        QObject::connect(&buffer, &EditBuffer::changed, [this] { history.onTextChanged(); });
        QObject::connect(&history, &EditHistory::undoRedoChanged, [this](bool u, bool r) {
            ++refreshes;
            undoEnabled = u;
            redoEnabled = r;
        });
        history.ResetHistory();
    }
    void typeAt(qsizetype pos, const QString& s)
    {
        buffer.SetSelection(pos, 0);
        buffer.type(s);
    }
};

class TestEditHistory : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void typingAfterUndoDiscardsRedo();
    void undoRestoresCaret();
    void resetDisablesUndo();
    void sequences_data();
    void sequences();
    void deltasRebuildEveryState();
    void fullHistoryStopsStoring();
    void memoryStaysSmallOnLargeDocument();
};

void TestEditHistory::workedExample()
{
    Doc d(QStringLiteral("D0"));
    QCOMPARE(d.history.HistoryPos(), 1);
    QCOMPARE(d.history.HistoryTop(), 1);
    d.buffer.SetText(QStringLiteral("D1"));
    d.buffer.SetText(QStringLiteral("D2"));
    QCOMPARE(d.history.HistoryPos(), 3);
    QCOMPARE(d.history.HistoryTop(), 3);

    d.history.UndoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D1"));
    QCOMPARE(d.history.HistoryPos(), 1);
    QVERIFY(d.history.AfterHistoryStep());
    d.history.UndoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D0"));
    QCOMPARE(d.history.HistoryPos(), 0);
    QVERIFY(!d.undoEnabled);
    QVERIFY(d.redoEnabled);
    d.history.UndoStep();  // not possible: nothing changes
    QCOMPARE(d.buffer.text(), QStringLiteral("D0"));

    d.history.RedoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D1"));
    d.history.RedoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D2"));
    QVERIFY(!d.redoEnabled);
    d.history.RedoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D2"));
    QVERIFY(d.undoEnabled);
}

void TestEditHistory::typingAfterUndoDiscardsRedo()
{
    Doc d(QStringLiteral("D0"));
    d.buffer.SetText(QStringLiteral("D1"));
    d.buffer.SetText(QStringLiteral("D2"));
    d.history.UndoStep();  // at index 1
    d.buffer.SetText(QStringLiteral("X"));
    QCOMPARE(d.history.HistoryPos(), 3);
    QCOMPARE(d.history.HistoryTop(), 3);
    QVERIFY(!d.history.AfterHistoryStep());
    QVERIFY(!d.redoEnabled);
    QCOMPARE(d.history.textAt(2), QStringLiteral("X"));
    d.history.UndoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("D1"));
    d.history.RedoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("X"));  // D2 is gone
}

void TestEditHistory::undoRestoresCaret()
{
    Doc d(QStringLiteral("hello"));
    d.buffer.SetSelection(3, 0);
    d.history.ResetHistory();  // the loaded text with the caret at 3
    d.typeAt(5, QStringLiteral("!"));
    QCOMPARE(d.buffer.selectionStart(), 6);
    d.history.UndoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("hello"));
    QCOMPARE(d.buffer.selectionStart(), 3);
    d.history.RedoStep();
    QCOMPARE(d.buffer.text(), QStringLiteral("hello!"));
    QCOMPARE(d.buffer.selectionStart(), 6);
}

void TestEditHistory::resetDisablesUndo()
{
    Doc d(QStringLiteral("abc"));
    QVERIFY(!d.undoEnabled);
    QVERIFY(!d.redoEnabled);
    QVERIFY(d.refreshes > 0);
    d.typeAt(3, QStringLiteral("d"));
    QVERIFY(d.undoEnabled);
    d.history.ResetHistory();
    QVERIFY(!d.undoEnabled);
    QCOMPARE(d.history.HistoryTop(), 1);
}

// Operations: 't' types a letter at the end, 'u' undo, 'r' redo.
void TestEditHistory::sequences_data()
{
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("canUndo");
    QTest::addColumn<bool>("canRedo");
    QTest::newRow("nothing") << ""
                             << "" << false << false;
    QTest::newRow("one edit") << "t"
                              << "a" << true << false;
    QTest::newRow("edit undone") << "tu"
                                 << "" << false << true;
    QTest::newRow("two undone one redone") << "ttuur"
                                           << "a" << true << true;
    QTest::newRow("undo past the start") << "tuuu"
                                         << "" << false << true;
    QTest::newRow("redo past the end") << "ttuurrr"
                                       << "ab" << true << false;
    QTest::newRow("type after undo") << "ttut"
                                     << "ab" << true << false;  // letters count from the length
    QTest::newRow("undo twice after retyping") << "ttutuu"
                                               << "" << false << true;
    QTest::newRow("type after two undos") << "tttuut"
                                          << "ab" << true << false;
}

void TestEditHistory::sequences()
{
    QFETCH(QString, ops);
    QFETCH(QString, text);
    QFETCH(bool, canUndo);
    QFETCH(bool, canRedo);
    Doc d(QString{});
    for (QChar op : ops) {
        if (op == u't')
            d.typeAt(d.buffer.text().size(), QString(QChar(char16_t(u'a' + d.buffer.text().size()))));
        else if (op == u'u')
            d.history.UndoStep();
        else
            d.history.RedoStep();
    }
    QCOMPARE(d.buffer.text(), text);
    QCOMPARE(d.undoEnabled, canUndo);
    QCOMPARE(d.redoEnabled, canRedo);
    QCOMPARE(d.history.canUndo(), canUndo);
    QCOMPARE(d.history.canRedo(), canRedo);
}

void TestEditHistory::deltasRebuildEveryState()
{
    // Random edits anywhere in the text; every stored state must come back
    // exactly as it was recorded, walking both ways.
    Doc d(QStringLiteral("<html>\r\n<body>本文</body>\r\n</html>"));
    QStringList states{d.buffer.text()};
    quint32 seed = 12345;
    auto rnd = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % quint32(n));
    };
    for (int i = 0; i < 200; ++i) {
        const QString t = d.buffer.text();
        const int a = rnd(int(t.size()) + 1);
        const int len = rnd(4) == 0 ? rnd(int(t.size()) - a + 1) : 0;
        d.buffer.SetSelection(a, len);
        d.buffer.type(rnd(3) == 0 ? QString() : QStringLiteral("x<y>").left(rnd(5)));
        states << d.buffer.text();
    }
    QCOMPARE(d.history.HistoryTop(), states.size());
    for (int i = int(states.size()) - 1; i >= 0; --i)
        QCOMPARE(d.history.textAt(i), states[i]);
    for (int i = 0; i < states.size(); i += 7)
        QCOMPARE(d.history.textAt(i), states[i]);
    for (int i = int(states.size()) - 2; i >= 0; --i) {
        d.history.UndoStep();
        QCOMPARE(d.buffer.text(), states[i]);
    }
}

void TestEditHistory::fullHistoryStopsStoring()
{
    Doc d(QString{});
    for (int i = 1; i < EditHistory::kSlots; ++i)
        d.typeAt(0, QStringLiteral("a"));
    QCOMPARE(d.history.HistoryTop(), EditHistory::kSlots);
    const QString lastStored = d.buffer.text();
    d.typeAt(0, QStringLiteral("b"));  // no slot left: not stored
    d.typeAt(0, QStringLiteral("c"));
    QCOMPARE(d.history.HistoryTop(), EditHistory::kSlots);
    QCOMPARE(d.buffer.text(), QStringLiteral("cb") + lastStored);
    d.history.UndoStep();  // back to the newest stored state
    QCOMPARE(d.buffer.text(), lastStored);
    d.history.UndoStep();
    QCOMPARE(d.buffer.text(), lastStored.mid(1));
}

void TestEditHistory::memoryStaysSmallOnLargeDocument()
{
    QString big(2 * 1024 * 1024, QChar(u'x'));
    Doc d(big);
    d.buffer.SetSelection(big.size() / 2, 0);
    for (int i = 0; i < 3000; ++i)
        d.buffer.type(QStringLiteral("y"));
    // Base text, one cached state and the small differences: far below one
    // copy per keystroke (which would be 12 GB).
    const qsizetype bytes = d.history.storedChars() * 2;
    QVERIFY2(bytes < 200 * 1024 * 1024, qPrintable(QString::number(bytes)));
    QVERIFY(bytes < 3 * big.size() * 2);
    d.history.UndoStep();
    QCOMPARE(d.buffer.text().size(), big.size() + 2999);
}

QTEST_APPLESS_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
