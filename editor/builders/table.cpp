#include "editor/builders/table.h"

#include "editor/builders/builderfields.h"

namespace tw {

const QStringList& tableAlignNames()
{
    static const QStringList names = {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")};
    return names;
}

QString tableInputProblem(const TableOptions& o)
{
    const std::optional<double> rows = typedNumber(o.rows);
    if (!rows)
        return QStringLiteral("縦（行）には数値を入力してください。");
    const std::optional<double> columns = typedNumber(o.columns);
    if (!columns)
        return QStringLiteral("横（列）には数値を入力してください。");
    // Each count on its own first: no rows must not let any number of cells through.
    const double r = loopCount(*rows);
    const double c = loopCount(*columns);
    if (r > kMaxTableCells || c > kMaxTableCells || r * c > kMaxTableCells)
        return QStringLiteral("表が大きすぎます。縦（行）、横（列）と、縦×横のセルの数は %1 以下にしてください。")
            .arg(qint64(kMaxTableCells));
    return QString();
}

QString BuildTable(const TableOptions& o)
{
    if (!tableInputProblem(o).isEmpty())
        return QString();
    const QString CRLF = QStringLiteral("\r\n");
    const auto attribute = [](const char* name, const QString& value) {
        return QLatin1Char(' ') + QLatin1String(name) + QStringLiteral("=\"") + value + QLatin1Char('"');
    };
    QString open = QStringLiteral("<table border=\"") + o.border + QLatin1Char('"');
    if (o.align != tableAlignNames().first())
        open += attribute("align", o.align);
    if (!o.width.isEmpty())
        open += attribute("width", sizeWithUnit(o.width, o.widthUnit));
    if (o.bgColor != colourNotSet())
        open += attribute("bgcolor", o.bgColor);
    open += QLatin1Char('>') + CRLF;

    const qsizetype rows = qsizetype(loopCount(*typedNumber(o.rows)));
    const qsizetype cells = qsizetype(loopCount(*typedNumber(o.columns)));
    const QString close = QStringLiteral("</table>") + CRLF;
    if (rows == 0)
        return open + close;
    const QString cell = QStringLiteral("  <td></td>") + CRLF;
    QString row = QStringLiteral(" <tr>") + CRLF;
    row.reserve(row.size() + cells * cell.size() + 7);
    for (qsizetype c = 0; c < cells; ++c)
        row += cell;
    row += QStringLiteral(" </tr>") + CRLF;

    QString s;
    s.reserve(open.size() + rows * row.size() + close.size());
    s += open;
    for (qsizetype r = 0; r < rows; ++r)
        s += row;
    s += close;
    return s;
}

}  // namespace tw
