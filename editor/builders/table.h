#pragma once
// The table skeleton: an empty table of rows and cells with optional border,
// alignment, width and background colour.

#include "editor/builders/pageskeleton.h"

#include <QString>
#include <QStringList>

namespace tw {

// GridPace's items: "left", "center", "right".
const QStringList& tableAlignNames();

struct TableOptions {
    QString rows = QStringLiteral("2");     // as typed
    QString columns = QStringLiteral("2");  // cells per row, as typed
    QString width;                          // empty: no width attribute
    QString widthUnit = QStringLiteral("パーセント");
    QString border = QStringLiteral("1");  // copied as typed
    QString align = QStringLiteral("left");
    QString bgColor = colourNotSet();  // GridBackColor's items are the skeleton's colour names
};

// The most rows, cells per row and cells (rows times cells per row) one
// table may get; more would only make the editor stall.
constexpr double kMaxTableCells = 1000000;

// Why the rows and columns cannot be built, in Japanese; empty when they can.
QString tableInputProblem(const TableOptions& o);
// The table, CR LF after every line including the last; empty for values
// tableInputProblem refuses. Border, width and colour are copied unescaped.
QString BuildTable(const TableOptions& o);

}  // namespace tw
