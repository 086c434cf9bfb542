#include "editor/window/fselect.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace tw {

QStringList FSelect::volumes()
{
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (root.startsWith(QLatin1String("/proc")) || root.startsWith(QLatin1String("/sys"))
            || root.startsWith(QLatin1String("/dev")) || root.startsWith(QLatin1String("/run")))
            continue;
        if (!roots.contains(root))
            roots << root;
    }
    roots.removeAll(QStringLiteral("/"));
    roots.sort();
    roots.prepend(QStringLiteral("/"));
    return roots;
}

FSelect::FSelect(const QString& folder, MessageBoxes* messages, QWidget* parent)
    : QDialog(parent),
      m_model(new QFileSystemModel(this)),
      m_messages(messages)
{
    setObjectName(QStringLiteral("FSelect"));
    setWindowTitle(QStringLiteral("フォルダの選択"));
    setModal(true);
    resize(360, 420);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setAccessibleName(QStringLiteral("ドライブ"));
    Drive1->addItems(volumes());
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setAccessibleName(QStringLiteral("フォルダ"));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_model->setRootPath(QStringLiteral("/"));
    Dir1->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        Dir1->hideColumn(c);
    Dir1->header()->hide();

    auto* ok = new QPushButton(QStringLiteral("決定"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Open on the panel's own volume and folder.
    m_drive = QStorageInfo(folder).rootPath();
    if (m_drive.isEmpty() || Drive1->findText(m_drive) < 0)
        m_drive = QStringLiteral("/");
    Drive1->setCurrentIndex(Drive1->findText(m_drive));
    Dir1->setRootIndex(m_model->index(m_drive));
    selectFolder(folder);
    connect(Drive1, &QComboBox::textActivated, this, [this](const QString& root) {
        if (!chooseDrive(root))
            Drive1->setCurrentIndex(Drive1->findText(m_drive));
    });
}

bool FSelect::chooseDrive(const QString& root)
{
    const QStorageInfo info(root);
    if (!info.isValid() || !info.isReady() || !QDir(root).isReadable()) {
        if (m_messages)
            m_messages->show(QStringLiteral("ErrorNumber:68\rデバイスの準備ができていません。"),
                             QStringLiteral("エラー"), MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    m_drive = root;
    Dir1->setRootIndex(m_model->index(root));
    Dir1->setCurrentIndex(m_model->index(root));
    return true;
}

void FSelect::selectFolder(const QString& folder)
{
    const QModelIndex index = m_model->index(folder);
    if (!index.isValid())
        return;
    Dir1->setCurrentIndex(index);
    Dir1->expand(index);
    Dir1->scrollTo(index);
}

QString FSelect::selectedFolder() const
{
    const QModelIndex index = Dir1->currentIndex();
    return index.isValid() ? m_model->filePath(index) : m_drive;
}

}  // namespace tw
