#include "editor/window/pagesettingfrm.h"

#include "editor/settings/editorsettings.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

namespace {
// A text box with an up-down control: the arrows step a number by one, yet
// any text can be typed (and is checked on confirming).
class UpDownBox : public QAbstractSpinBox {
public:
    UpDownBox(const QString& boxName, QWidget* parent) : QAbstractSpinBox(parent)
    {
        lineEdit()->setObjectName(boxName);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }
    QLineEdit* edit() const { return lineEdit(); }
    void stepBy(int steps) override
    {
        if (const auto n = toInt16(text()))
            lineEdit()->setText(QString::number(std::clamp(int(*n) + steps, -32768, 32767)));
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};
}  // namespace

PageSettingFrm::PageSettingFrm(const PrintSettings& current, MessageBoxes* messages, std::function<void()> print,
                               QWidget* parent)
    : QDialog(parent),
      m_settings(current),
      m_messages(messages)
{
    setObjectName(QStringLiteral("PageSettingFrm"));
    setWindowTitle(QStringLiteral("ページ設定"));
    auto* main = new QVBoxLayout(this);

    auto* margins = new QGroupBox(QStringLiteral("余白"), this);
    auto* grid = new QGridLayout(margins);
    auto margin = [this, margins, grid](const char* name, const char* caption, int row, int column) {
        auto* label = new QLabel(QString::fromUtf8(caption), margins);
        auto* spin = new UpDownBox(QString::fromLatin1(name), margins);
        spin->setObjectName(QString::fromLatin1(name).replace(QLatin1String("Txt"), QLatin1String("UpDown")));
        spin->setMinimumWidth(80);
        label->setBuddy(spin);
        spin->setAccessibleName(label->text());
        grid->addWidget(label, row, column * 3);
        grid->addWidget(spin, row, column * 3 + 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), margins), row, column * 3 + 2);
        return spin->edit();
    };
    m_left = margin("LeftMarginTxt", "左", 0, 0);
    m_right = margin("RightMarginTxt", "右", 0, 1);
    m_top = margin("TopMarginTxt", "上", 1, 0);
    m_bottom = margin("BottomMarginTxt", "下", 1, 1);
    grid->setColumnMinimumWidth(3, 24);
    main->addWidget(margins);

    auto* decorations = new QGroupBox(QStringLiteral("ヘッダーとフッター"), this);
    auto* dgrid = new QGridLayout(decorations);
    auto decoration = [this, decorations, dgrid](const char* check, const char* caption, const char* sizeBox,
                                                 const char* unit, int row, QLineEdit*& size, QLabel*& unitLabel) {
        auto* c = new QCheckBox(QString::fromUtf8(caption), decorations);
        c->setObjectName(QString::fromLatin1(check));
        size = new QLineEdit(decorations);
        size->setObjectName(QString::fromLatin1(sizeBox));
        size->setMaximumWidth(70);
        size->setAccessibleName(c->text() + QStringLiteral("の文字サイズ"));
        unitLabel = new QLabel(QStringLiteral("point"), decorations);
        unitLabel->setObjectName(QString::fromLatin1(unit));
        unitLabel->setBuddy(size);
        dgrid->addWidget(c, row, 0);
        dgrid->addWidget(size, row, 1);
        dgrid->addWidget(unitLabel, row, 2);
        connect(c, &QCheckBox::clicked, this, &PageSettingFrm::ControlSet);
        return c;
    };
    m_title = decoration("TitleChk", "タイトルを表示する", "PrintTitleFontSizeTxt", "PrintTitleFontSizeLbl", 0,
                         m_titleSize, m_titleUnit);
    m_pageNum = decoration("PageNumChk", "ページ番号を表示する", "PrintPageNumFontSizeTxt", "PrintPageNumFontSizeLbl",
                           1, m_pageNumSize, m_pageNumUnit);
    dgrid->setColumnStretch(3, 1);
    main->addWidget(decorations);

    auto* printer = new QPushButton(QStringLiteral("プリンタの設定"), this);
    printer->setObjectName(QStringLiteral("Command1"));
    auto* ok = new QPushButton(QStringLiteral("設定"), this);
    ok->setObjectName(QStringLiteral("SettingBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printer);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    main->addLayout(buttons);
    connect(printer, &QPushButton::clicked, this, [print] {
        if (print)
            print();
    });
    connect(ok, &QPushButton::clicked, this, &PageSettingFrm::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const PageSettingTexts t = pageSettingTexts(current);
    m_left->setText(t.leftMargin);
    m_right->setText(t.rightMargin);
    m_top->setText(t.topMargin);
    m_bottom->setText(t.bottomMargin);
    m_titleSize->setText(t.titleFontSize);
    m_pageNumSize->setText(t.pageNumberFontSize);
    m_title->setChecked(t.title);
    m_pageNum->setChecked(t.pageNumber);
    ControlSet();
}

void PageSettingFrm::ControlSet()
{
    m_titleSize->setEnabled(m_title->isChecked());
    m_titleUnit->setEnabled(m_title->isChecked());
    m_pageNumSize->setEnabled(m_pageNum->isChecked());
    m_pageNumUnit->setEnabled(m_pageNum->isChecked());
}

QLineEdit* PageSettingFrm::box(PageSettingField field) const
{
    switch (field) {
        case PageSettingField::TitleFontSize:
            return m_titleSize;
        case PageSettingField::PageNumberFontSize:
            return m_pageNumSize;
        case PageSettingField::RightMargin:
            return m_right;
        case PageSettingField::LeftMargin:
            return m_left;
        case PageSettingField::TopMargin:
            return m_top;
        case PageSettingField::BottomMargin:
            return m_bottom;
        case PageSettingField::None:
            break;
    }
    return nullptr;
}

void PageSettingFrm::confirm()
{
    PageSettingTexts t;
    t.titleFontSize = m_titleSize->text();
    t.pageNumberFontSize = m_pageNumSize->text();
    t.title = m_title->isChecked();
    t.pageNumber = m_pageNum->isChecked();
    t.rightMargin = m_right->text();
    t.leftMargin = m_left->text();
    t.topMargin = m_top->text();
    t.bottomMargin = m_bottom->text();
    const PageSettingOutcome r = takePageSettingTexts(t, m_settings);
    if (!r.settings) {
        m_messages->show(r.message, QStringLiteral("ページ設定"), MsgIcon::Warning, MsgButtons::Ok);
        if (QLineEdit* e = box(r.field)) {
            e->setFocus();
            e->selectAll();
        }
        return;
    }
    m_settings = *r.settings;
    accept();
}

}  // namespace tw
