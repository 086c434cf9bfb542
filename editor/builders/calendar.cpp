#include "editor/builders/calendar.h"

#include <QDate>

namespace tw {

MonthShape monthShape(int year, int month)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        return {};
    const QDate first(year, month, 1);
    MonthShape m;
    m.days = first.daysInMonth();
    m.offset = first.dayOfWeek() % 7;  // Qt counts Monday 1 .. Sunday 7
    m.rows = (m.offset + m.days + 6) / 7;
    return m;
}

QString BuildCalendar(const CalendarOptions& o)
{
    const MonthShape m = monthShape(o.year, o.month);
    if (m.days == 0)
        return QString();
    const QString CRLF = QStringLiteral("\r\n");
    const QString row = QStringLiteral("<tr align=\"center\">");
    QString s = QStringLiteral("<!-- ■ここからカレンダー■ -->") + CRLF + QStringLiteral("<table border=\"") + o.border
                + QStringLiteral("\">") + CRLF + QStringLiteral("<!-- 年月表示部 -->") + CRLF + row + CRLF
                + QStringLiteral("<td colspan=\"4\">") + QStringLiteral("%1").arg(o.year, 4, 10, QLatin1Char('0'))
                + QStringLiteral(" 年</td>") + CRLF + QStringLiteral("<td colspan=\"3\">") + QString::number(o.month)
                + QStringLiteral(" 月</td>") + CRLF + QStringLiteral("</tr>") + CRLF
                + QStringLiteral("<!-- 曜日表示部 -->") + CRLF + row + CRLF
                + QStringLiteral("<td>日</td><td>月</td><td>火</td><td>水</td><td>木</td><td>金</td><td>土</td>") + CRLF
                + QStringLiteral("</tr>") + CRLF + QStringLiteral("<!-- 日付表示部 -->") + CRLF + row + CRLF;
    for (int i = 0; i < m.offset; ++i)
        s += QStringLiteral("<td></td>");
    for (int d = 1; d <= m.days; ++d) {
        const int pos = m.offset + d - 1;
        if (pos > 0 && pos % 7 == 0)
            s += CRLF + QStringLiteral("</tr>") + CRLF + row + CRLF;
        s += QStringLiteral("<td>") + QString::number(d) + QStringLiteral("</td>");
    }
    // The last week's row closes right after its last day, on the same line.
    s += QStringLiteral("</tr>") + CRLF + QStringLiteral("</table>") + CRLF
         + QStringLiteral("<!-- ■ここまでカレンダー■ -->");
    return s;
}

}  // namespace tw
