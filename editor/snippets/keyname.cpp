#include "editor/snippets/keyname.h"

namespace tw {

namespace {

QString keyPart(int code)
{
    if (code >= 65 && code <= 90)
        return QString(QChar(code));
    if (code >= 48 && code <= 57)
        return QString(QChar(code));
    if (code == vk::Return)
        return QStringLiteral("Enter");
    if (code >= 112 && code <= 123)
        return QStringLiteral("F%1").arg(code - 111);
    switch (code) {
        case vk::Tab:
            return QStringLiteral("Tab");
        case vk::Back:
            return QStringLiteral("BS");
        case vk::Pause:
            return QStringLiteral("Pause");
        case vk::Escape:
            return QStringLiteral("ESC");
        case vk::Space:
            return QStringLiteral("Space");
        case vk::Delete:
            return QStringLiteral("Delete");
        case vk::Left:
            return QStringLiteral("←");
        case vk::Up:
            return QStringLiteral("↑");
        case vk::Right:
            return QStringLiteral("→");
        case vk::Down:
            return QStringLiteral("↓");
        default:
            return QString();
    }
}

// The digit a shifted symbol stands for when no scan code tells the key:
// only symbols that mean the same digit on the US and the Japanese layout.
int digitOfShiftedSymbol(int qtKey)
{
    switch (qtKey) {
        case Qt::Key_Exclam:
            return '1';
        case Qt::Key_At:
            return '2';  // US only; the Japanese @ key is unshifted
        case Qt::Key_NumberSign:
            return '3';
        case Qt::Key_Dollar:
            return '4';
        case Qt::Key_Percent:
            return '5';
        case Qt::Key_AsciiCircum:
            return '6';  // US only; the Japanese ^ key is unshifted
        case Qt::Key_Apostrophe:
            return '7';  // Japanese only; the US ' key shifted is "
        default:
            return vk::None;
    }
}

bool scanCodeIsXkb()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return true;
#else
    return false;
#endif
}

// XKB key codes 10..19 are the top row "1".."0" on every PC keyboard layout.
int digitOfXkbKeycode(quint32 code)
{
    if (code < 10 || code > 19)
        return vk::None;
    return code == 19 ? '0' : int('1' + (code - 10));
}

int keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return vk::Numpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
        case Qt::Key_Asterisk:
            return vk::Multiply;
        case Qt::Key_Plus:
            return vk::Add;
        case Qt::Key_Minus:
            return vk::Subtract;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return vk::Decimal;
        case Qt::Key_Slash:
            return vk::Divide;
        case Qt::Key_Enter:
        case Qt::Key_Return:
            return vk::Return;
        default:
            return -1;  // a navigation key of the pad: same code as the main keys
    }
}

int punctuationKey(int qtKey)
{
    switch (qtKey) {
        case Qt::Key_Semicolon:
        case Qt::Key_Colon:
        case Qt::Key_Asterisk:
            return vk::Oem1;
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            return vk::OemPlus;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return vk::OemComma;
        case Qt::Key_Minus:
            return vk::OemMinus;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return vk::OemPeriod;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return vk::Oem2;
        case Qt::Key_QuoteLeft:
        case Qt::Key_At:
            return vk::Oem3;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft:
            return vk::Oem4;
        case Qt::Key_Backslash:
        case Qt::Key_Bar:
        case Qt::Key_yen:
            return vk::Oem5;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight:
            return vk::Oem6;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl:
        case Qt::Key_AsciiCircum:
        case Qt::Key_AsciiTilde:
            return vk::Oem7;
        case Qt::Key_Underscore:
            return vk::Oem102;
        default:
            return vk::None;
    }
}

}  // namespace

QString KeyName(int keyCode, int shift)
{
    const QString key = keyPart(keyCode);
    if (key.isEmpty())
        return QString();
    QString name;
    if (shift & kShiftMask)
        name += QStringLiteral("Shift+");
    if (shift & kCtrlMask)
        name += QStringLiteral("Ctrl+");
    if (shift & kAltMask)
        name += QStringLiteral("Alt+");
    return name + key;
}

int modifierMaskFromQt(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= kShiftMask;
    if (modifiers & Qt::ControlModifier)
        mask |= kCtrlMask;
    if (modifiers & Qt::AltModifier)
        mask |= kAltMask;
    return mask;
}

int virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode)
{
    if (modifiers & Qt::KeypadModifier) {
        const int pad = keypadKey(qtKey);
        if (pad >= 0)
            return pad;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return vk::KeyA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return vk::Key0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vk::F1 + (qtKey - Qt::Key_F1);

    switch (qtKey) {
        case Qt::Key_Backspace:
            return vk::Back;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::Tab;  // Qt reports Shift+Tab as Backtab
        case Qt::Key_Clear:
            return vk::Clear;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return vk::Return;
        case Qt::Key_Shift:
            return vk::Shift;
        case Qt::Key_Control:
            return vk::Control;
        case Qt::Key_Alt:
            return vk::Menu;
        case Qt::Key_Pause:
            return vk::Pause;
        case Qt::Key_CapsLock:
            return vk::Capital;
        case Qt::Key_Hiragana_Katakana:
            return vk::Kana;
        case Qt::Key_Kanji:
        case Qt::Key_Zenkaku_Hankaku:
            return vk::Kanji;
        case Qt::Key_Escape:
            return vk::Escape;
        case Qt::Key_Henkan:
            return vk::Convert;
        case Qt::Key_Muhenkan:
            return vk::NonConvert;
        case Qt::Key_Space:
            return vk::Space;
        case Qt::Key_PageUp:
            return vk::Prior;
        case Qt::Key_PageDown:
            return vk::Next;
        case Qt::Key_End:
            return vk::End;
        case Qt::Key_Home:
            return vk::Home;
        case Qt::Key_Left:
            return vk::Left;
        case Qt::Key_Up:
            return vk::Up;
        case Qt::Key_Right:
            return vk::Right;
        case Qt::Key_Down:
            return vk::Down;
        case Qt::Key_Select:
            return vk::Select;
        case Qt::Key_Printer:
            return vk::Print;
        case Qt::Key_Print:
            return vk::Snapshot;
        case Qt::Key_Insert:
            return vk::Insert;
        case Qt::Key_Delete:
            return vk::Delete;
        case Qt::Key_Help:
            return vk::Help;
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
            return vk::LWin;
        case Qt::Key_Super_R:
            return vk::RWin;
        case Qt::Key_Menu:
            return vk::Apps;
        case Qt::Key_Sleep:
            return vk::Sleep;
        case Qt::Key_NumLock:
            return vk::NumLock;
        case Qt::Key_ScrollLock:
            return vk::Scroll;
        default:
            break;
    }

    // A printable symbol. It may come from a top-row digit key that the
    // layout (or Shift) turned into another character; that key is the digit.
    if (nativeScanCode != 0 && scanCodeIsXkb()) {
        if (const int digit = digitOfXkbKeycode(nativeScanCode))
            return digit;
    } else if (modifiers & Qt::ShiftModifier) {
        if (const int digit = digitOfShiftedSymbol(qtKey))
            return digit;
    }
    return punctuationKey(qtKey);
}

}  // namespace tw
