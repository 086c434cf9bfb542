#include "stylesheet/stylerule.h"

#include <QRegularExpression>

namespace tw::velmora {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QStringList colourNames()
{
    return {QStringLiteral("red"),   QStringLiteral("blue"),   QStringLiteral("skyblue"), QStringLiteral("green"),
            QStringLiteral("pink"),  QStringLiteral("yellow"), QStringLiteral("aqua"),    QStringLiteral("fuchsia"),
            QStringLiteral("gray"),  QStringLiteral("lime"),   QStringLiteral("maroon"),  QStringLiteral("navy"),
            QStringLiteral("olive"), QStringLiteral("purple"), QStringLiteral("silver"),  QStringLiteral("teal")};
}
}  // namespace

const QStringList& selectorItems()
{
    static const QStringList items = {
        QStringLiteral("BODY (ページ全体)"),
        QStringLiteral("A (リンク)"),
        QStringLiteral("A:LINK (既に訪れたリンク)"),
        QStringLiteral("A:HOVER (リンクにカーソルをあわせた時)"),
        QStringLiteral("A:ACTIVE (リンクをクリック時)"),
        QStringLiteral("P (段落)"),
        QStringLiteral("H1 (見出し1)"),
        QStringLiteral("H2 (見出し2)"),
        QStringLiteral("H3 (見出し3)"),
        QStringLiteral("H4 (見出し4)"),
        QStringLiteral("H5 (見出し5)"),
        QStringLiteral("H6 (見出し6)"),
        QStringLiteral("FONT (フォントタグ)"),
        QStringLiteral("B (太字)"),
        QStringLiteral("I (イタリック)"),
        QStringLiteral("U (下線)"),
        QStringLiteral("S (打ち消し線)"),
        QStringLiteral("IMG (画像)"),
        QStringLiteral("TABLE (表)"),
        QStringLiteral("TR (表の行)"),
        QStringLiteral("SUP (上付き文字)"),
        QStringLiteral("SUB (下付き文字)"),
        QStringLiteral("CENTER (中央揃え)"),
        QStringLiteral("STRONG (強調文字)"),
        QStringLiteral("DIV (DIVレイアウト)"),
        QStringLiteral("PRE (べた書きテキスト)"),
        QStringLiteral("OL (番号付きリスト)"),
        QStringLiteral("UL (番号なしリスト)"),
        QStringLiteral("FORM (フォーム)"),
    };
    return items;
}

const QStringList& sizeUnitItems()
{
    static const QStringList items = {QStringLiteral("ピクセル"), QStringLiteral("ポイント"), QStringLiteral("インチ"),
                                      QStringLiteral("センチメートル"), QStringLiteral("ミリメートル")};
    return items;
}

const QStringList& cursorItems()
{
    static const QStringList items = {
        QStringLiteral("default (標準)"),
        QStringLiteral("crosshair (十字矢印)"),
        QStringLiteral("pointer (ポインタ)"),
        QStringLiteral("text (テキスト)"),
        QStringLiteral("wait (砂時計)"),
        QStringLiteral("help (ヘルプ)"),
        QStringLiteral("e-resize (左右矢印)"),
        QStringLiteral("move (上下左右矢印)"),
        QStringLiteral("ne-resize (右上左下矢印)"),
        QStringLiteral("nw-resize (左上右下矢印)"),
    };
    return items;
}

const QStringList& scrollBarColourItems()
{
    static const QStringList items = QStringList{QStringLiteral("なし")} + colourNames();
    return items;
}

const QStringList& fontColourItems()
{
    static const QStringList items = colourNames();
    return items;
}

const std::array<ScrollBarRow, kScrollBarRows>& scrollBarRows()
{
    static const std::array<ScrollBarRow, kScrollBarRows> rows = {{
        {QStringLiteral("基本色："), QStringLiteral("scrollbar-base-color : ")},
        {QStringLiteral("背景色："), QStringLiteral("scrollbar-track-color : ")},
        {QStringLiteral("三角矢印の色："), QStringLiteral("scrollbar-arrow-color : ")},
        {QStringLiteral("バーの色："), QStringLiteral("scrollbar-face-color : ")},
        {QStringLiteral("左・上枠外側の色："), QStringLiteral("scrollbar-3dlight-color : ")},
        {QStringLiteral("左・上枠内側の色："), QStringLiteral("scrollbar-highlight-color : ")},
        {QStringLiteral("右・下枠外側の色："), QStringLiteral("scrollbar-darkshadow-color : ")},
        {QStringLiteral("右・下枠内側の色："), QStringLiteral("scrollbar-shadow-color : ")},
    }};
    return rows;
}

QString unitSuffix(const QString& unitItem)
{
    static const QStringList suffixes = {QStringLiteral("px"), QStringLiteral("pt"), QStringLiteral("in"),
                                         QStringLiteral("cm"), QStringLiteral("mm")};
    const qsizetype i = sizeUnitItems().indexOf(unitItem);
    return i < 0 ? suffixes.first() : suffixes[i];
}

QString cursorValue(const QString& cursorText)
{
    // Blanks typed around a value would otherwise cut it to nothing.
    const QString text = cursorText.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

bool isSizeNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^(?:[0-9]+(?:\\.[0-9]+)?|\\.[0-9]+)$"));
    return number.match(text).hasMatch();
}

bool isSizeWithUnit(const QString& text)
{
    static const QRegularExpression sized(
        QStringLiteral("^(?:[0-9]+(?:\\.[0-9]+)?|\\.[0-9]+)"
                       "(?:%|px|pt|pc|in|cm|mm|q|em|rem|ex|rex|ch|rch|cap|rcap|ic|ric|lh|rlh"
                       "|vw|vh|vi|vb|vmin|vmax|svw|svh|lvw|lvh|dvw|dvh)$"),
        QRegularExpression::CaseInsensitiveOption);
    return sized.match(text).hasMatch();
}

QString fontFamilyValue(const QString& fontName)
{
    static const QStringList generic = {QStringLiteral("serif"),     QStringLiteral("sans-serif"),
                                        QStringLiteral("monospace"), QStringLiteral("cursive"),
                                        QStringLiteral("fantasy"),   QStringLiteral("system-ui")};
    const QString name = fontName.trimmed();
    const bool quoted = name.size() >= 2 && (name.front() == QLatin1Char('"') || name.front() == QLatin1Char('\''))
                        && name.back() == name.front();
    if (generic.contains(name, Qt::CaseInsensitive) || quoted || name.contains(QLatin1Char(',')))
        return name;
    return QLatin1Char('"') + fontName + QLatin1Char('"');
}

RuleResult AppendStyleRule(const QString& output, const StyleRuleValues& v)
{
    RuleResult r;
    r.text = output;
    if (v.selector.isEmpty()) {
        r.outcome = RuleOutcome::NoSelector;
        return r;
    }
    // A size CSS cannot read would make the browser drop the whole declaration.
    const QString size = v.fontSize.trimmed();
    const bool withUnit = isSizeWithUnit(size);
    if (!size.isEmpty() && !withUnit && !isSizeNumber(size)) {
        r.outcome = RuleOutcome::BadSize;
        return r;
    }
    const qsizetype blank = v.selector.indexOf(QLatin1Char(' '));
    const QString selector = blank < 0 ? v.selector + QLatin1Char(' ') : v.selector.left(blank + 1);

    QString t = output + kCrLf + selector + QLatin1Char('{') + kCrLf;
    if (selector == QLatin1String("BODY ")) {
        for (int i = 0; i < kScrollBarRows; ++i) {
            const QString& c = v.scrollBarColours[i];
            if (!c.isEmpty() && c != QStringLiteral("なし"))
                t += scrollBarRows()[i].property + c + QLatin1Char(';') + kCrLf;
        }
    }
    if (!v.fontName.isEmpty())
        t += QStringLiteral("  font-family : ") + fontFamilyValue(v.fontName) + QLatin1Char(';') + kCrLf;
    if (!v.fontColour.isEmpty())
        t += QStringLiteral("  color : ") + v.fontColour + QLatin1Char(';') + kCrLf;
    if (!v.backgroundColour.isEmpty() && v.backgroundColour != QStringLiteral("なし"))
        t += QStringLiteral("  background-color : ") + v.backgroundColour + QLatin1Char(';') + kCrLf;
    if (!size.isEmpty())
        t += QStringLiteral("  font-size : ") + size + (withUnit ? QString() : unitSuffix(v.sizeUnit))
             + QLatin1Char(';') + kCrLf;
    if (v.bold)
        t += QStringLiteral("  font-weight : bold;") + kCrLf;
    if (v.italic)
        t += QStringLiteral("  font-style : italic;") + kCrLf;
    if (v.underline || v.overline || v.lineThrough) {
        t += QStringLiteral("  text-decoration : ");
        if (v.underline)
            t += QStringLiteral("underline ");
        if (v.overline)
            t += QStringLiteral("overline ");
        if (v.lineThrough)
            t += QStringLiteral("line-through");
        t += QLatin1Char(';') + kCrLf;
    }
    if (v.backImage)
        t += QStringLiteral("  background-image : url(") + v.backImageUrl + QStringLiteral(");") + kCrLf;
    if (v.backImageFixed)
        t += QStringLiteral("  background-attachment: fixed;") + kCrLf;
    const QString cursor = cursorValue(v.cursor);
    if (!cursor.isEmpty())
        t += QStringLiteral("  cursor : ") + cursor + QLatin1Char(';') + kCrLf;

    r.text = t + QLatin1Char('}') + kCrLf;
    r.outcome = RuleOutcome::Appended;
    return r;
}

}  // namespace tw::velmora
