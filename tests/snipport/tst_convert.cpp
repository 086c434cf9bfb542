#include "snipport/convert.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/tempappfolder.h"

#include <QTest>

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// Every rename of the program comes through here, so that a test
// can end the process right before the nth of them, as a kill would.
static int g_dieBefore = 0;
static int g_calls = 0;
extern "C" int rename(const char* from, const char* to) noexcept
{
    if (g_dieBefore > 0 && ++g_calls == g_dieBefore)
        ::_exit(70);
    return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 0));
}
extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) noexcept
{
    if (g_dieBefore > 0 && ++g_calls == g_dieBefore)
        ::_exit(70);
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

using namespace tw;
using tw::test::FakeMessageBoxes;
using tw::test::TempAppFolder;

Q_DECLARE_METATYPE(tw::SnipportOutcome)

namespace {

const QByteArray kDefaultFile = QByteArray(
    "\x89\xfc\x8ds,<br>,,Shift+Enter\r\n"
    "C\x82\xcc\x8a\xee\x96{\x95\xb6\x8c^,#include <stdio.h>\\nint main(void)\\n{\\n\\n,\\n  return (0);\\n},"
    "Shift+Ctrl+C\r\n"
    "\x92i\x97\x8e,<p>,</p>,Shift+Ctrl+P\r\n"
    "\x8f"
    "c\x8f\x91\x82\xab\x95\\\x8e\xa6,<div id=oDIV style=\"writing-mode:tb-rl\">,</div>,\r\n"
    "\x97\xa7\x91\xcc\x8b\xe6\x90\xd8\x82\xe8,_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/_/,,\r\n");

// 改行,<br>,Shift+Enter in CP932, and its version 2 form.
const QByteArray kV1Line = QByteArray("\x89\xfc\x8ds,<br>,Shift+Enter\r\n");
const QByteArray kV2Line = QByteArray("\x89\xfc\x8ds,<br>,,Shift+Enter\r\n");

const QByteArray kMissing = QByteArray("<missing>");

}  // namespace

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void run_data();
    void run();
    void secondRunRefuses();
    void killedDuringSwitchKeepsTeigataCsv();
};

void TestConvert::lines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QString>("v2");  // empty: refused
    QTest::newRow("version 1 line") << "改行,<br>,Shift+Enter" << 2 << "改行,<br>,,Shift+Enter";
    QTest::newRow("text with breaks") << "C,a\\nb\t,Ctrl+C" << 2 << "C,a\\nb\t,,Ctrl+C";
    QTest::newRow("empty text and key") << "t,," << 2 << "t,,,";
    QTest::newRow("leading comma: one counted") << ",<br>,Shift+Enter" << 1 << "";
    QTest::newRow("version 2 line") << "改行,<br>,,Shift+Enter" << 3 << "";
    QTest::newRow("version 2 line, empty title") << ",<br>,,Shift+Enter" << 2 << "";
    QTest::newRow("comma in a field") << "a,b,c,d" << 3 << "";
    QTest::newRow("one comma") << "a,b" << 1 << "";
    QTest::newRow("empty line") << "" << 0 << "";
}

void TestConvert::lines()
{
    QFETCH(QString, line);
    QFETCH(int, counted);
    QFETCH(QString, v2);
    QCOMPARE(countVersion1Commas(line), counted);
    const std::optional<QString> got = convertVersion1Line(line);
    QCOMPARE(got.has_value(), !v2.isEmpty());
    if (got)
        QCOMPARE(*got, v2);
}

void TestConvert::run_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("csv");  // kMissing: no such file
    QTest::addColumn<QByteArray>("bak");
    QTest::addColumn<SnipportOutcome>("outcome");
    QTest::addColumn<QString>("message");  // after the question; empty: none
    QTest::addColumn<QByteArray>("csvAfter");
    QTest::addColumn<QByteArray>("bakAfter");
    QTest::addColumn<QByteArray>("convAfter");

    const QString created = QStringLiteral("設定ファイルが見つからなかったので新たに作成しました");
    const QString refused = QStringLiteral("既にVer.2用の設定ファイルか、データが不整合なため変換できません");
    const QString done = QStringLiteral("正常に変換されました");
    const QByteArray twoLines = kV1Line + "p,<p>\\n,Ctrl+P\r\n";

    QTest::newRow("No ends at once") << false << twoLines << kMissing << SnipportOutcome::Declined << QString()
                                     << twoLines << kMissing << kMissing;
    QTest::newRow("missing file gets the defaults") << true << kMissing << kMissing << SnipportOutcome::CreatedDefaults
                                                    << created << kDefaultFile << kMissing << kMissing;
    QTest::newRow("version 1 converted") << true << twoLines << kMissing << SnipportOutcome::Converted << done
                                         << kV2Line + "p,<p>\\n,,Ctrl+P\r\n"
                                         << twoLines << kMissing;
    QTest::newRow("UTF-8 version 1 written as CP932")
        << true << "\xEF\xBB\xBF" + QStringLiteral("改行,<br>,Shift+Enter\n").toUtf8() << kMissing
        << SnipportOutcome::Converted << done << kV2Line
        << "\xEF\xBB\xBF" + QStringLiteral("改行,<br>,Shift+Enter\n").toUtf8() << kMissing;
    QTest::newRow("empty file converts to an empty file")
        << true << QByteArray() << kMissing << SnipportOutcome::Converted << done << QByteArray() << QByteArray()
        << kMissing;
    QTest::newRow("leading comma refused, earlier lines kept")
        << true << twoLines + ",x,Ctrl+X\r\nz,z,z\r\n"
        << kMissing << SnipportOutcome::Refused << refused << twoLines + ",x,Ctrl+X\r\nz,z,z\r\n"
        << kMissing << kV2Line + "p,<p>\\n,,Ctrl+P\r\n";
    QTest::newRow("version 2 file refused at line 1") << true << kDefaultFile << kMissing << SnipportOutcome::Refused
                                                      << refused << kDefaultFile << kMissing << QByteArray();
    QTest::newRow("existing backup stops before renaming")
        << true << twoLines << QByteArray("older\r\n") << SnipportOutcome::BackupExists
        << QStringLiteral("[teigata.bak]が既にあるため") << twoLines << QByteArray("older\r\n")
        << kV2Line + "p,<p>\\n,,Ctrl+P\r\n";
    QTest::newRow("character CP932 cannot hold")
        << true << "\xEF\xBB\xBF" + QStringLiteral("顔,😀,Ctrl+K\r\n").toUtf8() << kMissing << SnipportOutcome::Failed
        << QStringLiteral("[teigata_Conv.csv]を書き込めませんでした")
        << "\xEF\xBB\xBF" + QStringLiteral("顔,😀,Ctrl+K\r\n").toUtf8() << kMissing << kMissing;
}

void TestConvert::run()
{
    QFETCH(bool, yes);
    QFETCH(QByteArray, csv);
    QFETCH(QByteArray, bak);
    QFETCH(SnipportOutcome, outcome);
    QFETCH(QString, message);
    QFETCH(QByteArray, csvAfter);
    QFETCH(QByteArray, bakAfter);
    QFETCH(QByteArray, convAfter);

    TempAppFolder folder;
    if (csv != kMissing)
        folder.put(QStringLiteral("teigata.csv"), csv);
    if (bak != kMissing)
        folder.put(QStringLiteral("teigata.bak"), bak);
    FakeMessageBoxes boxes;
    boxes.answer(yes ? MsgResult::Yes : MsgResult::No);

    QCOMPARE(runSnipport(folder.path(), &boxes), outcome);

    QVERIFY(!boxes.shown.isEmpty());
    const tw::test::ShownMessage& q = boxes.shown.first();
    QCOMPARE(q.text, QStringLiteral("Ver.1台の定型文設定ファイルをVer.2以降用に変換します。\r\n"
                                    "事前にこの実行ファイルと同じフォルダに古い[teigata.csv]をコピーしてください。\r\n"
                                    "OKを押すと、同ディレクトリにある[teigata.csv]ファイルを変換します。"));
    QCOMPARE(q.title, QStringLiteral("Snipport"));
    QCOMPARE(q.icon, MsgIcon::Question);
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    if (message.isEmpty()) {
        QCOMPARE(boxes.shown.size(), 1);
    } else {
        QCOMPARE(boxes.shown.size(), 2);
        const tw::test::ShownMessage& m = boxes.shown.at(1);
        QVERIFY2(m.text.startsWith(message), qPrintable(m.text));
        QCOMPARE(m.title, QStringLiteral("Snipport"));
        QCOMPARE(m.buttons, MsgButtons::Ok);
        if (outcome != SnipportOutcome::BackupExists && outcome != SnipportOutcome::Failed) {
            QCOMPARE(m.text, message);
            QCOMPARE(m.icon, MsgIcon::None);
        }
    }

    auto contents = [&](const QString& name) { return folder.exists(name) ? folder.read(name) : kMissing; };
    QCOMPARE(contents(QStringLiteral("teigata.csv")), csvAfter);
    QCOMPARE(contents(QStringLiteral("teigata.bak")), bakAfter);
    QCOMPARE(contents(QStringLiteral("teigata_Conv.csv")), convAfter);
}

void TestConvert::secondRunRefuses()
{
    TempAppFolder folder;
    folder.put(QStringLiteral("teigata.csv"), kV1Line);
    FakeMessageBoxes boxes;
    boxes.defaultAnswer = MsgResult::Yes;
    QCOMPARE(runSnipport(folder.path(), &boxes), SnipportOutcome::Converted);
    QCOMPARE(runSnipport(folder.path(), &boxes), SnipportOutcome::Refused);
    QCOMPARE(folder.read(QStringLiteral("teigata.csv")), kV2Line);
    QCOMPARE(folder.read(QStringLiteral("teigata.bak")), kV1Line);
    QCOMPARE(boxes.shown.last().text, snipportRefusedMessage());
}

void TestConvert::killedDuringSwitchKeepsTeigataCsv()
{
    // Killed before each of its renames in turn, the conversion
    // leaves teigata.csv whole, old or new; the last run completes.
    int code = 70;
    for (int step = 1; code == 70; ++step) {
        QVERIFY(step < 20);
        TempAppFolder folder;
        folder.put(QStringLiteral("teigata.csv"), kV1Line);
        const pid_t pid = ::fork();
        if (pid == 0) {
            g_dieBefore = step;
            FakeMessageBoxes boxes;
            boxes.defaultAnswer = MsgResult::Yes;
            ::_exit(runSnipport(folder.path(), &boxes) == SnipportOutcome::Converted ? 0 : 1);
        }
        int status = 0;
        QVERIFY(::waitpid(pid, &status, 0) == pid && WIFEXITED(status));
        code = WEXITSTATUS(status);
        const QByteArray csv =
            folder.exists(QStringLiteral("teigata.csv")) ? folder.read(QStringLiteral("teigata.csv")) : "";
        QVERIFY2(code == 0 ? csv == kV2Line : code == 70 && (csv == kV1Line || csv == kV2Line),
                 qPrintable(QString::number(step)));
    }
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
