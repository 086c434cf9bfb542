#include "editor/builders/ui/builderupdown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tw {

UpDown::UpDown(QLineEdit* buddy, int min, int max, QWidget* parent, int step)
    : QWidget(parent), m_buddy(buddy), m_min(min), m_max(max), m_step(step)
{
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    up->setAccessibleName(QStringLiteral("増やす"));
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    down->setAccessibleName(QStringLiteral("減らす"));
    for (QToolButton* b : {up, down}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
    }
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(up);
    l->addWidget(down);
}

void UpDown::stepBy(int n)
{
    bool ok = false;
    const double now = m_buddy->text().trimmed().toDouble(&ok);
    const int base = ok && std::isfinite(now) ? int(std::clamp(std::floor(now), double(m_min), double(m_max))) : m_min;
    m_buddy->setText(QString::number(std::clamp(base + n * m_step, m_min, m_max)));
}

}  // namespace tw
