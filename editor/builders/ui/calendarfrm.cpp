#include "editor/builders/ui/calendarfrm.h"

#include "editor/builders/ui/dialogbutton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

MonthView::MonthView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picMonth"));
    setMinimumSize(sizeHint());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void MonthView::setMonth(int year, int month, const QDate& today)
{
    m_year = year;
    m_month = month;
    m_today = today;
    update();
}

void MonthView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const MonthShape m = monthShape(m_year, m_month);
    const int cellW = (width() - 1) / 7;
    const int cellH = (height() - 1) / 6;
    const bool thisMonth = m_today.year() == m_year && m_today.month() == m_month;
    QFont normal = font();
    QFont bold = font();
    bold.setBold(true);
    for (int d = 1; d <= m.days; ++d) {
        const int pos = m.offset + d - 1;
        p.setFont(thisMonth && d == m_today.day() ? bold : normal);
        const QRect cell((pos % 7) * cellW, (pos / 7) * cellH, cellW, cellH);
        p.drawText(cell, Qt::AlignCenter, QString::number(d));
    }
}

CalendarFrm::CalendarFrm(const CalendarOptions& v, const QDate& today, QWidget* parent)
    : QDialog(parent),
      m_today(today)
{
    setObjectName(QStringLiteral("CalendarFrm"));
    setWindowTitle(QStringLiteral("カレンダーを挿入"));

    auto* back = new QPushButton(QStringLiteral("<<"), this);
    back->setObjectName(QStringLiteral("BackBtn"));
    back->setAccessibleName(QStringLiteral("前の月"));
    back->setAutoDefault(false);
    auto* next = new QPushButton(QStringLiteral(">>"), this);
    next->setObjectName(QStringLiteral("NextBtn"));
    next->setAccessibleName(QStringLiteral("次の月"));
    next->setAutoDefault(false);
    m_month = new QLabel(this);
    m_month->setObjectName(QStringLiteral("lblMonth"));
    m_month->setAlignment(Qt::AlignCenter);
    m_view = new MonthView(this);
    m_view->setAccessibleName(QStringLiteral("月の表示"));
    m_border = new QLineEdit(QStringLiteral("0"), this);
    m_border->setObjectName(QStringLiteral("TableBoarderTxt"));
    m_border->setMaximumWidth(80);
    auto* borderLabel = new QLabel(QStringLiteral("枠線の太さ"), this);
    borderLabel->setBuddy(m_border);
    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* cancel = dialogButton(this, "CancelBtn", QStringLiteral("キャンセル"), false);

    connect(back, &QPushButton::clicked, this, [this] { step(-1); });
    connect(next, &QPushButton::clicked, this, [this] { step(1); });
    connect(insert, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* head = new QHBoxLayout;
    head->addWidget(back);
    head->addWidget(m_month, 1);
    head->addWidget(next);
    auto* weekdays = new QHBoxLayout;
    weekdays->setSpacing(0);
    for (const char* w : {"日", "月", "火", "水", "木", "金", "土"}) {
        auto* l = new QLabel(QString::fromUtf8(w), this);
        l->setAlignment(Qt::AlignCenter);
        weekdays->addWidget(l, 1);
    }
    auto* border = new QHBoxLayout;
    border->addWidget(borderLabel);
    border->addWidget(m_border);
    border->addStretch(1);
    QHBoxLayout* buttons = buttonRow(insert, cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addLayout(weekdays);
    top->addWidget(m_view, 1);
    top->addLayout(border);
    top->addLayout(buttons);

    m_border->setText(v.border);
    GetDate(QDate(v.year, v.month, 1));
}

int CalendarFrm::GetDate(const QDate& date)
{
    m_shown = QDate(date.year(), date.month(), 1);
    m_month->setText(QLocale().toString(m_shown, QStringLiteral("MMMM yyyy")));
    m_view->setMonth(m_shown.year(), m_shown.month(), m_today);
    return 0;
}

void CalendarFrm::step(int months)
{
    const QDate to = m_shown.addMonths(months);
    if (to.isValid() && monthShape(to.year(), to.month()).days > 0)
        GetDate(to);
}

CalendarOptions CalendarFrm::values() const
{
    return {m_shown.year(), m_shown.month(), m_border->text()};
}

}  // namespace tw
