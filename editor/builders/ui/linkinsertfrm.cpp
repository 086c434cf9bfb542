#include "editor/builders/ui/linkinsertfrm.h"

#include "editor/builders/ui/dialogbutton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tw {

LinkInsertFrm::LinkInsertFrm(const LinkOptions& v, const Platform& platform, const QString& panelFolder,
                             bool relativePaths, QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_panelFolder(panelFolder),
      m_relativePaths(relativePaths),
      m_selected(v.selected)
{
    setObjectName(QStringLiteral("LinkInsertFrm"));
    setWindowTitle(QStringLiteral("リンクの挿入"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    const auto page = [this](const char* caption) {
        auto* w = new QWidget(m_tabs);
        auto* grid = new QGridLayout(w);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(2, 1);
        m_tabs->addTab(w, QString::fromUtf8(caption));
        return std::pair{w, grid};
    };
    const auto lineEdit = [](QWidget* tab, const char* name) {
        auto* e = new QLineEdit(tab);
        e->setObjectName(QLatin1String(name));
        e->setMinimumWidth(260);
        return e;
    };
    const auto addRow = [](QGridLayout* grid, int row, const char* caption, QWidget* field) {
        grid->addWidget(buddyLabel(field->parentWidget(), QString::fromUtf8(caption), field), row, 0);
        grid->addWidget(field, row, 1);
    };

    auto [filePage, fileGrid] = page("ファイル/Webへ");
    m_file = lineEdit(filePage, "FileLinkTxt");
    m_fileTarget = itemCombo(filePage, "FileLinkTargetTxt", linkTargetNames(), true);
    auto* browse = dotsButton(filePage, "FileLinkBtn", QStringLiteral("リンク先のファイルを選択"));
    addRow(fileGrid, 0, "リンク先：", m_file);
    fileGrid->addWidget(browse, 0, 2);
    addRow(fileGrid, 1, "ターゲット：", m_fileTarget);

    auto [mailPage, mailGrid] = page("メールへ");
    m_address = lineEdit(mailPage, "AtesakiTxt");
    m_subject = lineEdit(mailPage, "KenmeiTxt");
    addRow(mailGrid, 0, "宛先：", m_address);
    addRow(mailGrid, 1, "件名：", m_subject);

    auto [labelPage, labelGrid] = page("ラベルへ");
    m_label = lineEdit(labelPage, "LabelTxt");
    m_labelTarget = itemCombo(labelPage, "LabelTargetCmb", linkTargetNames(), true);
    addRow(labelGrid, 0, "ラベル：", m_label);
    addRow(labelGrid, 1, "ターゲット：", m_labelTarget);

    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* close = dialogButton(this, "JavaExitBtn", QStringLiteral("閉じる"), false);
    connect(browse, &QPushButton::clicked, this, &LinkInsertFrm::browse);
    connect(insert, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    QHBoxLayout* buttons = buttonRow(insert, close);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_tabs, 1);
    top->addLayout(buttons);

    m_tabs->setCurrentIndex(v.tab);
    m_file->setText(v.file);
    m_fileTarget->setEditText(v.fileTarget);
    m_address->setText(v.address);
    m_subject->setText(v.subject);
    m_label->setText(v.label);
    m_labelTarget->setEditText(v.labelTarget);
}

LinkOptions LinkInsertFrm::values() const
{
    return {m_tabs->currentIndex(), m_file->text(),  m_fileTarget->currentText(),  m_address->text(),
            m_subject->text(),      m_label->text(), m_labelTarget->currentText(), m_selected};
}

void LinkInsertFrm::browse()
{
    const QString path = chooseLinkFile(*m_platform.files, m_panelFolder, m_relativePaths);
    if (!path.isEmpty())
        m_file->setText(path);
}

}  // namespace tw
