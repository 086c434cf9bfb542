#pragma once
// Hot-key names. A key press is described as the Windows virtual-key code and
// the modifier mask 1 = Shift, 2 = Ctrl, 4 = Alt, so that names stored in a
// snippet file ("Shift+Ctrl+C") mean the same keys on every platform. Qt key
// events are mapped onto those codes here.

#include <QString>
#include <QtCore/qnamespace.h>

namespace tw {

// Modifier mask bits.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Virtual-key codes (the values Windows uses).
namespace vk {
inline constexpr int None = 0;
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Menu = 18;  // Alt
inline constexpr int Pause = 19;
inline constexpr int Capital = 20;
inline constexpr int Kana = 21;
inline constexpr int Kanji = 25;
inline constexpr int Escape = 27;
inline constexpr int Convert = 28;
inline constexpr int NonConvert = 29;
inline constexpr int Space = 32;
inline constexpr int Prior = 33;  // Page Up
inline constexpr int Next = 34;   // Page Down
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Select = 41;
inline constexpr int Print = 42;
inline constexpr int Snapshot = 44;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int Help = 47;
inline constexpr int Key0 = 48;  // 48..57: top-row digits '0'..'9'
inline constexpr int KeyA = 65;  // 65..90: 'A'..'Z'
inline constexpr int LWin = 91;
inline constexpr int RWin = 92;
inline constexpr int Apps = 93;
inline constexpr int Sleep = 95;
inline constexpr int Numpad0 = 96;  // 96..105
inline constexpr int Multiply = 106;
inline constexpr int Add = 107;
inline constexpr int Separator = 108;
inline constexpr int Subtract = 109;
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
inline constexpr int F1 = 112;  // 112..135: F1..F24
inline constexpr int NumLock = 144;
inline constexpr int Scroll = 145;
inline constexpr int Oem1 = 186;       // ; :  (US)
inline constexpr int OemPlus = 187;    // = +
inline constexpr int OemComma = 188;   // , <
inline constexpr int OemMinus = 189;   // - _
inline constexpr int OemPeriod = 190;  // . >
inline constexpr int Oem2 = 191;       // / ?
inline constexpr int Oem3 = 192;       // ` ~  (US), @ ` (JP)
inline constexpr int Oem4 = 219;       // [ {
inline constexpr int Oem5 = 220;       // \ |
inline constexpr int Oem6 = 221;       // ] }
inline constexpr int Oem7 = 222;       // ' "  (US), ^ ~ (JP)
inline constexpr int Oem102 = 226;     // \ _  (JP "ろ")
}  // namespace vk

// The name of a key combination: "Shift+", "Ctrl+", "Alt+" in that order,
// then the key part (A–Z, 0–9, Enter, F1–F12, Tab, BS, Pause, ESC, Space,
// Delete, ←↑→↓). A key without a name gives an empty text, modifiers or not.
QString KeyName(int keyCode, int shift);

// The mask of a Qt modifier set: Shift 1, Control 2, Alt 4; others ignored.
int modifierMaskFromQt(Qt::KeyboardModifiers modifiers);

// The virtual-key code of a Qt key event (QKeyEvent::key(), modifiers(),
// nativeScanCode()); vk::None when the key has no equivalent.
//
// Keys on the numeric key pad (KeypadModifier) give the key-pad codes, so
// Ctrl with key-pad 1 is not Ctrl+1. Qt reports a top-row digit key as the
// character the layout gives it ('!' for Shift+1, '&' for 1 on a French
// layout); on X11 and Wayland the scan code (the XKB key code) tells the
// digit row whatever the layout. Without a scan code, the shifted symbols
// that mean the same digit on the US and the Japanese layout (! # $ % and
// the US-only @ ^, the Japanese-only ') still give their digit; the others
// (& ( ) * ") give no digit rather than a wrong one.
int virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode = 0);

}  // namespace tw
