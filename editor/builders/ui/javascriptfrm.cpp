#include "editor/builders/ui/javascriptfrm.h"

#include "editor/builders/ui/dialogbutton.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

JavaScriptFrm::JavaScriptFrm(const Platform& platform, QWidget* parent) : QDialog(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("JavaScriptFrm"));
    setWindowTitle(QStringLiteral("JavaScriptの挿入"));

    // Report mode: the name shows, the content column is there but never seen.
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("JavaScript名"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("JavaScript名"), QStringLiteral("内容")});
    m_list->setHeaderHidden(true);
    m_list->setColumnHidden(1, true);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(300, 340);

    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* close = dialogButton(this, "JavaExitBtn", QStringLiteral("閉じる"), false);
    connect(insert, &QPushButton::clicked, this, &JavaScriptFrm::insert);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &JavaScriptFrm::insert);
    QHBoxLayout* buttons = buttonRow(insert, close);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_list, 1);
    top->addLayout(buttons);
}

void JavaScriptFrm::setFragments(const QList<ScriptFragment>& fragments, const QString& libraryPath)
{
    m_libraryPath = libraryPath;
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(fragments.size());
    for (const ScriptFragment& f : fragments)
        rows.append(new QTreeWidgetItem(QStringList{f.name, f.content}));
    m_list->addTopLevelItems(rows);
    if (!rows.isEmpty())
        m_list->setCurrentItem(rows.first());
    m_list->setFocus();
}

QString JavaScriptFrm::chosenText() const
{
    const QTreeWidgetItem* row = m_list->currentItem();
    return row ? expandScriptContent(row->text(1)) : QString();
}

void JavaScriptFrm::insert()
{
    if (!m_list->currentItem()) {
        m_platform.messages->show(
            QStringLiteral("挿入できるJavaScriptがありません。\n%1 に「名前,,内容」の形で登録してください。")
                .arg(QDir::toNativeSeparators(m_libraryPath)),
            windowTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    accept();
}

}  // namespace tw
