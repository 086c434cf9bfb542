#include "editor/shell/printlayout.h"

#include "editor/settings/editorsettings.h"

#include <algorithm>
#include <cmath>

namespace tw {

PrintSettings presetPrintSettings(double printerFontPoints)
{
    PrintSettings s;
    const auto points = std::int16_t(std::clamp(std::lround(printerFontPoints), 1L, 32767L));
    s.TitleFontSize = points;
    s.PageNumberFontSize = points;
    return s;
}

TwipsRect textRectangle(const PrintSettings& s, const PrinterMetrics& p)
{
    const int m = kTwipsPerMillimetre;
    TwipsRect r{s.LeftMargin * m - p.offsetX, s.TopMargin * m - p.offsetY, p.width - s.RightMargin * m - p.offsetX,
                p.height - s.BottomMargin * m - p.offsetY};
    // Nothing can be printed outside the printable area: a margin smaller
    // than the printer's own edge ends there.
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, p.innerWidth);
    r.bottom = std::min(r.bottom, p.innerHeight);
    return r;
}

TwipsRect pageRectangle(const PrinterMetrics& p)
{
    return {0, 0, p.innerWidth, p.innerHeight};
}

PageDecorations pageDecorations(const PrintSettings& s, const PrinterMetrics& p, int page, const QString& title)
{
    PageDecorations d;
    if (s.PrintTitle == 1)
        d.title = Decoration{100, 100, s.TitleFontSize, title};
    if (s.PrintPageNumber == 1) {
        Decoration n{0, 0, s.PageNumberFontSize, QLatin1Char(' ') + QString::number(page)};
        if (page == 1) {
            // Below the text by twice the size in use before it.
            const int before = s.PrintTitle == 1 ? s.TitleFontSize : p.fontPoints;
            n.x = p.innerWidth / 2;
            n.y = p.innerHeight - 2 * before * kTwipsPerPoint;
        } else {
            const TwipsRect text = textRectangle(s, p);
            n.x = text.right / 2;
            n.y = text.bottom;
        }
        // A number that would run off the sheet is lifted onto it.
        const int lineHeight = n.points * kTwipsPerPoint * 5 / 4;
        n.y = std::max(0, std::min(n.y, p.innerHeight - lineHeight));
        d.number = n;
    }
    return d;
}

QString printAreaProblem(const PrintSettings& s, const PrinterMetrics& p)
{
    const TwipsRect text = textRectangle(s, p);
    if (text.width() > 0 && text.height() > 0)
        return QString();
    return QStringLiteral(
        "余白が大きすぎるため、本文を印刷する場所がありません。\r\nページ設定で余白を小さくしてください。");
}

PrintOutcome printPages(const PrintSettings& s, const PrinterMetrics& p, const QString& title, qsizetype textLength,
                        PrintTarget& target)
{
    PrintOutcome out;
    out.error = printAreaProblem(s, p);
    if (!out.error.isEmpty())
        return out;
    const TwipsRect text = textRectangle(s, p);
    const TwipsRect page = pageRectangle(p);
    auto decorate = [&](int n) {
        const PageDecorations d = pageDecorations(s, p, n, title);
        if (d.title)
            target.printText(*d.title);
        if (d.number)
            target.printText(*d.number);
    };
    out.pages = 1;
    decorate(1);
    qsizetype from = 0;
    for (;;) {
        const qsizetype next = target.renderBand(from, text, page);
        // A band that took nothing would start the same page for ever.
        if (next >= textLength || next <= from)
            break;
        target.newPage();
        decorate(++out.pages);
        from = next;
    }
    return out;
}

PageSettingTexts pageSettingTexts(const PrintSettings& s)
{
    auto n = [](std::int16_t v) { return QString::number(v); };
    return {n(s.TitleFontSize), n(s.PageNumberFontSize), s.PrintTitle == 1, s.PrintPageNumber == 1,
            n(s.RightMargin),   n(s.LeftMargin),         n(s.TopMargin),    n(s.BottomMargin)};
}

PageSettingOutcome takePageSettingTexts(const PageSettingTexts& t, const PrintSettings& current)
{
    PageSettingOutcome out;
    PrintSettings s = current;
    struct Value {
        PageSettingField field;
        const QString* text;
        std::int16_t PrintSettings::*target;
        const char* name;
        bool size;
        bool used;
    };
    const Value values[] = {
        {PageSettingField::TitleFontSize, &t.titleFontSize, &PrintSettings::TitleFontSize, "タイトルの文字サイズ", true,
         t.title},
        {PageSettingField::PageNumberFontSize, &t.pageNumberFontSize, &PrintSettings::PageNumberFontSize,
         "ページ番号の文字サイズ", true, t.pageNumber},
        {PageSettingField::RightMargin, &t.rightMargin, &PrintSettings::RightMargin, "右の余白", false, true},
        {PageSettingField::LeftMargin, &t.leftMargin, &PrintSettings::LeftMargin, "左の余白", false, true},
        {PageSettingField::TopMargin, &t.topMargin, &PrintSettings::TopMargin, "上の余白", false, true},
        {PageSettingField::BottomMargin, &t.bottomMargin, &PrintSettings::BottomMargin, "下の余白", false, true},
    };
    for (const Value& v : values) {
        const std::optional<std::int16_t> n = toInt16(*v.text);
        if (n && (!v.size || *n >= 1)) {
            s.*v.target = *n;
            continue;
        }
        if (!v.used)
            continue;  // a greyed size box keeps the size it had
        out.field = v.field;
        out.message = QStringLiteral("%1には %2 から 32767 までの数値を入力してください。")
                          .arg(QString::fromUtf8(v.name), v.size ? QStringLiteral("1") : QStringLiteral("-32768"));
        return out;
    }
    s.PrintTitle = t.title ? 1 : 0;
    s.PrintPageNumber = t.pageNumber ? 1 : 0;
    out.settings = s;
    return out;
}

}  // namespace tw
