#include "ftp/ui/frm_user.h"

#include "ftp/settings/mdl_ini.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {

Frm_User::Frm_User(ConnectionProfile& profile, const FtpSettingFiles& files, const Platform& platform, QWidget* parent)
    : QDialog(parent),
      m_profile(profile),
      m_files(files),
      m_platform(platform)
{
    setObjectName(QStringLiteral("Frm_User"));
    setWindowTitle(QStringLiteral("接続設定"));
    setModal(true);

    auto* fields = new QGridLayout;
    static const char* const kLabels[4] = {"設定名", "接続先サーバ", "ユーザ名", "パスワード"};
    int row = 0;
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kLabels[i]), this);
        m_txt[i] = new QLineEdit(this);
        m_txt[i]->setObjectName(QStringLiteral("txt_%1").arg(i));
        label->setBuddy(m_txt[i]);
        fields->addWidget(label, row, 0);
        fields->addWidget(m_txt[i], row, 1);
        ++row;
        if (i == 1) {
            auto* hint = new QLabel(QStringLiteral("※「ftp://」は付けないでください"), this);
            hint->setObjectName(QStringLiteral("Lbl_Hint"));
            fields->addWidget(hint, row++, 1);
        }
    }
    m_txt[3]->setEchoMode(QLineEdit::Password);
    m_txt[3]->setToolTip(QStringLiteral("SFTP で秘密鍵ファイルを使うときは、鍵のパスフレーズ (なければ空欄)"));

    // How the connection is protected, and SFTP's key file.
    m_protocol = new QComboBox(this);
    m_protocol->setObjectName(QStringLiteral("Cmb_Protocol"));
    m_protocol->addItems({QStringLiteral("FTP"), QStringLiteral("FTP over TLS (明示的)"), QStringLiteral("SFTP")});
    auto* protocolLabel = new QLabel(QStringLiteral("接続方式"), this);
    protocolLabel->setBuddy(m_protocol);
    fields->addWidget(protocolLabel, row, 0);
    fields->addWidget(m_protocol, row++, 1);
    m_keyFile = new QLineEdit(this);
    m_keyFile->setObjectName(QStringLiteral("txt_KeyFile"));
    m_keyFile->setPlaceholderText(QStringLiteral("空欄ならパスワードでログインします"));
    m_keyButton = new QPushButton(QStringLiteral("参照..."), this);
    m_keyButton->setObjectName(QStringLiteral("Btn_KeyFile"));
    m_keyButton->setAutoDefault(false);
    auto* keyLabel = new QLabel(QStringLiteral("秘密鍵ファイル"), this);
    keyLabel->setBuddy(m_keyFile);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_keyFile);
    keyRow->addWidget(m_keyButton);
    fields->addWidget(keyLabel, row, 0);
    fields->addLayout(keyRow, row++, 1);
    connect(m_protocol, &QComboBox::currentIndexChanged, this, &Frm_User::protocolChanged);
    connect(m_keyButton, &QPushButton::clicked, this, &Frm_User::chooseKeyFile);

    auto* listLabel = new QLabel(QStringLiteral("設定一覧"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List"));
    listLabel->setBuddy(m_list);

    auto makeButton = [this](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* addBtn = makeButton(QStringLiteral("追加"), QStringLiteral("Btn_0"));
    QPushButton* cancelBtn = makeButton(QStringLiteral("キャンセル"), QStringLiteral("Btn_1"));
    QPushButton* clearBtn = makeButton(QStringLiteral("クリア"), QStringLiteral("Btn_2"));
    QPushButton* newBtn = makeButton(QStringLiteral("新規設定"), QStringLiteral("Btn_Set_0"));
    QPushButton* deleteBtn = makeButton(QStringLiteral("設定削除"), QStringLiteral("Btn_Set_1"));

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addBtn);
    buttons->addWidget(cancelBtn);
    buttons->addWidget(clearBtn);
    left->addLayout(buttons);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(listLabel);
    right->addWidget(m_list);
    auto* setButtons = new QHBoxLayout;
    setButtons->addWidget(newBtn);
    setButtons->addWidget(deleteBtn);
    right->addLayout(setButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    connect(addBtn, &QPushButton::clicked, this, &Frm_User::add);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(clearBtn, &QPushButton::clicked, this, &Frm_User::clearFields);
    connect(newBtn, &QPushButton::clicked, this, &Frm_User::newProfile);
    connect(deleteBtn, &QPushButton::clicked, this, &Frm_User::deleteProfile);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { listClicked(m_list->row(item)); });

    fillFields();
    m_list->addItems(ProfileNames(m_files));
}

void Frm_User::fillFields()
{
    m_txt[0]->setText(m_profile.Name);
    m_txt[1]->setText(m_profile.Server);
    m_txt[2]->setText(m_profile.UserName);
    m_txt[3]->setText(m_profile.Password);
    m_protocol->setCurrentIndex(int(m_profile.Protocol));
    m_keyFile->setText(m_profile.KeyFile);
    protocolChanged(m_protocol->currentIndex());
}

void Frm_User::protocolChanged(int index)
{
    const bool sftp = protocolFromInt(index) == FtpProtocol::Sftp;
    m_keyFile->setEnabled(sftp);
    m_keyButton->setEnabled(sftp);
}

void Frm_User::chooseKeyFile()
{
    FileDialogRequest request;
    request.title = QStringLiteral("秘密鍵ファイルを選択");
    request.filter = QStringLiteral("すべてのファイル|*");
    request.initialPath = m_keyFile->text().isEmpty() ? QDir::homePath() + QStringLiteral("/.ssh/") : m_keyFile->text();
    const QString path = m_platform.files->run(request);
    if (!path.isEmpty())
        m_keyFile->setText(path);
}

void Frm_User::listClicked(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_profile.Name = m_list->item(row)->text();
    LoadProfile(m_files, m_profile);
    fillFields();
}

void Frm_User::add()
{
    if (m_txt[0]->text().isEmpty() || m_txt[1]->text().isEmpty()) {
        m_platform.messages->show(QStringLiteral("入力必須箇所が埋まっていません\r\n登録名とサーバ名は必須です"),
                                  windowTitle(), MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    ConnectionProfile p;
    p.Name = m_txt[0]->text();
    p.Server = m_txt[1]->text();
    p.UserName = m_txt[2]->text();
    p.Password = m_txt[3]->text();
    p.Protocol = protocolFromInt(m_protocol->currentIndex());
    p.KeyFile = p.Protocol == FtpProtocol::Sftp ? m_keyFile->text() : QString();
    if (!p.KeyFile.isEmpty() && !QFileInfo(p.KeyFile).isFile()) {
        m_platform.messages->show(QStringLiteral("秘密鍵ファイルが見つかりません\r\n") + p.KeyFile, windowTitle(),
                                  MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    {
        // The plain-FTP warning is shown once per profile, however often it is saved.
        ConnectionProfile stored;
        stored.Name = p.Name;
        LoadProfile(m_files, stored);
        p.PlainWarned = stored.PlainWarned;
    }
    if (!SaveProfile(m_files, p)) {
        // A name or value with a line break, or a folder that cannot be written.
        m_platform.messages->show(QStringLiteral("接続設定を保存出来ませんでした\r\n") + m_files.userIni, windowTitle(),
                                  MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_profile = p;
    accept();
}

void Frm_User::clearFields()
{
    for (int i = 1; i < 4; ++i)
        m_txt[i]->clear();
    m_keyFile->clear();
    m_txt[1]->setFocus();
}

void Frm_User::newProfile()
{
    m_txt[0]->setText(QStringLiteral("新しい接続"));
    for (int i = 1; i < 4; ++i)
        m_txt[i]->clear();
    m_txt[0]->setFocus();
}

void Frm_User::deleteProfile()
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_list->row(selected.first());
    if (!IniDelete(m_files.userIni, m_list->item(row)->text())) {
        m_platform.messages->show(QStringLiteral("接続設定を削除出来ませんでした\r\n") + m_files.userIni, windowTitle(),
                                  MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    delete m_list->takeItem(row);
    m_list->clearSelection();
    if (row > 0) {
        m_list->setCurrentRow(row - 1);
        listClicked(row - 1);
    }
}

}  // namespace tw
