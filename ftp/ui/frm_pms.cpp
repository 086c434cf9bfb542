#include "ftp/ui/frm_pms.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

Frm_Pms::Frm_Pms(const QString& name, const QString& access, QWidget* parent)
    : QDialog(parent),
      m_digits(PermissionDigits::fromAccessText(access)),
      m_filename(name)
{
    setObjectName(QStringLiteral("Frm_Pms"));
    setWindowTitle(QStringLiteral("パーミッションの変更"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* nameLabel = new QLabel(QStringLiteral("対象ファイル/フォルダ名"), this);
    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("txt_name"));
    m_name->setReadOnly(true);
    nameLabel->setBuddy(m_name);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);

    static const char* const kFrames[3] = {"オーナー権限", "グループ権限", "全てのユーザー権限"};
    static const char* const kBoxNames[3] = {"chk_own", "chk_grp", "chk_usr"};
    static const char* const kLabelNames[3] = {"lbl_own", "lbl_grp", "lbl_usr"};
    static const char* const kCaptions[3] = {"読み取り許可 ( &4 )", "書き込み許可 ( &2 )", "実行許可 ( &1 )"};
    auto* classes = new QHBoxLayout;
    for (int c = 0; c < 3; ++c) {
        auto* frame = new QGroupBox(QString::fromUtf8(kFrames[c]), this);
        frame->setObjectName(QStringLiteral("Frame_%1").arg(c));
        auto* grid = new QVBoxLayout(frame);
        for (int b = 0; b < 3; ++b) {
            m_boxes[c][b] = new QCheckBox(QString::fromUtf8(kCaptions[b]), frame);
            m_boxes[c][b]->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(kBoxNames[c])).arg(b));
            grid->addWidget(m_boxes[c][b]);
            connect(m_boxes[c][b], &QCheckBox::clicked, this, [this, c] { boxClicked(c); });
        }
        m_digitLabels[c] = new QLabel(frame);
        m_digitLabels[c]->setObjectName(QString::fromLatin1(kLabelNames[c]));
        m_digitLabels[c]->setAlignment(Qt::AlignCenter);
        m_digitLabels[c]->setAccessibleName(QString::fromUtf8(kFrames[c]));
        grid->addWidget(m_digitLabels[c]);
        classes->addWidget(frame);
    }
    layout->addLayout(classes);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK(&O)"), this);
    ok->setObjectName(QStringLiteral("cmd_ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    cancel->setObjectName(QStringLiteral("cmd_cancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        m_pms = m_digits.text() + u' ';
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] {
        m_filename.clear();
        m_pms.clear();
    });
    for (int c = 0; c < 3; ++c) {
        for (int b = 0; b < 3; ++b)
            m_boxes[c][b]->setChecked(m_digits.box(c, b));
    }
    showDigits();
}

void Frm_Pms::boxClicked(int cls)
{
    for (int b = 0; b < 3; ++b)
        m_digits.setBox(cls, b, m_boxes[cls][b]->isChecked());
    showDigits();
}

void Frm_Pms::showDigits()
{
    for (int c = 0; c < 3; ++c)
        m_digitLabels[c]->setText(QString::number(m_digits.digit(c)));
}

}  // namespace tw
