#include "ftp/ui/frm_main.h"

#include "ftp/ui/frm_detail.h"
#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/frm_trust.h"
#include "ftp/ui/frm_user.h"
#include "ftp/session/ftpoperations.h"
#include "ftp/client/mdl_main.h"
#include "ftp/ui/panelist.h"
#include "common/gui/icons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QToolButton>

namespace tw {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

QString frmMainCaption()
{
    return QStringLiteral("FTPクライアントβ");
}

Frm_Main::Frm_Main(const FrmMainSetup& setup, QWidget* parent)
    : QMainWindow(parent),
      m_setup(setup),
      m_runner(new JobRunner(this)),
      m_localPane(new LocalPaneController(*m_runner, this)),
      m_serverPane(new ServerPaneController(*m_runner, this)),
      m_paneCtl{m_localPane, m_serverPane}
{
    setObjectName(QStringLiteral("Frm_Main"));
    connect(m_runner, &JobRunner::started, this, &Frm_Main::jobStarted);
    connect(m_runner, &JobRunner::finished, this, &Frm_Main::jobFinished);
    for (int p = 0; p < 2; ++p) {
        // What one pane sends arrives in the other.
        connect(m_paneCtl[p], &PaneController::entryArrived, this,
                [this, p](const QString& folder, const DirEntry& e) { entryArrived(1 - p, folder, e); });
        connect(m_paneCtl[p], &PaneController::transferFinished, this, &Frm_Main::transferFinished);
        connect(
            m_paneCtl[p], &PaneController::deleteFinished, this,
            [this, p](const QList<PaneEntry>& items, const QStringList& failed) { deleteFinished(p, items, failed); });
    }
    connect(m_localPane, &LocalPaneController::syncPlanned, this, &Frm_Main::syncPlanned);
    connect(m_localPane, &LocalPaneController::syncFinished, this, &Frm_Main::syncFinished);
    setWindowTitle(frmMainCaption());
    m_connectImg = toolIcon(QStringLiteral("tw-connect"));
    m_disconnectImg = toolIcon(QStringLiteral("tw-disconnect"));
    buildControls();
    buildMenus();
    resize(980, 620);

    // Start-up: settings, the profile they name, its local folder, the
    // profile box, disconnected.
    m_settings = LoadSettings(m_setup.files);
    setTextExtensions(m_settings.Extensions);
    m_profile.Name = m_settings.User;
    LoadProfile(m_setup.files, m_profile);
    if (m_profile.LastPathLocal.isEmpty())
        m_profile.LastPathLocal = m_setup.startFolder;
    if (!SetLocalPath(m_profile.LastPathLocal))
        SetLocalPath(QDir::homePath());
    refillProfiles();
    ShowDisconnected();
}

Frm_Main::~Frm_Main() = default;

QString Frm_Main::shownFolder(int pane) const
{
    const int i = m_dir[pane]->currentIndex();
    return i >= 0 ? m_dir[pane]->itemText(i) : m_dir[pane]->currentText();
}

QString Frm_Main::folderOf(int pane) const
{
    return WithSeparator(shownFolder(pane), u'/');
}

// ---- profiles ---------------------------------------------------------------

void Frm_Main::SaveViewState()
{
    m_profile.TransMode = transferTypeFromInt(m_trs->currentIndex());
    m_profile.LastPathLocal = shownFolder(Local);
}

void Frm_Main::profileChosen(QString name)
{
    SaveViewState();
    SaveProfile(m_setup.files, m_profile);
    m_profile = ConnectionProfile();
    m_profile.Name = name;
    LoadProfile(m_setup.files, m_profile);
    if (m_profile.LastPathLocal.isEmpty())
        m_profile.LastPathLocal = m_setup.startFolder;
    SetLocalPath(m_profile.LastPathLocal);
}

void Frm_Main::refillProfiles()
{
    m_cmb->clear();
    m_cmb->addItems(ProfileNames(m_setup.files));
    m_cmb->setCurrentIndex(-1);
    if (!m_profile.Name.isEmpty()) {
        const int i = m_cmb->findText(m_profile.Name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i >= 0) {
            m_cmb->setCurrentIndex(i);
            profileChosen(m_profile.Name);
        }
    }
    m_trs->setCurrentIndex(int(m_profile.TransMode));
}

void Frm_Main::openProfiles()
{
    if (isConnected() || busyRefused())
        return;
    // The dialog may make another profile current; this one keeps its view.
    SaveViewState();
    SaveProfile(m_setup.files, m_profile);
    Frm_User dialog(m_profile, m_setup.files, m_setup.platform, this);
    emit dialogOpened(&dialog);
    dialog.exec();
    // Show the current profile's own folder and mode before the profile box
    // is refilled, whose selection saves the view into that profile.
    if (m_profile.LastPathLocal.isEmpty())
        m_profile.LastPathLocal = m_setup.startFolder;
    SetLocalPath(m_profile.LastPathLocal);
    refillProfiles();
}

// ---- connection -------------------------------------------------------------

void Frm_Main::toggleConnection()
{
    if (busyRefused())
        return;
    if (isConnected()) {
        if (!FtpDisconnect(m_ftp))
            return;
        m_runner->setConnection(nullptr);
        m_profile.LastPathHost = shownFolder(Remote);
        ShowDisconnected();
        return;
    }
    if (m_profile.Protocol == FtpProtocol::Plain && !m_profile.Password.isEmpty() && !m_profile.PlainWarned) {
        // Said once per profile: a plain login shows the password to the network.
        m_profile.PlainWarned = true;
        if (m_setup.platform.messages->show(
                QStringLiteral(
                    "この接続は暗号化されない FTP です。パスワードとファイルがそのままネットワークに流れます。\r\n"
                    "接続方式を「FTP over TLS (明示的)」に切り替えて接続しますか？\r\n"
                    "（「いいえ」でこのまま FTP で接続します。この確認は次回から表示しません）"),
                frmMainCaption(), MsgIcon::Warning, MsgButtons::YesNo)
            == MsgResult::Yes)
            m_profile.Protocol = FtpProtocol::Tls;
        SaveViewState();
        if (!SaveProfile(m_setup.files, m_profile))
            showError(QStringLiteral("接続設定を保存出来ませんでした\r\n") + m_setup.files.userIni);
    }
    FtpSecurity security;
    security.protocol = m_profile.Protocol;
    security.caFile = m_setup.caFile;
    security.trustedCertificates = m_setup.files.trustedCertificates();
    security.knownHosts = m_setup.files.knownHosts();
    security.privateKey = m_profile.Protocol == FtpProtocol::Sftp ? m_profile.KeyFile : QString();
    security.ask = [this](const PeerIdentity& peer) {
        QApplication::restoreOverrideCursor();
        Frm_Trust dialog(peer, this);
        emit dialogOpened(&dialog);
        dialog.exec();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return dialog.answer();
    };
    m_con->setEnabled(false);
    FtpError error;
    {
        WaitCursor wait;
        m_ftp = FtpConnect(m_profile.Server, m_profile.UserName, m_profile.Password, m_setup.options, &error, security);
    }
    m_con->setEnabled(true);
    if (!m_ftp && error.kind == FtpErrorKind::Cancelled)
        return;  // the user chose not to trust the server
    if (!m_ftp) {
        showError(m_profile.Server + QStringLiteral(" へ接続出来ませんでした")
                  + (error.kind == FtpErrorKind::None ? QString() : QStringLiteral("\r\n") + describeFtpError(error)));
        return;
    }
    m_runner->setConnection(m_ftp.get());
    ShowConnected();
    // An SFTP login starts in the user's own folder, which is not "/".
    if (m_profile.LastPathHost.isEmpty())
        m_profile.LastPathHost = m_profile.Protocol == FtpProtocol::Sftp ? m_ftp->currentFolder() : QStringLiteral("/");
    SetRemotePath(m_profile.LastPathHost);
}

void Frm_Main::ShowConnected()
{
    m_con->setIcon(m_disconnectImg);
    m_con->setText(QStringLiteral("切断"));
    m_con->setToolTip(QStringLiteral("切断"));
    m_user->setEnabled(false);
    m_userAct->setEnabled(false);
    m_connectAct->setEnabled(false);
    m_disconnectAct->setEnabled(true);
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(true);
    m_syncBtn->setEnabled(true);
    m_dir[Remote]->setEnabled(true);
    m_up[Remote]->setEnabled(true);
    updateEditButtons(m_activePane);
}

void Frm_Main::ShowDisconnected()
{
    m_con->setIcon(m_connectImg);
    m_con->setText(QStringLiteral("接続"));
    m_con->setToolTip(QStringLiteral("接続"));
    m_user->setEnabled(true);
    m_userAct->setEnabled(true);
    m_connectAct->setEnabled(true);
    m_disconnectAct->setEnabled(false);
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(false);
    m_syncBtn->setEnabled(false);
    m_lv[Remote]->clear();
    m_dir[Remote]->clear();
    m_dir[Remote]->setEnabled(false);
    m_up[Remote]->setEnabled(false);
    updateEditButtons(m_activePane);
}

void Frm_Main::showError(const QString& text)
{
    m_setup.platform.messages->show(text, frmMainCaption(), MsgIcon::Critical, MsgButtons::Ok);
}

bool Frm_Main::busyRefused()
{
    if (!isBusy())
        return false;
    m_setup.platform.messages->show(QStringLiteral("転送中のため、サーバを使う操作は出来ません\r\n"
                                                   "転送が終わるか中止してから、もう一度実行してください"),
                                    frmMainCaption(), MsgIcon::Information, MsgButtons::Ok);
    return true;
}

void Frm_Main::openDetails()
{
    Frm_Detail dialog({TextExtensions(), m_settings.ListCache}, m_setup.platform, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const DetailChoices chosen = dialog.choices();
    setTextExtensions(chosen.extensions);
    m_settings.ListCache = chosen.listCache;
    m_settings.User = m_profile.Name;
    if (!SaveExtensionList(m_setup.files) || !SaveSettings(m_setup.files, m_settings))
        showError(QStringLiteral("設定を保存出来ませんでした\r\n") + m_setup.files.ftpIni);
    // The icons tell text files from others.
    ListLocal(shownFolder(Local));
    if (isConnected() && !isBusy())
        ListRemote(shownFolder(Remote));
}

// ---- long operations --------------------------------------------------------

void Frm_Main::saveAll()
{
    SaveViewState();
    QStringList failed;
    if (!SaveExtensionList(m_setup.files))
        failed.append(m_setup.files.ftpIni);
    if (!m_profile.Name.isEmpty() && !SaveProfile(m_setup.files, m_profile))
        failed.append(m_setup.files.userIni);
    m_settings.User = m_profile.Name;
    if (!SaveSettings(m_setup.files, m_settings) && !failed.contains(m_setup.files.ftpIni))
        failed.append(m_setup.files.ftpIni);
    if (!failed.isEmpty())
        showError(QStringLiteral("設定を保存出来ませんでした\r\n") + failed.join(QStringLiteral("\r\n")));
}

void Frm_Main::closeEvent(QCloseEvent* event)
{
    if (isBusy()) {
        // The running transfer is stopped first; the window stays.
        m_runner->cancel();
        event->ignore();
        return;
    }
    if (isConnected()
        && m_setup.platform.messages->show(m_profile.Server + QStringLiteral(" へ接続中ですが、切断しますか？"),
                                           frmMainCaption(), MsgIcon::Question, MsgButtons::YesNo)
               != MsgResult::Yes) {
        event->ignore();
        return;
    }
    if (isConnected())
        m_profile.LastPathHost = shownFolder(Remote);
    saveAll();
    m_runner->setConnection(nullptr);
    FtpDisconnect(m_ftp);
    event->accept();
}

}  // namespace tw
