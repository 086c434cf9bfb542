// Velmora's windows on the offscreen platform, with scripted dialogs.

#include "stylesheet/ui/colorselect.h"
#include "tests/testkit/fakes.h"
#include "tests/testkit/findchild.h"
#include "common/gui/updown.h"
#include "stylesheet/ui/velmorafrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace tw;
using namespace tw::velmora;
using tw::test::childOf;

namespace {
struct Velmora {
    test::FakePlatform fakes;
    MainFrm w{fakes.platform()};
    QTemporaryDir dir;

    Velmora() { w.show(); }
    void select(const QString& item)
    {
        const auto found = childOf<QListWidget>(&w, "List1")->findItems(item, Qt::MatchExactly);
        QVERIFY(found.size() == 1);
        childOf<QListWidget>(&w, "List1")->setCurrentItem(found[0]);
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Presses a "..." button; the picker that opens is driven by the script.
    void pick(int target, const std::function<void(ColorSelect*)>& script)
    {
        bool ran = false;
        QTimer::singleShot(0, &w, [&] {
            if (auto* d = w.findChild<ColorSelect*>()) {
                ran = true;
                script(d);
                QTest::mouseClick(childOf<QPushButton>(d, "Command1"), Qt::LeftButton);
            }
        });
        click(w.findChild<QPushButton*>(QStringLiteral("ColorSelectBtn_%1").arg(target)));
        QVERIFY(ran);
        QVERIFY(!w.findChild<ColorSelect*>());  // unloaded after use
    }
    QByteArray saved(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
};

void type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}
}  // namespace

class TestVelmoraFrm : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheComposeTab();
    void composeTwoRulesAndSaveBothFormats();
    void pickerWritesIntoItsCombo_data();
    void pickerWritesIntoItsCombo();
    void pickerNumberBoxes();
    void sizeInput();
    void typedFontAndBackground();
    void closeAsksForUnwrittenRules();
};

void TestVelmoraFrm::startsOnTheComposeTab()
{
    Velmora v;
    QCOMPARE(v.w.windowTitle(), QStringLiteral("Velmoraβ"));
    QCOMPARE(childOf<QTabWidget>(&v.w, "Tab")->tabText(0), QStringLiteral("設定"));
    QCOMPARE(childOf<QTabWidget>(&v.w, "Tab")->tabText(1), QStringLiteral("出力"));
    QCOMPARE(childOf<QTabWidget>(&v.w, "Tab")->currentIndex(), 0);
    QCOMPARE(childOf<QListWidget>(&v.w, "List1")->count(), 29);
    QVERIFY(childOf<QListWidget>(&v.w, "List1")->selectedItems().isEmpty());
    QCOMPARE(childOf<QComboBox>(&v.w, "FontSizeScaleCmb")->currentText(), QStringLiteral("ピクセル"));
    QVERIFY(childOf<QRadioButton>(&v.w, "OutputFormat_0")->isChecked());
    // Every input is named by its caption; the scroll-bar rows in their order.
    QHash<QWidget*, QString> captions;
    for (QLabel* l : v.w.findChildren<QLabel*>())
        if (l->buddy())
            captions[l->buddy()] = l->text();
    for (QWidget* c : std::initializer_list<QWidget*>{
             childOf<QListWidget>(&v.w, "List1"), childOf<QComboBox>(&v.w, "FontCmb"),
             childOf<QComboBox>(&v.w, "FontColorCmb"), childOf<QLineEdit>(&v.w, "FontSizeTxt"),
             childOf<QLineEdit>(&v.w, "BackImgTxt"), childOf<QComboBox>(&v.w, "CursolCmb")})
        QVERIFY2(!captions.value(c).isEmpty(), qPrintable(c->objectName()));
    QCOMPARE(captions.value(childOf<QComboBox>(&v.w, "ScrollBarColorCmb_0")), QStringLiteral("基本色："));
    QCOMPARE(captions.value(childOf<QComboBox>(&v.w, "ScrollBarColorCmb_7")), QStringLiteral("右・下枠内側の色："));
    QCOMPARE(childOf<QComboBox>(&v.w, "ScrollBarColorCmb_5")->count(), 17);
}

void TestVelmoraFrm::composeTwoRulesAndSaveBothFormats()
{
    Velmora v;
    v.select(QStringLiteral("BODY (ページ全体)"));
    childOf<QComboBox>(&v.w, "ScrollBarColorCmb_3")
        ->setCurrentIndex(childOf<QComboBox>(&v.w, "ScrollBarColorCmb_3")->findText(QStringLiteral("navy")));
    childOf<QComboBox>(&v.w, "ScrollBarColorCmb_0")->setCurrentIndex(0);  // なし
    v.click(childOf<QCheckBox>(&v.w, "UnderLineChk"));
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    // An edit by hand stays; the next rule keeps the same choices, without the BODY-only lines.
    QTest::keyClicks(childOf<QPlainTextEdit>(&v.w, "OutputTxt"), "/* x */");
    v.select(QStringLiteral("A:HOVER (リンクにカーソルをあわせた時)"));
    childOf<QComboBox>(&v.w, "CursolCmb")->setCurrentIndex(1);
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    const QString style = QStringLiteral(
        "\r\nBODY {\r\nscrollbar-face-color : navy;\r\n  text-decoration : underline ;\r\n}"
        "\r\n/* x */\r\nA:HOVER {\r\n  text-decoration : underline ;\r\n"
        "  cursor : crosshair;\r\n}\r\n");
    QCOMPARE(v.w.outputText(), style);

    v.fakes.files.answer(v.dir.filePath(QStringLiteral("mine.css")));
    v.click(childOf<QPushButton>(&v.w, "OutputBtn"));
    QCOMPARE(v.saved(QStringLiteral("mine.css")), (style + QStringLiteral("\r\n")).toLatin1());
    const FileDialogRequest& asked = v.fakes.files.requests[0];
    QVERIFY(asked.save);
    QCOMPARE(asked.title, QStringLiteral("スタイルシートの出力"));
    QCOMPARE(asked.filter, QStringLiteral("すべてのファイル (*.*)|*.*"));
    QVERIFY(asked.initialPath.endsWith(QStringLiteral("/styletest.css")));

    v.click(childOf<QRadioButton>(&v.w, "OutputFormat_1"));
    v.fakes.files.answer(v.dir.filePath(QStringLiteral("page.htm")));
    v.click(childOf<QPushButton>(&v.w, "OutputBtn"));
    // The next dialog starts where the last file went.
    QCOMPARE(v.fakes.files.requests[1].initialPath, v.dir.filePath(QStringLiteral("htmltest.htm")));
    const QByteArray page = v.saved(QStringLiteral("page.htm"));
    QVERIFY(page.startsWith("<HTML>\r\n<HEAD>\r\n"));
    QVERIFY(page.contains("<!--\r\n" + style.toLatin1() + "\r\n-->\r\n"));
    QVERIFY(page.endsWith("</BODY>\r\n</HTML>\r\n"));
    QVERIFY(v.fakes.messages.shown.isEmpty());

    v.fakes.files.answer(QString());
    v.click(childOf<QPushButton>(&v.w, "OutputBtn"));  // cancelled: nothing more is written
    QCOMPARE(QDir(v.dir.path()).entryList(QDir::Files).size(), 2);
}

void TestVelmoraFrm::pickerWritesIntoItsCombo_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("combo");
    QTest::newRow("text colour") << 0 << "FontColorCmb";
    QTest::newRow("base colour") << 1 << "ScrollBarColorCmb_0";
    QTest::newRow("face colour") << 4 << "ScrollBarColorCmb_3";
    QTest::newRow("shadow colour") << 8 << "ScrollBarColorCmb_7";
}

void TestVelmoraFrm::pickerWritesIntoItsCombo()
{
    QFETCH(int, target);
    QFETCH(QString, combo);
    Velmora v;
    v.pick(target, [](ColorSelect* d) {
        type(childOf<QLineEdit>(d, "RTxt"), QStringLiteral("255"));
        type(childOf<QLineEdit>(d, "GTxt"), QStringLiteral("8"));
    });
    for (QComboBox* c : v.w.findChildren<QComboBox*>(QRegularExpression(QStringLiteral("Color"))))
        QCOMPARE(c->currentText(), c->objectName() == combo ? QStringLiteral("#FF0800") : QString());
}

void TestVelmoraFrm::pickerNumberBoxes()
{
    Velmora v;
    v.pick(0, [](ColorSelect* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("色の入力"));
        QCOMPARE(d->colourText(), QStringLiteral("#000000"));
        QCOMPARE(childOf<QFrame>(d, "Picture1")->palette().color(QPalette::Window), QColor(Qt::black));
        for (QSlider* s : d->findChildren<QSlider*>())
            QCOMPARE(s->tickInterval(), 26);
    });
    QCOMPARE(childOf<QComboBox>(&v.w, "FontColorCmb")->currentText(), QStringLiteral("#000000"));

    v.pick(0, [](ColorSelect* d) {
        childOf<QSlider>(d, "Slider_1")->setValue(100);
        QCOMPARE(childOf<QLineEdit>(d, "GTxt")->text(), QStringLiteral("100"));
        childOf<QLineEdit>(d, "GTxt")->setFocus();
        childOf<QLineEdit>(d, "GTxt")->selectAll();
        childOf<QLineEdit>(d, "GTxt")->insert(QStringLiteral("256"));  // pasted: out of range, ignored
        QCOMPARE(childOf<QSlider>(d, "Slider_1")->value(), 100);
        emit childOf<QLineEdit>(d, "GTxt")->editingFinished();  // leaving the box shows what will be inserted
        QCOMPARE(childOf<QLineEdit>(d, "GTxt")->text(), QStringLiteral("100"));
        type(childOf<QLineEdit>(d, "RTxt"), QStringLiteral("255"));
        QCOMPARE(childOf<QSlider>(d, "Slider_0")->value(), childOf<QSlider>(d, "Slider_0")->maximum());
        QCOMPARE(childOf<QFrame>(d, "Picture1")->palette().color(QPalette::Window), QColor(255, 100, 0));
    });
    QCOMPARE(childOf<QComboBox>(&v.w, "FontColorCmb")->currentText(), QStringLiteral("#FF6400"));
}

void TestVelmoraFrm::sizeInput()
{
    Velmora v;
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));  // no selector: nothing at all
    QCOMPARE(v.w.outputText(), QString());
    v.select(QStringLiteral("P (段落)"));
    childOf<QLineEdit>(&v.w, "FontSizeTxt")->setText(QStringLiteral("大きい"));
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    QCOMPARE(v.fakes.messages.shown.size(), 1);
    QVERIFY(v.fakes.messages.shown[0].text.contains(QStringLiteral("サイズ")));
    QCOMPARE(v.w.outputText(), QString());

    v.click(childOf<tw::UpDown>(&v.w, "UpDown1")->upButton());  // a box without a number counts as 0
    QCOMPARE(childOf<QLineEdit>(&v.w, "FontSizeTxt")->text(), QStringLiteral("1"));
    childOf<QLineEdit>(&v.w, "FontSizeTxt")->setText(QStringLiteral("100"));
    v.click(childOf<tw::UpDown>(&v.w, "UpDown1")->upButton());
    QCOMPARE(childOf<QLineEdit>(&v.w, "FontSizeTxt")->text(), QStringLiteral("100"));
    childOf<QComboBox>(&v.w, "FontSizeScaleCmb")->setCurrentIndex(4);
    QTest::keyClick(childOf<QLineEdit>(&v.w, "FontSizeTxt"), Qt::Key_Down);
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    QCOMPARE(v.w.outputText(), QStringLiteral("\r\nP {\r\n  font-size : 99mm;\r\n}\r\n"));
    QCOMPARE(v.fakes.messages.shown.size(), 1);
}

void TestVelmoraFrm::typedFontAndBackground()
{
    Velmora v;
    v.select(QStringLiteral("P (段落)"));
    QTest::keyClicks(childOf<QComboBox>(&v.w, "FontCmb"), "serif\r");  // no completion to an installed "Serif"
    QTest::keyClicks(childOf<QLineEdit>(&v.w, "FontSizeTxt"), "12px");
    QTest::keyClick(childOf<QLineEdit>(&v.w, "FontSizeTxt"), Qt::Key_Up);  // steps the number, keeps the unit
    v.pick(9, [](ColorSelect* d) { type(childOf<QLineEdit>(d, "BTxt"), QStringLiteral("255")); });
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    QCOMPARE(v.w.outputText(), QStringLiteral("\r\nP {\r\n  font-family : serif;\r\n  background-color : #0000FF;\r\n"
                                              "  font-size : 13px;\r\n}\r\n"));
}

void TestVelmoraFrm::closeAsksForUnwrittenRules()
{
    Velmora v;
    v.select(QStringLiteral("P (段落)"));
    v.click(childOf<QPushButton>(&v.w, "SettingBtn"));
    v.fakes.messages.answer(MsgResult::No);
    QVERIFY(!v.w.close());
    v.fakes.files.answer(v.dir.filePath(QStringLiteral("a.css")));
    v.click(childOf<QPushButton>(&v.w, "OutputBtn"));
    QVERIFY(v.w.close());  // written: no second question
    v.w.show();
    QTest::keyClicks(childOf<QPlainTextEdit>(&v.w, "OutputTxt"), "/* later */");
    v.fakes.messages.answer(MsgResult::Yes);
    QVERIFY(v.w.close());
    QCOMPARE(v.fakes.messages.shown.size(), 2);
}

QTEST_MAIN(TestVelmoraFrm)
#include "tst_velmorafrm.moc"
