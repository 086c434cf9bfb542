#pragma once
// カレンダーを挿入: pages through months in a month view; the shown month
// becomes the table.

#include "editor/builders/calendar.h"

#include <QDate>
#include <QDialog>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace tw {

// The month view: 7 columns from Sunday, 6 rows, today's day in bold.
class MonthView : public QWidget {
    Q_OBJECT
public:
    explicit MonthView(QWidget* parent = nullptr);
    void setMonth(int year, int month, const QDate& today);
    QSize sizeHint() const override { return {7 * 32 + 1, 6 * 24 + 1}; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int m_year = 2000;
    int m_month = 1;
    QDate m_today;
};

class CalendarFrm : public QDialog {
    Q_OBJECT
public:
    // Shows the month of values; today is drawn in bold while its month shows.
    CalendarFrm(const CalendarOptions& values, const QDate& today, QWidget* parent = nullptr);

    // Shows the month of date; always 0.
    int GetDate(const QDate& date);
    CalendarOptions values() const;

private:
    void step(int months);

    QDate m_shown;
    QDate m_today;
    QLabel* m_month;
    MonthView* m_view;
    QLineEdit* m_border;
};

}  // namespace tw
