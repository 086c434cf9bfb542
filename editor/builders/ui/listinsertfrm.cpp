#include "editor/builders/ui/listinsertfrm.h"

#include "editor/builders/ui/dialogbutton.h"
#include "common/paths.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

ListInsertFrm::ListInsertFrm(const ListOptions& v, const Platform& platform, const QString& panelFolder,
                             QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_panelFolder(panelFolder)
{
    setObjectName(QStringLiteral("ListInsertFrm"));
    setWindowTitle(QStringLiteral("リストの挿入"));

    m_kind = itemCombo(this, "ListKindCmb", listKindNames(), true);
    m_count = new QLineEdit(this);
    m_count->setObjectName(QStringLiteral("ListCntTxt"));
    m_start = new QLineEdit(this);
    m_start->setObjectName(QStringLiteral("StartNumTxt"));
    m_picture = new QLineEdit(this);
    m_picture->setObjectName(QStringLiteral("PictureTxt"));
    m_picture->setMinimumWidth(200);
    m_countUpDown = new UpDown(m_count, 0, 100, this);
    m_countUpDown->setObjectName(QStringLiteral("UpDown1"));
    m_countUpDown->setAccessibleName(QStringLiteral("項目数"));
    m_startUpDown = new UpDown(m_start, 0, 100, this);
    m_startUpDown->setObjectName(QStringLiteral("UpDown2"));
    m_startUpDown->setAccessibleName(QStringLiteral("開始番号"));
    m_browse = dotsButton(this, "Command1", QStringLiteral("画像を選択"));

    auto label = [this](const char* caption, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* kindLabel = label("マーク", m_kind);
    m_countLabel = label("項目数", m_count);
    m_startLabel = label("開始番号", m_start);
    m_pictureLabel = label("画像", m_picture);

    auto* grid = new QGridLayout;
    grid->addWidget(kindLabel, 0, 0);
    grid->addWidget(m_kind, 0, 1, 1, 3);
    grid->addWidget(m_countLabel, 1, 0);
    grid->addWidget(m_count, 1, 1);
    grid->addWidget(m_countUpDown, 1, 2, Qt::AlignLeft);
    grid->addWidget(m_startLabel, 2, 0);
    grid->addWidget(m_start, 2, 1);
    grid->addWidget(m_startUpDown, 2, 2, Qt::AlignLeft);
    grid->addWidget(m_pictureLabel, 3, 0);
    grid->addWidget(m_picture, 3, 1, 1, 2);
    grid->addWidget(m_browse, 3, 3);
    grid->setColumnStretch(1, 1);

    auto* insert = dialogButton(this, "InsertBtn", QStringLiteral("挿入"), true);
    auto* close = dialogButton(this, "JavaExitBtn", QStringLiteral("閉じる"), false);
    QHBoxLayout* buttons = buttonRow(insert, close);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addStretch(1);
    top->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &ListInsertFrm::browse);
    connect(insert, &QPushButton::clicked, this, &ListInsertFrm::insert);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_kind, &QComboBox::currentTextChanged, this, [this](const QString& kind) {
        const ListRows r = listRowsFor(kind);
        MarkSet(r.picture, r.start, r.count);
    });

    m_kind->setEditText(v.kind);
    m_count->setText(v.count);
    m_start->setText(v.start);
    m_picture->setText(v.picture);
    const ListRows r = listRowsFor(v.kind);
    MarkSet(r.picture, r.start, r.count);
    // Room for the picture row, so showing it does not resize the dialog.
    resize(sizeHint().width(), sizeHint().height() + m_picture->sizeHint().height());
}

void ListInsertFrm::MarkSet(bool picture, bool start, bool count)
{
    for (QWidget* w :
         {static_cast<QWidget*>(m_pictureLabel), static_cast<QWidget*>(m_picture), static_cast<QWidget*>(m_browse)})
        w->setVisible(picture);
    for (QWidget* w :
         {static_cast<QWidget*>(m_startLabel), static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_startUpDown)})
        w->setEnabled(start);
    for (QWidget* w :
         {static_cast<QWidget*>(m_countLabel), static_cast<QWidget*>(m_count), static_cast<QWidget*>(m_countUpDown)})
        w->setEnabled(count);
}

ListOptions ListInsertFrm::values() const
{
    return {m_kind->currentText(), m_count->text(), m_start->text(), m_picture->text()};
}

void ListInsertFrm::browse()
{
    FileDialogRequest req;
    req.title = QStringLiteral("ファイルを開く");
    req.filter = QStringLiteral("画像ファイル (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png");
    req.initialPath = m_panelFolder + QLatin1Char('/');
    const QString path = m_platform.files->run(req);
    if (!path.isEmpty())
        m_picture->setText(MakeRelativePath(m_panelFolder, path));
}

void ListInsertFrm::insert()
{
    // Bad numbers keep the dialog open with what the user typed.
    acceptUnless(this, m_platform.messages, listInputProblem(values()));
}

}  // namespace tw
