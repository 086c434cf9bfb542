#include "ftp/ui/frm_detail.h"

#include "ftp/session/transfertype.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

Frm_Detail::Frm_Detail(const DetailChoices& initial, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_platform(platform)
{
    setObjectName(QStringLiteral("Frm_Detail"));
    setWindowTitle(QStringLiteral("詳細設定"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* frame = new QGroupBox(QStringLiteral("「自動」でアスキー転送する拡張子"), this);
    auto* frameLayout = new QHBoxLayout(frame);
    m_list = new QListWidget(frame);
    m_list->setObjectName(QStringLiteral("lst_Ext"));
    m_list->setAccessibleName(frame->title());
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    frameLayout->addWidget(m_list, 1);
    auto* side = new QVBoxLayout;
    auto* extLabel = new QLabel(QStringLiteral("拡張子(&E)"), frame);
    m_ext = new QLineEdit(frame);
    m_ext->setObjectName(QStringLiteral("txt_Ext"));
    extLabel->setBuddy(m_ext);
    auto button = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, frame);
        b->setObjectName(name);
        b->setAutoDefault(false);
        side->addWidget(b);
        return b;
    };
    side->addWidget(extLabel);
    side->addWidget(m_ext);
    QPushButton* add = button(QStringLiteral("追加(&A)"), QStringLiteral("cmd_add"));
    QPushButton* remove = button(QStringLiteral("削除(&R)"), QStringLiteral("cmd_del"));
    QPushButton* defaults = button(QStringLiteral("既定に戻す(&B)"), QStringLiteral("cmd_default"));
    side->addStretch();
    frameLayout->addLayout(side);
    layout->addWidget(frame, 1);

    m_listCache = new QCheckBox(QStringLiteral("操作の後、一覧を取り直さずにその場で書き換える(&L)"), this);
    m_listCache->setObjectName(QStringLiteral("chk_ListCache"));
    layout->addWidget(m_listCache);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK(&O)"), this);
    ok->setObjectName(QStringLiteral("cmd_ok"));
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    cancel->setObjectName(QStringLiteral("cmd_cancel"));
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &Frm_Detail::addExtension);
    connect(m_ext, &QLineEdit::returnPressed, this, &Frm_Detail::addExtension);
    connect(remove, &QPushButton::clicked, this, &Frm_Detail::removeExtension);
    connect(defaults, &QPushButton::clicked, this, &Frm_Detail::restoreDefaults);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    fillList(initial.extensions);
    m_listCache->setChecked(initial.listCache);
    resize(440, 360);
}

DetailChoices Frm_Detail::choices() const
{
    DetailChoices c;
    for (int i = 0; i < m_list->count(); ++i)
        c.extensions.append(m_list->item(i)->text());
    c.listCache = m_listCache->isChecked();
    return c;
}

void Frm_Detail::fillList(const QStringList& extensions)
{
    m_list->clear();
    m_list->addItems(extensions);
}

void Frm_Detail::addExtension()
{
    const QString e = normalizedExtension(m_ext->text());
    if (e.isEmpty()) {
        m_platform.messages->show(QStringLiteral("拡張子として使えない文字が含まれています\r\n") + m_ext->text(),
                                  windowTitle(), MsgIcon::Warning, MsgButtons::Ok);
        m_ext->setFocus();
        return;
    }
    if (m_list->findItems(e, Qt::MatchFixedString | Qt::MatchCaseSensitive).isEmpty())
        m_list->addItem(e);
    m_ext->clear();
    m_ext->setFocus();
}

void Frm_Detail::removeExtension()
{
    for (QListWidgetItem* item : m_list->selectedItems())
        delete item;
}

void Frm_Detail::restoreDefaults()
{
    fillList(BuiltInTextExtensions());
}

}  // namespace tw
