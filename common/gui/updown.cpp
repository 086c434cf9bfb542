#include "common/gui/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tw {

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent, int step)
    : QWidget(parent),
      m_buddy(buddy),
      m_min(minimum),
      m_max(maximum),
      m_step(step)
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

void UpDown::stepBy(int n)
{
    static const QRegularExpression numberAndUnit(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)(.*)$"));
    const QRegularExpressionMatch m = numberAndUnit.match(m_buddy->text());
    bool ok = false;
    const double now = m.hasMatch() ? m.captured(1).toDouble(&ok) : 0;
    const QString unit = m.hasMatch() ? m.captured(2).trimmed() : QString();
    const double whole = n > 0 ? std::floor(now) : std::ceil(now);
    const int base = ok && std::isfinite(now) ? int(std::clamp(whole, double(m_min), double(m_max))) : m_min;
    m_buddy->setText(QString::number(std::clamp(base + n * m_step, m_min, m_max)) + unit);
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

}  // namespace tw
