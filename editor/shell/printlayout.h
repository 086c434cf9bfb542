#pragma once
// Printing the source text over plain numbers: the print settings, the text
// rectangle from margins and printer offsets, where the title and the page
// numbers go, and the page loop. Every length is in twips; the window side
// turns them into device pixels for its printer.

#include <QString>

#include <cstdint>
#include <optional>

namespace tw {

// Kept in memory for the running program only.
struct PrintSettings {
    std::int16_t PrintTitle = 1;
    std::int16_t PrintPageNumber = 1;
    std::int16_t TitleFontSize = 10;
    std::int16_t PageNumberFontSize = 10;
    std::int16_t LeftMargin = 10;  // millimetres
    std::int16_t TopMargin = 10;
    std::int16_t RightMargin = 10;
    std::int16_t BottomMargin = 10;
};
// The start values: both decorations on, both sizes the printer's font size.
PrintSettings presetPrintSettings(double printerFontPoints);

inline constexpr int kTwipsPerMillimetre = 57;
inline constexpr int kTwipsPerPoint = 20;

struct TwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const TwipsRect&) const = default;
};

struct PrinterMetrics {
    int width = 0, height = 0;            // the whole sheet
    int innerWidth = 0, innerHeight = 0;  // the printable area, where (0, 0) is
    int offsetX = 0, offsetY = 0;         // the printable area's corner on the sheet
    int fontPoints = 10;                  // the printer's own font size
};

// Margins measured from the sheet's edges, kept inside the printable area.
TwipsRect textRectangle(const PrintSettings& settings, const PrinterMetrics& printer);
TwipsRect pageRectangle(const PrinterMetrics& printer);

struct Decoration {
    int x = 0, y = 0;  // top left of the text
    int points = 10;
    QString text;
    bool operator==(const Decoration&) const = default;
};
struct PageDecorations {
    std::optional<Decoration> title, number;
};
// The title line and the page number of page n (from 1).
PageDecorations pageDecorations(const PrintSettings& settings, const PrinterMetrics& printer, int page,
                                const QString& title);

// What the page loop asks of a printer.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual void printText(const Decoration& d) = 0;
    // Lays the text out from character `from` into the text rectangle and
    // renders it; answers the first character that did not fit.
    virtual qsizetype renderBand(qsizetype from, const TwipsRect& text, const TwipsRect& page) = 0;
    virtual void newPage() = 0;
};

// Why nothing can be printed with these margins, or nothing.
QString printAreaProblem(const PrintSettings& settings, const PrinterMetrics& printer);

struct PrintOutcome {
    int pages = 0;
    QString error;  // Japanese; nothing was printed
};
// The whole text, page after page, each with its decorations.
PrintOutcome printPages(const PrintSettings& settings, const PrinterMetrics& printer, const QString& title,
                        qsizetype textLength, PrintTarget& target);

// The page-setup dialog's texts, in the order they are taken.
struct PageSettingTexts {
    QString titleFontSize, pageNumberFontSize;
    bool title = true, pageNumber = true;
    QString rightMargin, leftMargin, topMargin, bottomMargin;
};
enum class PageSettingField {
    None,
    TitleFontSize,
    PageNumberFontSize,
    RightMargin,
    LeftMargin,
    TopMargin,
    BottomMargin
};
struct PageSettingOutcome {
    std::optional<PrintSettings> settings;  // all values, or nothing at all
    PageSettingField field = PageSettingField::None;
    QString message;
};
PageSettingTexts pageSettingTexts(const PrintSettings& settings);
// A text that is not a whole number from -32768 to 32767 (a font size: from
// 1) is refused; so is nothing else. A size whose box is greyed keeps its value.
PageSettingOutcome takePageSettingTexts(const PageSettingTexts& texts, const PrintSettings& current);

}  // namespace tw
