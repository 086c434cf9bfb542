#include "editor/builders/ui/tablefrm.h"

#include "editor/builders/builderfields.h"
#include "editor/builders/ui/dialogbutton.h"
#include "common/gui/updown.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tw {

namespace {
QLineEdit* numberBox(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaximumWidth(80);
    return e;
}
}  // namespace

TableFrm::TableFrm(const TableOptions& v, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_platform(platform)
{
    setObjectName(QStringLiteral("TableFrm"));
    setWindowTitle(QStringLiteral("テーブルの挿入"));

    m_rows = numberBox(this, "Text2");
    m_columns = numberBox(this, "Text3");
    m_width = numberBox(this, "Text1");
    m_border = numberBox(this, "Text4");
    m_widthUnit = itemCombo(this, "WidthFormatCmb", sizeUnitNames(), false);
    m_widthUnit->setAccessibleName(QStringLiteral("幅の単位"));
    m_align = itemCombo(this, "GridPace", tableAlignNames(), false);
    m_colour = itemCombo(this, "GridBackColor", skeletonColourNames(), true);
    m_colour->setMinimumContentsLength(10);
    auto* rowsUpDown = new UpDown(m_rows, 0, 100, this);
    rowsUpDown->setObjectName(QStringLiteral("UpDown1"));
    rowsUpDown->setAccessibleName(QStringLiteral("縦（行）"));
    auto* columnsUpDown = new UpDown(m_columns, 0, 100, this);
    columnsUpDown->setObjectName(QStringLiteral("UpDown2"));
    columnsUpDown->setAccessibleName(QStringLiteral("横（列）"));
    auto* borderUpDown = new UpDown(m_border, 0, 10, this);
    borderUpDown->setObjectName(QStringLiteral("UpDown3"));
    borderUpDown->setAccessibleName(QStringLiteral("枠の太さ"));
    auto* pick = dotsButton(this, "TableColorBtn", QStringLiteral("背景色を選択"));

    auto* grid = new QGridLayout;
    const auto addRow = [this, grid](int row, const char* caption, QWidget* field, QWidget* beside) {
        grid->addWidget(buddyLabel(this, QString::fromUtf8(caption), field), row, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(field);
        if (beside)
            line->addWidget(beside);
        line->addStretch(1);
        grid->addLayout(line, row, 1);
    };
    addRow(0, "縦（行）", m_rows, rowsUpDown);
    addRow(1, "横（列）", m_columns, columnsUpDown);
    addRow(2, "表の幅", m_width, m_widthUnit);
    addRow(3, "枠の太さ", m_border, borderUpDown);
    addRow(4, "表の位置", m_align, nullptr);
    addRow(5, "背景色", m_colour, pick);
    grid->setColumnStretch(1, 1);

    auto* insert = dialogButton(this, "Command3", QStringLiteral("挿入"), true);
    auto* cancel = dialogButton(this, "Command1", QStringLiteral("キャンセル"), false);
    QHBoxLayout* buttons = buttonRow(insert, cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addStretch(1);
    top->addLayout(buttons);

    connect(pick, &QPushButton::clicked, this, [this] { pickColourInto(m_platform.colours, m_colour); });
    connect(insert, &QPushButton::clicked, this, &TableFrm::insert);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_rows->setText(v.rows);
    m_columns->setText(v.columns);
    m_width->setText(v.width);
    m_widthUnit->setCurrentText(v.widthUnit);
    m_border->setText(v.border);
    m_align->setCurrentText(v.align);
    m_colour->setEditText(v.bgColor);
}

TableOptions TableFrm::values() const
{
    return {m_rows->text(),   m_columns->text(),      m_width->text(),        m_widthUnit->currentText(),
            m_border->text(), m_align->currentText(), m_colour->currentText()};
}

void TableFrm::insert()
{
    // Counts that are no numbers, or too large, keep the dialog open as typed.
    acceptUnless(this, m_platform.messages, tableInputProblem(values()));
}

}  // namespace tw
