#pragma once
// The month calendar as an HTML table, and the shape of a month that the
// dialog's month view draws.

#include <QString>

namespace tw {

struct CalendarOptions {
    int year = 2000;
    int month = 1;                         // 1-12
    QString border = QStringLiteral("0");  // copied into border="..." as typed
};

struct MonthShape {
    int days = 0;    // 28-31
    int offset = 0;  // weekday of the 1st, Sunday 0 .. Saturday 6
    int rows = 0;    // week rows the month spans, 4-6
};
// Nothing (all zero) for a month outside 1-12 or a year outside 1-9999.
MonthShape monthShape(int year, int month);

// The table, CR LF line breaks, none between the last day and its </tr> and
// none after the closing comment; the year in four digits (0794). Empty for a
// month monthShape refuses.
QString BuildCalendar(const CalendarOptions& o);

}  // namespace tw
