#include "stylesheet/ui/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tw::velmora {

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_min(minimum), m_max(maximum)
{
    auto makeButton = [this](Qt::ArrowType arrow, const QString& name) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setAccessibleName(name);
        b->setToolTip(name);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        return b;
    };
    m_up = makeButton(Qt::UpArrow, QStringLiteral("増やす"));
    m_down = makeButton(Qt::DownArrow, QStringLiteral("減らす"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_up);
    box->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    m_buddy->installEventFilter(this);
}

void UpDown::stepBy(int steps)
{
    // Steps the number in the box and keeps a unit typed after it ("12px");
    // a box without a number counts as the minimum.
    static const QRegularExpression numberAndUnit(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)(.*)$"));
    const QRegularExpressionMatch m = numberAndUnit.match(m_buddy->text());
    bool ok = false;
    double current = m.hasMatch() ? m.captured(1).toDouble(&ok) : 0;
    if (!ok || !std::isfinite(current))
        current = m_min;
    const QString unit = m.hasMatch() ? m.captured(2).trimmed() : QString();
    const double next = steps > 0 ? std::floor(current) + steps : std::ceil(current) + steps;
    m_buddy->setText(QString::number(int(std::clamp(next, double(m_min), double(m_max)))) + unit);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tw::velmora
