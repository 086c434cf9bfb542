#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"
#include "editor/tags/search.h"

#include <QTest>

using namespace tw;

namespace {

// A document wired to its history the way the main window does it.
struct Doc {
    MemoryEditBuffer buffer;
    EditHistory history{buffer};
    int changes = 0;

    explicit Doc(const QString& text) : buffer(text)
    {
        QObject::connect(&buffer, &EditBuffer::changed, [this] {
            ++changes;
            history.onTextChanged();
        });
        history.ResetHistory();
        changes = 0;
    }
};

}  // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
    void selectionFollowsTheRun();
    void eachStepIsOneUndoState();
    void newStartReplacesAWaitingRun();
    void closeEndsAWaitingRun();
    void requestsWithoutARunDoNothing();
    void runKeepsItsTexts();
};

// actions: n = SerchNext, r = TextChange, applied in order after SerchGo.
void TestSearch::runs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QList<int>>("visits");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("waiting");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("changes");
    const QString notFound = searchNotFoundMessage();
    const QString enter = searchEnterTextsMessage();
    QTest::newRow("abab, next twice") << "abab"
                                      << "ab"
                                      << ""
                                      << "nn" << QList<int>{0, 2} << "abab" << false << "" << 3;
    QTest::newRow("aaa, a to aa three times") << "aaa"
                                              << "a"
                                              << "aa"
                                              << "rrr" << QList<int>{0, 2, 4} << "aaaaaa" << false << "" << 4;
    QTest::newRow("case-sensitive") << "x"
                                    << "X"
                                    << ""
                                    << "" << QList<int>{} << "x" << false << notFound << 0;
    QTest::newRow("empty search text") << "abc"
                                       << ""
                                       << "x"
                                       << "" << QList<int>{} << "abc" << false << enter << 0;
    QTest::newRow("empty document") << ""
                                    << "a"
                                    << "x"
                                    << "" << QList<int>{} << "" << false << enter << 0;
    QTest::newRow("search text longer than the document") << "ab"
                                                          << "abc"
                                                          << ""
                                                          << "" << QList<int>{} << "ab" << false << notFound << 0;
    QTest::newRow("empty replacement deletes and goes on behind it")
        << "abcabc"
        << "b"
        << ""
        << "rr" << QList<int>{1, 3} << "acac" << false << "" << 3;
    QTest::newRow("replacement containing the search text")
        << "ab ab"
        << "ab"
        << "xaby"
        << "rr" << QList<int>{0, 5} << "xaby xaby" << false << "" << 3;
    QTest::newRow("next then replace, still waiting") << "a.a.a"
                                                      << "a"
                                                      << "b"
                                                      << "nr" << QList<int>{0, 2, 4} << "a.b.a" << true << "" << 2;
    QTest::newRow("occurrences next to each other") << "aaaa"
                                                    << "aa"
                                                    << ""
                                                    << "nn" << QList<int>{0, 2} << "aaaa" << false << "" << 3;
    QTest::newRow("outside the BMP") << QString::fromUtf8("😀a😀") << QString::fromUtf8("😀") << "b"
                                     << "rr" << QList<int>{0, 2} << "bab" << false << "" << 3;
    QTest::newRow("across a line break") << "a\r\nb"
                                         << "\r\n"
                                         << "<br>"
                                         << "r" << QList<int>{1} << "a<br>b" << false << "" << 2;
}

void TestSearch::runs()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, actions);
    QFETCH(QList<int>, visits);
    QFETCH(QString, result);
    QFETCH(bool, waiting);
    QFETCH(QString, message);
    QFETCH(int, changes);

    Doc doc(text);
    SearchRun run(doc.buffer);
    QList<int> seen;
    SearchOutcome o = run.start(find, replacement);
    QString shown = o.message;
    if (o.waiting)
        seen << int(o.selectionStart);
    for (QChar a : actions) {
        QVERIFY(o.waiting);
        o = a == u'n' ? run.next() : run.replace();
        if (!o.message.isEmpty())
            shown = o.message;
        if (o.waiting)
            seen << int(o.selectionStart);
    }
    QCOMPARE(seen, visits);
    QCOMPARE(doc.buffer.text(), result);
    QCOMPARE(o.waiting, waiting);
    QCOMPARE(run.isWaiting(), waiting);
    QCOMPARE(shown, message);
    QCOMPARE(doc.changes, changes);
    if (!waiting && !visits.isEmpty()) {
        // Ended silently: caret at the start, nothing selected.
        QCOMPARE(doc.buffer.selectionStart(), 0);
        QCOMPARE(doc.buffer.selectionLength(), 0);
    }
}

void TestSearch::selectionFollowsTheRun()
{
    Doc doc(QStringLiteral("one two one two"));
    doc.buffer.SetSelection(5, 3);
    SearchRun run(doc.buffer);
    SearchOutcome o = run.start(QStringLiteral("two"), QStringLiteral("2"));
    QVERIFY(o.waiting);
    QCOMPARE(doc.buffer.selectionStart(), 4);
    QCOMPARE(doc.buffer.selectionLength(), 3);
    QCOMPARE(run.position(), 1);
    QCOMPARE(run.handled(), 0);
    QCOMPARE(run.occurrence(), 4);

    o = run.replace();
    QCOMPARE(doc.buffer.text(), QStringLiteral("one 2 one two"));
    QCOMPARE(o.selectionStart, 10);
    QCOMPARE(o.selectionLength, 3);
    QCOMPARE(doc.buffer.selectionStart(), 10);
    QCOMPARE(doc.buffer.selectionLength(), 3);
    QCOMPARE(doc.buffer.selectedText(), QStringLiteral("two"));
    QCOMPARE(run.position(), 6);  // 1-based, right behind the replacement
    QCOMPARE(run.handled(), 1);

    o = run.next();
    QVERIFY(!o.waiting);
    QVERIFY(o.message.isEmpty());
    QCOMPARE(run.handled(), 2);
    QCOMPARE(run.occurrence(), -1);
}

// Each step is one change of the document and so one state of the history;
// the run's end writes the text once more.
void TestSearch::eachStepIsOneUndoState()
{
    Doc doc(QStringLiteral("a-a-a"));
    SearchRun run(doc.buffer);
    run.start(QStringLiteral("a"), QStringLiteral("b"));
    run.replace();
    run.next();
    run.replace();
    QVERIFY(!run.isWaiting());
    QCOMPARE(doc.history.HistoryTop(), 5);
    QCOMPARE(doc.history.textAt(0), QStringLiteral("a-a-a"));
    QCOMPARE(doc.history.textAt(1), QStringLiteral("b-a-a"));
    QCOMPARE(doc.history.textAt(2), QStringLiteral("b-a-a"));
    QCOMPARE(doc.history.textAt(3), QStringLiteral("b-a-b"));
    QCOMPARE(doc.history.textAt(4), QStringLiteral("b-a-b"));

    doc.history.UndoStep();
    doc.history.UndoStep();
    QCOMPARE(doc.buffer.text(), QStringLiteral("b-a-a"));
    doc.history.UndoStep();
    doc.history.UndoStep();
    QCOMPARE(doc.buffer.text(), QStringLiteral("a-a-a"));
}

void TestSearch::newStartReplacesAWaitingRun()
{
    Doc doc(QStringLiteral("abab"));
    SearchRun run(doc.buffer);
    QVERIFY(run.start(QStringLiteral("ab"), QStringLiteral("x")).waiting);
    SearchOutcome o = run.start(QStringLiteral("b"), QStringLiteral("y"));
    QVERIFY(o.waiting);
    QCOMPARE(o.selectionStart, 1);
    QCOMPARE(doc.changes, 0);
    o = run.replace();
    QCOMPARE(doc.buffer.text(), QStringLiteral("ayab"));
    QCOMPARE(o.selectionStart, 3);
    QCOMPARE(run.handled(), 1);
}

void TestSearch::closeEndsAWaitingRun()
{
    Doc doc(QStringLiteral("abab"));
    SearchRun run(doc.buffer);
    run.start(QStringLiteral("ab"), QStringLiteral("x"));
    run.replace();
    QCOMPARE(doc.changes, 1);
    QVERIFY(run.isWaiting());
    run.close();
    QVERIFY(!run.isWaiting());
    const SearchOutcome o = run.replace();
    QVERIFY(!o.waiting);
    QCOMPARE(doc.buffer.text(), QStringLiteral("xab"));
    QCOMPARE(doc.changes, 1);
}

void TestSearch::requestsWithoutARunDoNothing()
{
    Doc doc(QStringLiteral("abc"));
    SearchRun run(doc.buffer);
    QVERIFY(!run.next().waiting);
    QVERIFY(!run.replace().waiting);
    QVERIFY(!run.request(SearchRequest::None).waiting);
    run.start(QStringLiteral("b"), QStringLiteral("x"));
    const SearchOutcome o = run.request(SearchRequest::None);
    QVERIFY(o.waiting);
    QCOMPARE(o.selectionStart, 1);
    QCOMPARE(doc.changes, 0);
    QCOMPARE(doc.buffer.text(), QStringLiteral("abc"));
}

// The dialog's boxes may change while a run waits; the run goes on with the
// texts it was started with.
void TestSearch::runKeepsItsTexts()
{
    Doc doc(QStringLiteral("a b a"));
    SearchRun run(doc.buffer);
    QString find = QStringLiteral("a");
    QString replacement = QStringLiteral("c");
    run.start(find, replacement);
    find = QStringLiteral("b");
    replacement = QStringLiteral("d");
    SearchOutcome o = run.replace();
    QCOMPARE(doc.buffer.text(), QStringLiteral("c b a"));
    QCOMPARE(o.selectionStart, 4);
    run.replace();
    QCOMPARE(doc.buffer.text(), QStringLiteral("c b c"));
    QCOMPARE(run.workingText(), doc.buffer.text());
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
