#include "editor/snippets/keyname.h"

#include <QTest>

using namespace tw;

class TestKeyName : public QObject {
    Q_OBJECT
private slots:
    void keyName_data();
    void keyName();
    void everyCodeOutsideTheTableHasNoName();
    void fromQt_data();
    void fromQt();
    void modifierMask_data();
    void modifierMask();
};

void TestKeyName::keyName_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("name");
    QTest::newRow("A") << 65 << 0 << "A";
    QTest::newRow("Z with Shift") << 90 << 1 << "Shift+Z";
    QTest::newRow("Shift+Ctrl+C") << 67 << 3 << "Shift+Ctrl+C";
    QTest::newRow("all three in order") << 80 << 7 << "Shift+Ctrl+Alt+P";
    QTest::newRow("Shift+Alt") << 80 << 5 << "Shift+Alt+P";
    QTest::newRow("digit 0") << 48 << 2 << "Ctrl+0";
    QTest::newRow("digit 9") << 57 << 0 << "9";
    QTest::newRow("Shift+Enter") << 13 << 1 << "Shift+Enter";
    QTest::newRow("F5") << 116 << 0 << "F5";
    QTest::newRow("F12 with Alt") << 123 << 4 << "Alt+F12";
    QTest::newRow("Tab") << 9 << 2 << "Ctrl+Tab";
    QTest::newRow("BS") << 8 << 1 << "Shift+BS";
    QTest::newRow("Pause") << 19 << 0 << "Pause";
    QTest::newRow("ESC") << 27 << 2 << "Ctrl+ESC";
    QTest::newRow("Space") << 32 << 3 << "Shift+Ctrl+Space";
    QTest::newRow("Delete") << 46 << 2 << "Ctrl+Delete";
    QTest::newRow("left") << 37 << 4 << "Alt+←";
    QTest::newRow("up") << 38 << 0 << "↑";
    QTest::newRow("right") << 39 << 1 << "Shift+→";
    QTest::newRow("down") << 40 << 2 << "Ctrl+↓";
    QTest::newRow("Shift alone") << 16 << 1 << "";
    QTest::newRow("Ctrl alone") << 17 << 2 << "";
    QTest::newRow("Ctrl+Shift+Insert") << 45 << 3 << "";
    QTest::newRow("Home") << 36 << 2 << "";
    QTest::newRow("key pad 1") << 97 << 2 << "";
    QTest::newRow("F13") << 124 << 0 << "";
    QTest::newRow("no key") << 0 << 7 << "";
}

void TestKeyName::keyName()
{
    QFETCH(int, code);
    QFETCH(int, mask);
    QFETCH(QString, name);
    QCOMPARE(KeyName(code, mask), name);
}

void TestKeyName::everyCodeOutsideTheTableHasNoName()
{
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const QString plain = KeyName(code, 0);
        const QString all = KeyName(code, 7);
        if (plain.isEmpty()) {
            QVERIFY2(all.isEmpty(), qPrintable(QString::number(code)));
            continue;
        }
        ++named;
        QCOMPARE(all, QStringLiteral("Shift+Ctrl+Alt+") + plain);
    }
    // 26 letters, 10 digits, Enter, 12 function keys, Tab, BS, Pause, ESC,
    // Space, Delete and four arrows.
    QCOMPARE(named, 26 + 10 + 1 + 12 + 6 + 4);
}

void TestKeyName::fromQt_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<int>("vk");
    QTest::addColumn<QString>("name");  // KeyName with the mask of mods

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;

    QTest::newRow("Shift+Ctrl+C") << int(Qt::Key_C) << shiftCtrl << 0u << 67 << "Shift+Ctrl+C";
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << shift << 0u << 13 << "Shift+Enter";
    QTest::newRow("key-pad Enter") << int(Qt::Key_Enter) << (shift | pad) << 0u << 13 << "Shift+Enter";
    QTest::newRow("Alt+left") << int(Qt::Key_Left) << Qt::KeyboardModifiers(Qt::AltModifier) << 0u << 37 << "Alt+←";
    QTest::newRow("F5") << int(Qt::Key_F5) << none << 0u << 116 << "F5";
    QTest::newRow("F12") << int(Qt::Key_F12) << ctrl << 0u << 123 << "Ctrl+F12";
    QTest::newRow("F13 has no name") << int(Qt::Key_F13) << ctrl << 0u << 124 << "";
    QTest::newRow("Shift+Tab is Backtab") << int(Qt::Key_Backtab) << shift << 0u << 9 << "Shift+Tab";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << ctrl << 0u << 8 << "Ctrl+BS";
    QTest::newRow("Space") << int(Qt::Key_Space) << ctrl << 0u << 32 << "Ctrl+Space";
    QTest::newRow("Delete") << int(Qt::Key_Delete) << ctrl << 0u << 46 << "Ctrl+Delete";
    QTest::newRow("key-pad Delete") << int(Qt::Key_Delete) << (ctrl | pad) << 0u << 46 << "Ctrl+Delete";
    QTest::newRow("key-pad arrow") << int(Qt::Key_Up) << (ctrl | pad) << 0u << 38 << "Ctrl+↑";
    QTest::newRow("Insert") << int(Qt::Key_Insert) << shiftCtrl << 0u << 45 << "";
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << shift << 0u << 16 << "";
    QTest::newRow("Control alone") << int(Qt::Key_Control) << ctrl << 0u << 17 << "";
    QTest::newRow("digit") << int(Qt::Key_1) << ctrl << 0u << 49 << "Ctrl+1";
    QTest::newRow("key-pad digit") << int(Qt::Key_1) << (ctrl | pad) << 0u << 97 << "";
    QTest::newRow("key-pad plus") << int(Qt::Key_Plus) << (ctrl | pad) << 0u << 107 << "";
    // Shift turns top-row digits into symbols; the scan code of X11 and
    // Wayland (digit row 10..19) gives the digit on any layout.
    QTest::newRow("Shift+1 by scan code") << int(Qt::Key_Exclam) << shiftCtrl << 10u << 49 << "Shift+Ctrl+1";
    QTest::newRow("US Shift+9 by scan code") << int(Qt::Key_ParenLeft) << shiftCtrl << 18u << 57 << "Shift+Ctrl+9";
    QTest::newRow("JP Shift+8 by scan code") << int(Qt::Key_ParenLeft) << shiftCtrl << 17u << 56 << "Shift+Ctrl+8";
    QTest::newRow("Shift+0 by scan code") << int(Qt::Key_ParenRight) << shiftCtrl << 19u << 48 << "Shift+Ctrl+0";
    QTest::newRow("French & is the 1 key") << int(Qt::Key_Ampersand) << ctrl << 10u << 49 << "Ctrl+1";
    QTest::newRow("symbol off the digit row") << int(Qt::Key_QuoteDbl) << shiftCtrl << 48u << 222 << "";
    // Without a scan code only the symbols both layouts agree on.
    QTest::newRow("! without scan code") << int(Qt::Key_Exclam) << shiftCtrl << 0u << 49 << "Shift+Ctrl+1";
    QTest::newRow("# without scan code") << int(Qt::Key_NumberSign) << shift << 0u << 51 << "Shift+3";
    QTest::newRow("% without scan code") << int(Qt::Key_Percent) << shiftCtrl << 0u << 53 << "Shift+Ctrl+5";
    QTest::newRow("( is ambiguous") << int(Qt::Key_ParenLeft) << shiftCtrl << 0u << 0 << "";
    QTest::newRow("& is ambiguous") << int(Qt::Key_Ampersand) << shiftCtrl << 0u << 0 << "";
    QTest::newRow("@ unshifted is its own key") << int(Qt::Key_At) << ctrl << 0u << 192 << "";
    QTest::newRow("comma") << int(Qt::Key_Comma) << ctrl << 0u << 188 << "";
    QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << ctrl << 0u << 0 << "";
}

void TestKeyName::fromQt()
{
    QFETCH(int, qtKey);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(uint, scanCode);
    QFETCH(int, vk);
    QFETCH(QString, name);
    const int code = virtualKeyFromQt(qtKey, mods, scanCode);
    QCOMPARE(code, vk);
    QCOMPARE(KeyName(code, modifierMaskFromQt(mods)), name);
}

void TestKeyName::modifierMask_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<int>("mask");
    QTest::newRow("none") << Qt::KeyboardModifiers() << 0;
    QTest::newRow("shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1;
    QTest::newRow("control") << Qt::KeyboardModifiers(Qt::ControlModifier) << 2;
    QTest::newRow("alt") << Qt::KeyboardModifiers(Qt::AltModifier) << 4;
    QTest::newRow("all") << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << 7;
    QTest::newRow("key pad and meta ignored") << (Qt::KeypadModifier | Qt::MetaModifier | Qt::ShiftModifier) << 1;
}

void TestKeyName::modifierMask()
{
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(int, mask);
    QCOMPARE(modifierMaskFromQt(mods), mask);
}

QTEST_GUILESS_MAIN(TestKeyName)
#include "tst_keyname.moc"
