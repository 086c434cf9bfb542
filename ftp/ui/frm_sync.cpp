#include "ftp/ui/frm_sync.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

namespace {

QString bytesText(qint64 bytes)
{
    return QLocale::c().toString(bytes) + QStringLiteral(" バイト");
}

}  // namespace

Frm_Sync::Frm_Sync(const SyncPlan& plan, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_plan(plan),
      m_platform(platform)
{
    setObjectName(QStringLiteral("Frm_Sync"));
    setWindowTitle(QStringLiteral("変更分をアップロード"));
    setModal(true);
    auto* folders =
        new QLabel(QStringLiteral("ローカル: %1\nサーバ: %2").arg(plan.localFolder, plan.remoteFolder), this);
    folders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("List"));
    m_list->setHeaderLabels({QStringLiteral("送信するファイル"), QStringLiteral("サイズ"), QStringLiteral("更新日時")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    for (const SyncPlan::File& f : plan.files) {
        auto* item = new QTreeWidgetItem(
            {f.name, bytesText(f.size), f.localTime.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        m_list->addTopLevelItem(item);
    }
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    auto* total = new QLabel(
        plan.files.isEmpty() ? QStringLiteral("送信するファイルはありません")
                             : QStringLiteral("%1 ファイル、合計 %2").arg(plan.files.size()).arg(bytesText(plan.bytes)),
        this);
    total->setObjectName(QStringLiteral("Lbl_Total"));
    m_delete =
        new QCheckBox(QStringLiteral("ローカルにないサーバのファイルを削除する (%1 件)").arg(plan.extra.size()), this);
    m_delete->setObjectName(QStringLiteral("Chk_Delete"));
    m_delete->setEnabled(!plan.extra.isEmpty());
    connect(m_delete, &QCheckBox::toggled, this, &Frm_Sync::deleteToggled);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("送信"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("Btn_Ok"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folders);
    layout->addWidget(m_list, 1);
    layout->addWidget(total);
    layout->addWidget(m_delete);
    layout->addWidget(buttons);
    resize(620, 420);
}

bool Frm_Sync::deleteExtra() const
{
    return m_delete->isChecked();
}

void Frm_Sync::deleteToggled(bool on)
{
    if (!on)
        return;
    // Deleting is asked once more, naming what goes.
    QStringList names = m_plan.extra.mid(0, 20);
    if (m_plan.extra.size() > names.size())
        names.append(QStringLiteral("ほか %1 件").arg(m_plan.extra.size() - names.size()));
    if (m_platform.messages->show(
            QStringLiteral("ローカルにない次のサーバのファイルを削除します。元には戻せません。\r\n"
                           "よろしいですか？\r\n\r\n")
                + names.join(QStringLiteral("\r\n")),
            windowTitle(), MsgIcon::Warning, MsgButtons::YesNo)
        != MsgResult::Yes) {
        const QSignalBlocker block(m_delete);
        m_delete->setChecked(false);
    }
}

}  // namespace tw
