#include "editor/window/toolbarcustomizefrm.h"

#include "common/gui/icons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

ToolbarCustomizeFrm::ToolbarCustomizeFrm(const QString& barTitle, const QList<ToolButtonState>& current,
                                         const QList<ToolButtonState>& defaults, QWidget* parent)
    : QDialog(parent),
      m_defaults(defaults)
{
    setObjectName(QStringLiteral("ToolbarCustomizeFrm"));
    setWindowTitle(QStringLiteral("ツールバーのカスタマイズ - ") + barTitle);
    for (const ToolButtonState& b : defaults)
        m_defs.append(b.button);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ButtonList"));
    m_list->setIconSize(QSize(20, 20));
    m_list->setMinimumSize(260, 320);
    auto* caption = new QLabel(QStringLiteral("表示するボタンと並び順(&B):"), this);
    caption->setBuddy(m_list);
    auto* hint = new QLabel(QStringLiteral("チェックを外したボタンはツールバーに表示されません。"), this);
    hint->setWordWrap(true);

    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_up = button("UpBtn", "上へ(&U)");
    m_down = button("DownBtn", "下へ(&D)");
    QPushButton* reset = button("ResetBtn", "リセット(&R)");
    auto* side = new QVBoxLayout;
    side->addWidget(m_up);
    side->addWidget(m_down);
    side->addSpacing(12);
    side->addWidget(reset);
    side->addStretch(1);

    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_list, 1);
    middle->addLayout(side);
    auto* top = new QVBoxLayout(this);
    top->addWidget(caption);
    top->addLayout(middle, 1);
    top->addWidget(hint);
    top->addWidget(box);

    connect(m_up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { move(1); });
    connect(reset, &QPushButton::clicked, this, [this] { fill(m_defaults); });
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &ToolbarCustomizeFrm::updateButtons);

    fill(current);
}

void ToolbarCustomizeFrm::fill(const QList<ToolButtonState>& buttons)
{
    m_list->clear();
    for (const ToolButtonState& b : buttons) {
        // The full name: the bar shows the short caption beside its picture.
        auto* item = new QListWidgetItem(b.button.tip.isEmpty() ? b.button.caption : b.button.tip, m_list);
        if (!b.button.icon.isEmpty())
            item->setIcon(toolIcon(b.button.icon));
        item->setData(Qt::UserRole, b.button.key);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(b.visible ? Qt::Checked : Qt::Unchecked);
    }
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
    updateButtons();
}

void ToolbarCustomizeFrm::move(int by)
{
    const int row = m_list->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_list->count())
        return;
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
    m_list->setFocus();
}

void ToolbarCustomizeFrm::updateButtons()
{
    const int row = m_list->currentRow();
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row < m_list->count() - 1);
}

QList<ToolButtonState> ToolbarCustomizeFrm::buttons() const
{
    QList<ToolButtonState> out;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        const QString key = item->data(Qt::UserRole).toString();
        for (const ToolButtonDef& d : m_defs) {
            if (d.key == key)
                out.append({d, item->checkState() == Qt::Checked});
        }
    }
    return out;
}

}  // namespace tw
