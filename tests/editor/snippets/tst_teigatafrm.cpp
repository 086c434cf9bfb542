#include "editor/document/editbuffer.h"
#include "tests/testkit/fakes.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/ui/teigatafrm.h"
#include "tests/testkit/tempappfolder.h"
#include "common/textcodec.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace tw;
using namespace tw::test;

namespace {
const QString kStandard = QStringLiteral("tools/Setting/teigata.csv");

QList<TeigataEntry> three()
{
    return {{"one", "1", "", "F1"}, {"two", "2\\n2", "</2>", "Shift+T"}, {"three", "3", "", ""}};
}

QByteArray cp932(const QString& s)
{
    return encodeCp932(s).bytes;
}

// A dialog over its own store, document and application folder, shown and
// active so keys and focus behave as for the user.
struct Fixture {
    TempAppFolder app;
    FakePlatform fakes;
    SnippetStore store;
    MemoryEditBuffer buffer{QStringLiteral("xabcy")};
    int menuRefreshes = 0;
    std::unique_ptr<TeigataFrm> dlg;

    explicit Fixture(const QList<TeigataEntry>& entries = defaultSnippets())
    {
        app.put(QStringLiteral("tools/Setting/.keep"), "");
        store.setEntries(entries);
        buffer.SetSelection(1, 3);
        dlg = std::make_unique<TeigataFrm>(store, buffer, fakes.platform(), app.path());
        QObject::connect(dlg.get(), &TeigataFrm::snippetsSaved, [this] { ++menuRefreshes; });
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        if (!QTest::qWaitForWindowActive(dlg.get()))
            qFatal("dialog not active");
    }
    template <typename T = QWidget>
    T* child(const char* name) const
    {
        T* c = dlg->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    QTreeWidget* list() const { return child<QTreeWidget>("ListView1"); }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void clickRow(int row) const
    {
        QTreeWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->topLevelItem(row)).center());
    }
    QString boxText(const char* name) const { return child<QPlainTextEdit>(name)->toPlainText(); }
};

// Types lines into a box, Enter between them.
void typeLines(QWidget* box, const QString& text)
{
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}
}  // namespace

class TestTeigataFrm : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void listShowsStore();
    void addStoresBoxes_data();
    void addStoresBoxes();
    void refusedBoxesAreReported_data();
    void refusedBoxesAreReported();
    void changeOverwritesSelected();
    void copyGoesBefore_data();
    void copyGoesBefore();
    void needsSelection_data();
    void needsSelection();
    void closeWritesStandardFile_data();
    void closeWritesStandardFile();
    void closeReportsWriteFailure();
    void hotKeyBox_data();
    void hotKeyBox();
    void tabKey_data();
    void tabKey();
    void insertStartTextAndClose_data();
    void insertStartTextAndClose();
    void saveToChosenFile_data();
    void saveToChosenFile();
    void loadChosenFile_data();
    void loadChosenFile();
    void closeBoxOnlyHides_data();
    void closeBoxOnlyHides();
    void clearingBoxes();
};

void TestTeigataFrm::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");  // button or label text, or the buddy label of a box
    const char* const rows[][2] = {{"TitleTxt", "定型文のタイトル"},
                                   {"DataTxt", "開始タグ"},
                                   {"Data2Txt", "終了タグ"},
                                   {"KeyTxt", "割り当てるキー"},
                                   {"Label4", "ファンクションキーを押しながら一般のキーを一緒に押してください"},
                                   {"Label5", "例：\u3000(ShiftとCtrlキーを押しながらAを押す)\u3000Shift＋Ctrl＋A"},
                                   {"AddBtn", "追加"},
                                   {"ChangeBtn", "変更"},
                                   {"DeleteBtn", "削除"},
                                   {"CopyBtn", "複製"},
                                   {"ClearBtn", "クリア"},
                                   {"InsertBtn", "挿入"},
                                   {"CSVLoadBtn", "読み込み"},
                                   {"CSVSaveBtn", "保存"},
                                   {"OKBtn", "閉じる"}};
    for (const auto& r : rows)
        QTest::newRow(r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]);
}

void TestTeigataFrm::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Fixture f;
    QCOMPARE(f.dlg->objectName(), QStringLiteral("TeigataFrm"));
    QCOMPARE(f.dlg->windowTitle(), QStringLiteral("定型文設定"));
    QWidget* w = f.dlg->findChild<QWidget*>(name);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QCOMPARE(b->text(), caption);
        QVERIFY(!b->autoDefault());
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        QCOMPARE(l->text(), caption);
    } else {
        QStringList buddies;
        for (QLabel* label : f.dlg->findChildren<QLabel*>())
            if (label->buddy() == w)
                buddies << label->text();
        QCOMPARE(buddies, QStringList{caption});
    }
}

void TestTeigataFrm::listShowsStore()
{
    Fixture f(three());
    QTreeWidget* l = f.list();
    const QStringList headers = {"名前", "開始タグ", "終了タグ", "割り当てるキー"};
    const int pixels[] = {67, 200, 200, 80};  // 1000, 3000, 3000, 1200 twips at 96 DPI (offscreen)
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(l->headerItem()->text(c), headers.at(c));
        // At least the given width, and wide enough for the whole caption.
        QVERIFY(l->columnWidth(c) >= pixels[c]);
        QVERIFY(l->columnWidth(c) >= l->header()->sectionSizeHint(c));
        if (c == 1 || c == 2)
            QCOMPARE(l->columnWidth(c), pixels[c]);
    }
    QCOMPARE(l->topLevelItemCount(), 3);
    QCOMPARE(l->topLevelItem(1)->text(0), QStringLiteral("two"));
    QCOMPARE(l->topLevelItem(1)->text(1), QStringLiteral("2\\n2"));
    QCOMPARE(l->topLevelItem(1)->text(3), QStringLiteral("Shift+T"));

    // A store changed elsewhere (a load at start-up) shows after refreshList.
    f.store.setEntries({{"x", "", "", ""}});
    f.dlg->refreshList();
    QCOMPARE(l->topLevelItemCount(), 1);
    QCOMPARE(l->topLevelItem(0)->text(0), QStringLiteral("x"));
}

void TestTeigataFrm::addStoresBoxes_data()
{
    QTest::addColumn<QString>("typedStart");  // \n = Enter, \t = Tab key
    QTest::addColumn<QString>("typedEnd");
    QTest::addColumn<QString>("storedStart");
    QTest::addColumn<QString>("storedEnd");
    QTest::newRow("two lines") << "a\nb"
                               << ""
                               << "a\\nb"
                               << "";
    QTest::newRow("both boxes, empty lines") << "<ul>\n"
                                             << "\n</ul>"
                                             << "<ul>\\n"
                                             << "\\n</ul>";
    QTest::newRow("tab key kept as tab") << "\t<li>"
                                         << ""
                                         << "\t<li>"
                                         << "";
    QTest::newRow("typed backslash t stays") << "\\t<li>"
                                             << ""
                                             << "\\t<li>"
                                             << "";
}

void TestTeigataFrm::addStoresBoxes()
{
    QFETCH(QString, typedStart);
    QFETCH(QString, typedEnd);
    QFETCH(QString, storedStart);
    QFETCH(QString, storedEnd);
    Fixture f(three());
    f.child<QLineEdit>("TitleTxt")->setText(QStringLiteral("新しい"));
    typeLines(f.child("DataTxt"), typedStart);
    typeLines(f.child("Data2Txt"), typedEnd);
    QTest::keyClick(f.child("KeyTxt"), Qt::Key_F7);
    f.click("AddBtn");

    QCOMPARE(f.store.size(), 4);
    QCOMPARE(f.store.at(3), (TeigataEntry{"新しい", storedStart, storedEnd, "F7"}));
    QCOMPARE(f.list()->topLevelItemCount(), 4);
    QCOMPARE(f.list()->topLevelItem(3)->text(1), storedStart);
    QCOMPARE(f.boxText("DataTxt"), typedStart);  // the boxes keep their text

    f.click("ClearBtn");
    f.clickRow(1);
    QCOMPARE(f.boxText("DataTxt"), QStringLiteral("2\n2"));
    f.clickRow(3);
    QCOMPARE(f.boxText("DataTxt"), typedStart);
    QCOMPARE(f.boxText("Data2Txt"), typedEnd);
    QCOMPARE(f.child<QLineEdit>("KeyTxt")->text(), QStringLiteral("F7"));
    QVERIFY(f.fakes.messages.shown.isEmpty());
}

void TestTeigataFrm::refusedBoxesAreReported_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("end");
    QTest::newRow("add, comma in title") << "AddBtn"
                                         << "a,b"
                                         << "";
    QTest::newRow("change, comma in end text") << "ChangeBtn"
                                               << "a"
                                               << "</a>,";
}

void TestTeigataFrm::refusedBoxesAreReported()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, end);
    Fixture f(three());
    f.clickRow(0);
    f.child<QLineEdit>("TitleTxt")->setText(title);
    f.child<QPlainTextEdit>("Data2Txt")->setPlainText(end);
    f.click(button.toLatin1().constData());
    QCOMPARE(f.store.entries(), three());
    QCOMPARE(f.fakes.messages.shown.size(), 1);
    QCOMPARE(f.fakes.messages.shown.first().title, QStringLiteral("定型文設定"));
    QCOMPARE(f.fakes.messages.shown.first().icon, MsgIcon::Warning);
    QVERIFY(!f.fakes.messages.shown.first().text.isEmpty());
}

void TestTeigataFrm::changeOverwritesSelected()
{
    Fixture f(three());
    f.clickRow(1);
    QCOMPARE(f.child<QLineEdit>("TitleTxt")->text(), QStringLiteral("two"));
    f.child<QLineEdit>("TitleTxt")->setText(QStringLiteral("zwei"));
    f.child<QPlainTextEdit>("Data2Txt")->setPlainText(QStringLiteral("x\ny"));
    f.click("ChangeBtn");
    QList<TeigataEntry> expected = three();
    expected[1] = {"zwei", "2\\n2", "x\\ny", "Shift+T"};
    QCOMPARE(f.store.entries(), expected);
    QCOMPARE(f.list()->topLevelItem(1)->text(0), QStringLiteral("zwei"));
    QCOMPARE(f.dlg->selectedRow(), 1);
}

void TestTeigataFrm::copyGoesBefore_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("first") << 0;
    QTest::newRow("entry 2 of three") << 1;
    QTest::newRow("last") << 2;
}

void TestTeigataFrm::copyGoesBefore()
{
    QFETCH(int, row);
    Fixture f(three());
    f.clickRow(row);
    f.click("CopyBtn");
    QList<TeigataEntry> expected = three();
    expected.insert(row, three().at(row));
    QCOMPARE(f.store.entries(), expected);
    QCOMPARE(f.list()->topLevelItemCount(), 4);
    QCOMPARE(f.list()->topLevelItem(row + 1)->text(3), three().at(row).HotKey);
}

void TestTeigataFrm::needsSelection_data()
{
    QTest::addColumn<QString>("button");
    for (const char* b : {"ChangeBtn", "DeleteBtn", "CopyBtn", "InsertBtn"})
        QTest::newRow(b) << QString::fromLatin1(b);
}

void TestTeigataFrm::needsSelection()
{
    QFETCH(QString, button);
    Fixture f(three());
    f.child<QLineEdit>("TitleTxt")->setText(QStringLiteral("new"));
    // A row clicked and deleted leaves nothing selected.
    f.clickRow(2);
    f.click("DeleteBtn");
    QCOMPARE(f.dlg->selectedRow(), -1);
    const QList<TeigataEntry> before = f.store.entries();
    f.click(button.toLatin1().constData());
    QCOMPARE(f.store.entries(), before);
    QCOMPARE(f.buffer.text(), QStringLiteral("xabcy"));
    QVERIFY(f.dlg->isVisible());
    QVERIFY(!f.app.exists(kStandard));
    QCOMPARE(f.menuRefreshes, 0);
    QVERIFY(f.fakes.messages.shown.isEmpty());
}

void TestTeigataFrm::closeWritesStandardFile_data()
{
    QTest::addColumn<int>("deletions");  // of the first row of the five defaults
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("all deleted") << 5 << QByteArray();
    QTest::newRow("last one left") << 4
                                   << cp932(QStringLiteral("立体区切り,") + QString(QStringLiteral("_/")).repeated(19)
                                            + QStringLiteral(",,\r\n"));
}

void TestTeigataFrm::closeWritesStandardFile()
{
    QFETCH(int, deletions);
    QFETCH(QByteArray, bytes);
    Fixture f;
    QPointer<TeigataFrm> alive(f.dlg.get());
    for (int i = 0; i < deletions; ++i) {
        f.clickRow(0);
        f.click("DeleteBtn");
    }
    QCOMPARE(f.list()->topLevelItemCount(), 5 - deletions);
    f.click("OKBtn");
    QVERIFY(f.app.exists(kStandard));
    QCOMPARE(f.app.read(kStandard), bytes);
    QCOMPARE(f.menuRefreshes, 1);
    QVERIFY(!f.dlg->isVisible());
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QVERIFY(alive);
    QVERIFY(f.fakes.messages.shown.isEmpty());

    // What the next start-up reads back; an empty file brings the five
    // defaults back.
    SnippetStore next;
    QVERIFY(LoadSnippetFile(next, f.app.file(kStandard)).ok);
    QCOMPARE(next.entries(), deletions == 5 ? defaultSnippets() : defaultSnippets().mid(deletions));
}

void TestTeigataFrm::closeReportsWriteFailure()
{
    Fixture f;
    // A folder where the file goes: the new file cannot be renamed over it.
    QVERIFY(QDir().mkpath(f.app.file(kStandard)));
    f.click("OKBtn");
    QCOMPARE(f.fakes.messages.shown.size(), 1);
    const ShownMessage m = f.fakes.messages.shown.first();
    QCOMPARE(m.title, QStringLiteral("定型文設定"));
    QCOMPARE(m.icon, MsgIcon::Warning);
    QVERIFY2(m.text.contains(QStringLiteral("teigata.csv")), qPrintable(m.text));
    QVERIFY(!f.dlg->isVisible());
    QCOMPARE(f.menuRefreshes, 1);  // the menus still follow the store in memory
}

void TestTeigataFrm::hotKeyBox_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("modifiers");
    QTest::addColumn<QString>("shown");
    const int S = Qt::ShiftModifier, C = Qt::ControlModifier;
    QTest::newRow("Shift, then A") << QList<int>{Qt::Key_Shift, Qt::Key_A} << QList<int>{S, S} << "Shift+A";
    QTest::newRow("Shift alone") << QList<int>{Qt::Key_Shift} << QList<int>{S} << "";
    QTest::newRow("Ctrl+Shift+C") << QList<int>{Qt::Key_C} << QList<int>{S | C} << "Shift+Ctrl+C";
    QTest::newRow("plain a, no typed letter") << QList<int>{Qt::Key_A} << QList<int>{0} << "A";
    QTest::newRow("Ctrl+Shift+Insert has no name") << QList<int>{Qt::Key_Insert} << QList<int>{S | C} << "";
    QTest::newRow("Ctrl+V names, does not paste") << QList<int>{Qt::Key_V} << QList<int>{C} << "Ctrl+V";
    QTest::newRow("Esc names, does not close") << QList<int>{Qt::Key_Escape} << QList<int>{0} << "ESC";
    QTest::newRow("Enter names, presses nothing") << QList<int>{Qt::Key_Return} << QList<int>{0} << "Enter";
}

void TestTeigataFrm::hotKeyBox()
{
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, modifiers);
    QFETCH(QString, shown);
    Fixture f(three());
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    auto* box = f.child<QLineEdit>("KeyTxt");
    box->setText(QStringLiteral("old text"));
    box->setFocus();
    for (qsizetype i = 0; i < keys.size(); ++i)
        QTest::keyClick(box, Qt::Key(keys.at(i)), Qt::KeyboardModifiers(modifiers.at(i)));
    QCOMPARE(box->text(), shown);
    QVERIFY(f.dlg->isVisible());
    QCOMPARE(f.store.entries(), three());
    QVERIFY(!f.app.exists(kStandard));
}

void TestTeigataFrm::tabKey_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("DataTxt: tab replaces selection") << "DataTxt" << int(Qt::NoModifier) << "a\td"
                                                     << "DataTxt";
    QTest::newRow("DataTxt: Shift+Tab leaves") << "DataTxt" << int(Qt::ShiftModifier) << "abcd"
                                               << "TitleTxt";
    QTest::newRow("Data2Txt: Tab moves on") << "Data2Txt" << int(Qt::NoModifier) << "abcd"
                                            << "KeyTxt";
}

void TestTeigataFrm::tabKey()
{
    QFETCH(QString, box);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    Fixture f(three());
    auto* edit = f.child<QPlainTextEdit>(box.toLatin1().constData());
    edit->setPlainText(QStringLiteral("abcd"));
    QTextCursor c = edit->textCursor();
    c.setPosition(1);
    c.setPosition(3, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->toPlainText(), text);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

void TestTeigataFrm::insertStartTextAndClose_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("document");
    QTest::newRow("段落: start text only") << 2 << "x<p>y";
    QTest::newRow("C base: line breaks decoded") << 1 << "x#include <stdio.h>\r\nint main(void)\r\n{\r\n\r\ny";
    QTest::newRow("backslash t decoded to tab") << 5 << "x\t<li>y";
}

void TestTeigataFrm::insertStartTextAndClose()
{
    QFETCH(int, row);
    QFETCH(QString, document);
    QList<TeigataEntry> entries = defaultSnippets();
    entries << TeigataEntry{"li", "\\t<li>", "</li>", ""};
    Fixture f(entries);
    f.clickRow(row);
    f.click("InsertBtn");
    QCOMPARE(f.buffer.text(), document);
    QVERIFY(!f.dlg->isVisible());
    QCOMPARE(f.menuRefreshes, 1);
    SnippetStore written;
    QVERIFY(LoadSnippetFile(written, f.app.file(kStandard)).ok);
    QCOMPARE(written.entries(), entries);
}

void TestTeigataFrm::saveToChosenFile_data()
{
    QTest::addColumn<QString>("answer");  // relative to the app folder; empty = cancel
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("messages");
    QTest::newRow("chosen file") << "mine.csv" << true << 0;
    QTest::newRow("cancel") << "" << false << 0;
    QTest::newRow("missing folder") << "nowhere/mine.csv" << false << 1;
}

void TestTeigataFrm::saveToChosenFile()
{
    QFETCH(QString, answer);
    QFETCH(bool, written);
    QFETCH(int, messages);
    Fixture f(three());
    f.fakes.files.answer(answer.isEmpty() ? QString() : f.app.file(answer));
    f.click("CSVSaveBtn");
    QCOMPARE(f.fakes.files.requests.size(), 1);
    const FileDialogRequest r = f.fakes.files.requests.first();
    QVERIFY(r.save);
    QCOMPARE(r.filter, QStringLiteral("定型文設定ファイル(*.csv)|*.csv"));
    QCOMPARE(r.defaultExt, QStringLiteral("csv"));
    QCOMPARE(QDir(f.app.path()).entryList({QStringLiteral("*.csv")}, QDir::Files),
             written ? QStringList{answer} : QStringList{});
    if (written)
        QCOMPARE(f.app.read(answer), cp932(QStringLiteral("one,1,,F1\r\ntwo,2\\n2,</2>,Shift+T\r\nthree,3,,\r\n")));
    QCOMPARE(f.fakes.messages.shown.size(), messages);
    QCOMPARE(f.menuRefreshes, 0);
    QVERIFY(!f.app.exists(kStandard));
    QVERIFY(f.dlg->isVisible());
}

void TestTeigataFrm::loadChosenFile_data()
{
    QTest::addColumn<QByteArray>("file");  // written to other.csv; "<dir>" makes it a folder
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("refreshes");
    QTest::addColumn<int>("messages");
    const QStringList unchanged = {"one", "two", "three"};
    QTest::newRow("one entry") << QByteArray("a,b,c,d\r\n") << false << QStringList{"a"} << 1 << 0;
    QTest::newRow("empty file gives defaults")
        << QByteArray() << false << QStringList{"改行", "Cの基本文型", "段落", "縦書き表示", "立体区切り"} << 1 << 0;
    QTest::newRow("short line stops, user told")
        << QByteArray("a,b,c,d\r\nx\r\ny,z,w,v\r\n") << false << QStringList{"a"} << 1 << 1;
    QTest::newRow("cancel") << QByteArray("a,b,c,d\r\n") << true << unchanged << 0 << 0;
    QTest::newRow("unreadable, silent") << QByteArray("<dir>") << false << unchanged << 0 << 0;
}

void TestTeigataFrm::loadChosenFile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, cancel);
    QFETCH(QStringList, titles);
    QFETCH(int, refreshes);
    QFETCH(int, messages);
    Fixture f(three());
    if (file == "<dir>")
        QVERIFY(QDir().mkpath(f.app.file(QStringLiteral("other.csv"))));
    else
        f.app.put(QStringLiteral("other.csv"), file);
    f.fakes.files.answer(cancel ? QString() : f.app.file(QStringLiteral("other.csv")));
    f.click("CSVLoadBtn");
    QCOMPARE(f.fakes.files.requests.size(), 1);
    QVERIFY(!f.fakes.files.requests.first().save);
    QStringList shown, stored;
    for (int i = 0; i < f.list()->topLevelItemCount(); ++i)
        shown << f.list()->topLevelItem(i)->text(0);
    for (const TeigataEntry& e : f.store.entries())
        stored << e.Title;
    QCOMPARE(stored, titles);
    QCOMPARE(shown, titles);
    QCOMPARE(f.menuRefreshes, refreshes);
    QCOMPARE(f.fakes.messages.shown.size(), messages);
    QVERIFY(!f.app.exists(kStandard));
    QVERIFY(f.dlg->isVisible());
}

void TestTeigataFrm::closeBoxOnlyHides_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("close box") << false;
    QTest::newRow("Esc") << true;
}

void TestTeigataFrm::closeBoxOnlyHides()
{
    QFETCH(bool, escape);
    Fixture f(three());
    QPointer<TeigataFrm> alive(f.dlg.get());
    f.child<QLineEdit>("TitleTxt")->setText(QStringLiteral("kept"));
    f.click("AddBtn");
    if (escape)
        QTest::keyClick(f.child("TitleTxt"), Qt::Key_Escape);
    else
        f.dlg->close();
    QCoreApplication::processEvents();
    QVERIFY(alive);
    QVERIFY(!f.dlg->isVisible());
    QCOMPARE(f.store.size(), 4);
    QVERIFY(!f.app.exists(kStandard));
    QCOMPARE(f.menuRefreshes, 0);

    // Shown again, it still holds the store.
    f.dlg->show();
    QCOMPARE(f.list()->topLevelItemCount(), 4);
}

void TestTeigataFrm::clearingBoxes()
{
    Fixture f(three());
    const SnippetBoxes full{"t", "s\r\n2", "e\r\n2", "F2"};
    f.dlg->setBoxes(full);
    QCOMPARE(f.dlg->boxes(), full);
    f.dlg->clearForNewEntry();
    QCOMPARE(f.dlg->boxes(), (SnippetBoxes{"", "", "e\r\n2", ""}));
    f.click("ClearBtn");
    QCOMPARE(f.dlg->boxes(), SnippetBoxes{});
}

QTEST_MAIN(TestTeigataFrm)
#include "tst_teigatafrm.moc"
