#include "editor/builders/ui/marqueefrm.h"

#include "editor/builders/builderfields.h"
#include "editor/builders/ui/dialogbutton.h"
#include "common/gui/updown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tw {

MarqueeFrm::MarqueeFrm(const MarqueeOptions& v, QWidget* parent) : QDialog(parent), m_openedText(v.text)
{
    setObjectName(QStringLiteral("MarqueeFrm"));
    setWindowTitle(QStringLiteral("マーキーの挿入"));

    const auto box = [this](const char* name, int width) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        if (width > 0)
            e->setMaximumWidth(width);
        return e;
    };
    m_text = box("MarqueeTxt", 0);
    m_text->setMinimumWidth(260);
    m_colour = itemCombo(this, "ColorCmb", marqueeColourNames(), true);
    m_colour->setMinimumContentsLength(10);
    m_heightOn = new QCheckBox(QStringLiteral("高さを設定する"), this);
    m_heightOn->setObjectName(QStringLiteral("HeightChk"));
    m_height = box("HeightTxt", 70);
    m_height->setAccessibleName(QStringLiteral("高さ"));
    m_heightUnit = itemCombo(this, "HeightFormatCmb", sizeUnitNames(), false);
    m_heightUnit->setAccessibleName(QStringLiteral("高さの単位"));
    m_widthOn = new QCheckBox(QStringLiteral("幅を設定する"), this);
    m_widthOn->setObjectName(QStringLiteral("WidthChk"));
    m_width = box("WidthTxt", 70);
    m_width->setAccessibleName(QStringLiteral("幅"));
    m_widthUnit = itemCombo(this, "WidthFormatCmb", sizeUnitNames(), false);
    m_widthUnit->setAccessibleName(QStringLiteral("幅の単位"));
    m_motion = itemCombo(this, "MarqueeMoveCmb", marqueeMotionNames(), false);
    m_direction = itemCombo(this, "MarqueeScrollCmb", marqueeDirectionNames(), false);
    m_step = box("ScrollWidthTxt", 70);
    auto* heightUpDown = new UpDown(m_height, 0, 900, this, 100);
    heightUpDown->setObjectName(QStringLiteral("HeightUpDown"));
    heightUpDown->setAccessibleName(QStringLiteral("高さ"));
    auto* widthUpDown = new UpDown(m_width, 0, 900, this, 100);
    widthUpDown->setObjectName(QStringLiteral("WidthUpDown"));
    widthUpDown->setAccessibleName(QStringLiteral("幅"));
    auto* stepUpDown = new UpDown(m_step, 0, 10, this);
    stepUpDown->setObjectName(QStringLiteral("ScrollWidthUpDown"));
    stepUpDown->setAccessibleName(QStringLiteral("1回にスクロールする幅"));

    auto* grid = new QGridLayout;
    grid->addWidget(buddyLabel(this, QStringLiteral("テキスト"), m_text), 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 4);
    grid->addWidget(buddyLabel(this, QStringLiteral("背景色"), m_colour), 1, 0);
    grid->addWidget(m_colour, 1, 1, 1, 2);
    const auto sizeRow = [grid](int row, QCheckBox* on, QLineEdit* value, QWidget* upDown, QComboBox* unit) {
        grid->addWidget(on, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(upDown, row, 2, Qt::AlignLeft);
        grid->addWidget(unit, row, 3);
        // The size fields count only while their box is ticked.
        for (QWidget* w : {static_cast<QWidget*>(value), upDown, static_cast<QWidget*>(unit)}) {
            w->setEnabled(false);
            QObject::connect(on, &QCheckBox::toggled, w, &QWidget::setEnabled);
        }
    };
    sizeRow(2, m_heightOn, m_height, heightUpDown, m_heightUnit);
    sizeRow(3, m_widthOn, m_width, widthUpDown, m_widthUnit);
    grid->setColumnStretch(4, 1);

    auto* motionBox = new QGroupBox(QStringLiteral("マーキーの動作"), this);
    motionBox->setObjectName(QStringLiteral("Frame1"));
    auto* motionGrid = new QGridLayout(motionBox);
    motionGrid->addWidget(buddyLabel(motionBox, QStringLiteral("マーキーの動き"), m_motion), 0, 0);
    motionGrid->addWidget(m_motion, 0, 1);
    motionGrid->addWidget(buddyLabel(motionBox, QStringLiteral("スクロール方向"), m_direction), 1, 0);
    motionGrid->addWidget(m_direction, 1, 1);
    motionGrid->setColumnStretch(2, 1);

    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(buddyLabel(this, QStringLiteral("1回にスクロールする幅"), m_step));
    stepRow->addWidget(m_step);
    stepRow->addWidget(stepUpDown);
    stepRow->addStretch(1);

    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* cancel = dialogButton(this, "CancelBtn", QStringLiteral("キャンセル"), false);
    connect(insert, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QHBoxLayout* buttons = buttonRow(insert, cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(motionBox);
    top->addLayout(stepRow);
    top->addStretch(1);
    top->addLayout(buttons);

    m_text->setText(v.text);
    m_shownText = m_text->text();
    m_colour->setEditText(v.bgColor);
    m_heightOn->setChecked(v.setHeight);
    m_height->setText(v.height);
    m_heightUnit->setCurrentText(v.heightUnit);
    m_widthOn->setChecked(v.setWidth);
    m_width->setText(v.width);
    m_widthUnit->setCurrentText(v.widthUnit);
    m_motion->setCurrentText(v.motion);
    m_direction->setCurrentText(v.direction);
    m_step->setText(v.scrollStep);
}

MarqueeOptions MarqueeFrm::values() const
{
    MarqueeOptions v;
    // A one-line box cannot show line breaks: an untouched text is the
    // selection exactly as it was.
    v.text = m_text->text() == m_shownText ? m_openedText : m_text->text();
    v.bgColor = m_colour->currentText();
    v.setHeight = m_heightOn->isChecked();
    v.height = m_height->text();
    v.heightUnit = m_heightUnit->currentText();
    v.setWidth = m_widthOn->isChecked();
    v.width = m_width->text();
    v.widthUnit = m_widthUnit->currentText();
    v.motion = m_motion->currentText();
    v.direction = m_direction->currentText();
    v.scrollStep = m_step->text();
    return v;
}

}  // namespace tw
