#pragma once
// One CSS rule composed from the choices of the compose tab, and the fixed
// item lists those choices come from.

#include <QString>
#include <QStringList>

#include <array>

namespace tw::velmora {

inline constexpr int kScrollBarRows = 8;

// What the compose tab holds when "設定追加" is pressed; texts as the
// controls show them.
struct StyleRuleValues {
    QString selector;  // the chosen selector item, e.g. "BODY (ページ全体)"; empty when none is chosen
    std::array<QString, kScrollBarRows> scrollBarColours;
    QString fontName;
    QString fontColour;
    QString backgroundColour;  // a colour item, "なし" or empty for none, or a typed value
    QString fontSize;
    QString sizeUnit = QStringLiteral("ピクセル");  // a unit item
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool overline = false;
    bool lineThrough = false;
    bool backImage = false;
    QString backImageUrl;
    bool backImageFixed = false;
    QString cursor;  // a cursor item or a typed value
};

struct ScrollBarRow {
    QString label;
    QString property;
};

const QStringList& selectorItems();
const QStringList& sizeUnitItems();
const QStringList& cursorItems();
const QStringList& scrollBarColourItems();  // begins with "なし"
const QStringList& fontColourItems();
const std::array<ScrollBarRow, kScrollBarRows>& scrollBarRows();

// "px" for "ピクセル" and so on; a text that is no unit item counts as pixels.
QString unitSuffix(const QString& unitItem);
// The value before the explanation: "crosshair (十字矢印)" gives "crosshair";
// a typed text without a blank is taken whole.
QString cursorValue(const QString& cursorText);
// A size CSS accepts without a sign: "12", "1.5", ".5".
bool isSizeNumber(const QString& text);
// A number with a CSS length unit or a percent sign: "12px", "1.2em", "90%".
bool isSizeWithUnit(const QString& text);
// The value of the font-family line: a generic family (serif, monospace, ...)
// bare, a list the user wrote with commas or a name already in quotes as
// typed, any other name in double quotes.
QString fontFamilyValue(const QString& fontName);

enum class RuleOutcome { Appended, NoSelector, BadSize };

struct RuleResult {
    RuleOutcome outcome = RuleOutcome::NoSelector;
    QString text;  // the whole output text; unchanged unless appended
};

// Appends one rule (CR LF breaks, preceded by an empty line) to the output
// text, which may hold the user's own edits.
RuleResult AppendStyleRule(const QString& output, const StyleRuleValues& values);

}  // namespace tw::velmora
