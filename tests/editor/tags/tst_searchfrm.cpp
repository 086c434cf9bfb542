#include "tests/testkit/editorfixture.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "editor/window/mainfrm.h"
#include "editor/tags/ui/searchfrm.h"
#include "tests/testkit/tempappfolder.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {
struct Editor : EditorFixture {
    std::unique_ptr<SearchFrm> dlg;

    explicit Editor(const QString& text) : EditorFixture(QByteArray())
    {
        w->session().buffer().SetText(text);
        w->session().history().ResetHistory();
        fakes.messages.shown.clear();
        dlg = std::make_unique<SearchFrm>(w->session().buffer(), &fakes.messages, w.get());
        dlg->show();
    }
    void search(const QString& find, const QString& replace = QString())
    {
        childOf<QLineEdit>(&*dlg, "SerchText")->setText(find);
        childOf<QLineEdit>(&*dlg, "ChangeText")->setText(replace);
        QTest::mouseClick(childOf<QPushButton>(&*dlg, "SerchGo"), Qt::LeftButton);
    }
    QString text() { return w->session().buffer().text(); }
    QPair<qsizetype, qsizetype> selection()
    {
        return {w->session().buffer().selectionStart(), w->session().buffer().selectionLength()};
    }
};
}  // namespace

class TestSearchFrm : public QObject {
    Q_OBJECT
private slots:
    void nextVisitsEveryOccurrence();
    void replacementsAreNotSearchedAgain();
    void messages_data();
    void messages();
    void closingEndsAWaitingRun();
    void changingTheSearchTextDisablesNext();
    void replaceAllIsOneUndoStep_data();
    void replaceAllIsOneUndoStep();
    void conversionsThroughTheMenu_data();
    void conversionsThroughTheMenu();
};

void TestSearchFrm::nextVisitsEveryOccurrence()
{
    Editor e(QStringLiteral("abab"));
    QCOMPARE(e.dlg->windowTitle(), QStringLiteral("検索＆置換"));
    QVERIFY(!childOf<QPushButton>(&*e.dlg, "SerchNext")->isEnabled());
    e.search(QStringLiteral("ab"));
    QVERIFY(childOf<QPushButton>(&*e.dlg, "SerchNext")->isEnabled());
    QCOMPARE(e.selection(), qMakePair(qsizetype(0), qsizetype(2)));
    QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "SerchNext"), Qt::LeftButton);
    QCOMPARE(e.selection(), qMakePair(qsizetype(2), qsizetype(2)));
    QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "SerchNext"), Qt::LeftButton);
    QVERIFY(!e.dlg->run().isWaiting());
    QVERIFY(e.fakes.messages.shown.isEmpty());  // ends silently
    QCOMPARE(e.text(), QStringLiteral("abab"));
}

void TestSearchFrm::replacementsAreNotSearchedAgain()
{
    Editor e(QStringLiteral("aaa"));
    e.search(QStringLiteral("a"), QStringLiteral("aa"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "TextChange"), Qt::LeftButton);
    QCOMPARE(e.text(), QStringLiteral("aaaaaa"));
    QVERIFY(!e.dlg->run().isWaiting());
    // Each replacement was one change of the document: undo walks back through them.
    QStringList seen;
    for (int i = 0; i < 6 && e.w->session().history().canUndo(); ++i) {
        e.w->runCommand(QStringLiteral("IDM_UNDO"));
        seen << e.text();
    }
    QVERIFY(seen.contains(QStringLiteral("aaaaa")));
    QVERIFY(seen.contains(QStringLiteral("aaaa")));
    QCOMPARE(seen.last(), QStringLiteral("aaa"));
}

void TestSearchFrm::messages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("message");
    QTest::newRow("case-sensitive") << "x"
                                    << "X"
                                    << "検索文字が見つかりませんでした";
    QTest::newRow("empty search text") << "abc"
                                       << ""
                                       << "検索・置換文字列を入力して下さい";
    QTest::newRow("empty document") << ""
                                    << "a"
                                    << "検索・置換文字列を入力して下さい";
    QTest::newRow("longer than the document") << "ab"
                                              << "abc"
                                              << "検索文字が見つかりませんでした";
}

void TestSearchFrm::messages()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, message);
    Editor e(text);
    e.search(find);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QCOMPARE(e.fakes.messages.shown[0].text, message);
    QCOMPARE(e.fakes.messages.shown[0].buttons, MsgButtons::Ok);
    QCOMPARE(e.text(), text);
    QCOMPARE(e.w->session().buffer().selectionLength(), 0);
    QVERIFY(!e.w->session().history().canUndo());  // nothing changed
}

void TestSearchFrm::closingEndsAWaitingRun()
{
    Editor e(QStringLiteral("one two one"));
    e.search(QStringLiteral("one"), QStringLiteral("1"));
    QVERIFY(e.dlg->run().isWaiting());
    QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "CloseBtn"), Qt::LeftButton);
    QVERIFY(!e.dlg->isVisible());
    QVERIFY(!e.dlg->run().isWaiting());
    QCOMPARE(e.text(), QStringLiteral("one two one"));
}

void TestSearchFrm::changingTheSearchTextDisablesNext()
{
    Editor e(QStringLiteral("abc abc"));
    e.search(QStringLiteral("abc"));
    QVERIFY(childOf<QPushButton>(&*e.dlg, "SerchNext")->isEnabled());
    childOf<QLineEdit>(&*e.dlg, "SerchText")->setText(QStringLiteral("x"));
    QVERIFY(!childOf<QPushButton>(&*e.dlg, "SerchNext")->isEnabled());
    // A new start replaces the waiting run.
    e.search(QStringLiteral("c"), QString());
    QCOMPARE(e.selection(), qMakePair(qsizetype(2), qsizetype(1)));
    QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "TextChange"), Qt::LeftButton);  // empty replacement deletes it
    QCOMPARE(e.text(), QStringLiteral("ab abc"));
    QCOMPARE(e.selection(), qMakePair(qsizetype(5), qsizetype(1)));
}

void TestSearchFrm::conversionsThroughTheMenu_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("startsWith");
    QTest::addColumn<QString>("contains");
    QTest::newRow("erase tags in the selection") << "IDM_TAGERACE"
                                                 << "<b>x</b>|<i>y</i>" << 0 << 8 << "x|<i>"
                                                 << "<i>y</i>";
    QTest::newRow("erase tags everywhere") << "IDM_TAGERACE"
                                           << "<b>x</b>|<i>y</i>" << 0 << 0 << "x|y"
                                           << "x|y";
    QTest::newRow("c to html on the selection") << "IDM_HTML"
                                                << "int x;" << 0 << 6 << "<PRE>"
                                                << "</PRE>";
    QTest::newRow("number the whole text") << "IDM_TEXTNUMADD"
                                           << "a\r\nb" << 0 << 0 << "1"
                                           << "b";
    QTest::newRow("text to html") << "IDM_DEFAULT"
                                  << "<b>" << 0 << 0 << ""
                                  << "<b>";
}

void TestSearchFrm::conversionsThroughTheMenu()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, startsWith);
    QFETCH(QString, contains);
    Editor e(text);
    e.dlg->hide();
    e.w->session().buffer().SetSelection(start, length);
    QVERIFY(e.w->findChild<QAction*>(command));
    e.w->findChild<QAction*>(command)->trigger();
    QVERIFY2(e.text().startsWith(startsWith), qPrintable(e.text()));
    QVERIFY2(e.text().contains(contains), qPrintable(e.text()));
    QVERIFY(e.text() != text);
    e.w->runCommand(QStringLiteral("IDM_UNDO"));  // one change, one undo
    QCOMPARE(e.text(), text);
}

void TestSearchFrm::replaceAllIsOneUndoStep_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("result");  // empty: unchanged
    QTest::addColumn<QString>("message");
    QTest::newRow("plain, case by default") << "a"
                                            << "aa" << false << true << "aa1 A2 aa3"
                                            << "2 個を置換しました。";
    QTest::newRow("ignoring case") << "a"
                                   << "b" << false << false << "b1 b2 b3"
                                   << "3 個を置換しました。";
    QTest::newRow("pattern with a group") << "a(\\d)"
                                          << "<\\1>" << true << false << "<1> <2> <3>"
                                          << "3 個を置換しました。";
    QTest::newRow("pattern taken literally when off") << "a."
                                                      << "x" << false << true << ""
                                                      << "検索文字が見つかりませんでした";
    QTest::newRow("bad pattern") << "a("
                                 << "x" << true << true << ""
                                 << "正規表現が正しくありません。";
}

void TestSearchFrm::replaceAllIsOneUndoStep()
{
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, regex);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, result);
    QFETCH(QString, message);
    Editor e(QStringLiteral("a1 A2 a3"));
    QVERIFY(childOf<QCheckBox>(&*e.dlg, "CaseChk")->isChecked());
    QVERIFY(!childOf<QCheckBox>(&*e.dlg, "RegexChk")->isChecked());
    if (regex)
        QTest::mouseClick(childOf<QCheckBox>(&*e.dlg, "RegexChk"), Qt::LeftButton);
    if (!caseSensitive)
        QTest::mouseClick(childOf<QCheckBox>(&*e.dlg, "CaseChk"), Qt::LeftButton);
    childOf<QLineEdit>(&*e.dlg, "SerchText")->setText(find);
    childOf<QLineEdit>(&*e.dlg, "ChangeText")->setText(replace);
    QTest::mouseClick(childOf<QPushButton>(&*e.dlg, "ReplaceAllBtn"), Qt::LeftButton);
    QCOMPARE(e.fakes.messages.shown.size(), 1);
    QVERIFY2(e.fakes.messages.shown[0].text.startsWith(message), qPrintable(e.fakes.messages.shown[0].text));
    QCOMPARE(e.text(), result.isEmpty() ? QStringLiteral("a1 A2 a3") : result);
    e.dlg->close();
    e.w->runCommand(QStringLiteral("IDM_UNDO"));
    QCOMPARE(e.text(), QStringLiteral("a1 A2 a3"));
}

QTEST_MAIN(TestSearchFrm)
#include "tst_searchfrm.moc"
