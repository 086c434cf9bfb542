#pragma once
// Drives a QPrinter through the print layout's page loop: the source text
// laid out for the printer, one band per page, with the title line and the
// page numbers.

#include "editor/shell/printlayout.h"

class QFont;
class QPrinter;

namespace tw {

// The size of a printer's font before the program sets one, in points: the
// page-setup sizes start with it, whatever font the windows use.
int printerFontPoints();

// The printer's sheet, printable area and font size in twips, with its
// margins set to the printer's own unprintable edge.
PrinterMetrics printerMetrics(QPrinter& printer);

// Prints the whole text; an error (nothing printed, or the printer could not
// be started) comes back in Japanese. A PDF file is replaced only by a
// complete one: on a failure the file of that name stays as it was.
PrintOutcome printSourceText(QPrinter& printer, const PrintSettings& settings, const QString& title,
                             const QString& text, const QFont& textFont);

}  // namespace tw
