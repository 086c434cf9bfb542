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
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace tw {

namespace {

// Shows the wait cursor for as long as it lives.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

bool isUsableLocalPath(const QString& path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && !path.contains(QChar(u'\0'));
}

}  // namespace

QString frmMainCaption()
{
    return QStringLiteral("FTPクライアントβ");
}

Frm_Main::Frm_Main(const FrmMainSetup& setup, QWidget* parent) : QMainWindow(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("Frm_Main"));
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

bool Frm_Main::ListLocal(const QString& folder)
{
    m_lv[Local]->clear();
    const QString dir = WithSeparator(folder, u'/');
    if (!isUsableLocalPath(dir) || !QFileInfo(dir).isDir())
        return false;
    WaitCursor wait;
    QList<ListItem> items;
    for (const DirEntry& e : LocalFileList(dir))
        items.append(MakeListItem(e, false));
    m_lv[Local]->addItems(items);
    return !items.isEmpty();
}

bool Frm_Main::ListRemote(const QString& folder)
{
    m_lv[Remote]->clear();
    if (!m_ftp)
        return false;
    WaitCursor wait;
    const QString dir = WithSeparator(folder, u'/');
    if (FtpCurDir(*m_ftp, dir).isEmpty()) {
        const FtpError error = m_ftp->lastError();
        if (error.kind != FtpErrorKind::Refused && error.kind != FtpErrorKind::None) {
            showError(QStringLiteral("一覧を取得出来ませんでした\r\n") + describeFtpError(error));
            return false;
        }
        // The folder cannot be entered: the box shows where the list is from,
        // so that nothing is sent to a folder the user did not see.
        const QStringList ancestors = PathAncestors(m_ftp->currentFolder(), u'/');
        m_dir[Remote]->clear();
        m_dir[Remote]->addItems(ancestors);
        m_dir[Remote]->setCurrentIndex(0);
    }
    QList<DirEntry> entries;
    const int n = FtpFileList(*m_ftp, QStringLiteral("*.*"), entries);
    if (n == 0 && m_ftp->lastError().kind != FtpErrorKind::None) {
        showError(QStringLiteral("一覧を取得出来ませんでした\r\n") + describeFtpError(m_ftp->lastError()));
        return false;
    }
    QList<ListItem> items;
    items.reserve(entries.size());
    for (const DirEntry& e : std::as_const(entries))
        items.append(MakeListItem(e, true));
    m_lv[Remote]->addItems(items);
    return n > 0;
}

bool Frm_Main::SetLocalPath(const QString& path)
{
    if (!isUsableLocalPath(path))
        return false;
    m_dir[Local]->clear();
    m_dir[Local]->addItems(PathAncestors(path, u'/'));
    m_dir[Local]->setCurrentIndex(0);
    ListLocal(path);
    m_trs->setCurrentIndex(int(m_profile.TransMode));
    moveDriveTo(path);
    return true;
}

bool Frm_Main::SetRemotePath(const QString& path)
{
    m_dir[Remote]->clear();
    m_dir[Remote]->addItems(PathAncestors(path, u'/'));
    m_dir[Remote]->setCurrentIndex(0);
    ListRemote(path);
    return true;
}

int Frm_Main::FindListItem(int pane, const QString& name) const
{
    return m_lv[pane]->findItem(name);
}

bool Frm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (int p = 0; p < 2; ++p) {
            if (watched == m_dir[p]->lineEdit() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                pathEntered(p);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frm_Main::pathEntered(int pane)
{
    const QString text = m_dir[pane]->lineEdit()->text();
    if (pane == Remote) {
        if (isConnected() && !busyRefused()) {
            // A relative name is taken in the folder shown.
            SetRemotePath(text.startsWith(u'/') ? text : folderOf(Remote) + text);
        }
        return;
    }
    if (!SetLocalPath(text)) {
        m_dir[Local]->setCurrentIndex(0);
        m_dir[Local]->setEditText(m_dir[Local]->itemText(0));
        ListLocal(m_dir[Local]->itemText(0));
    }
}

void Frm_Main::goUp(int pane)
{
    if (pane == Remote && busyRefused())
        return;
    m_up[pane]->setEnabled(false);
    const int index = m_dir[pane]->currentIndex();
    if (index >= 0 && index + 1 < m_dir[pane]->count()) {
        m_dir[pane]->setCurrentIndex(index + 1);
        if (pane == Remote)
            ListRemote(m_dir[pane]->currentText());
        else
            SetLocalPath(m_dir[pane]->currentText());
    }
    m_up[pane]->setEnabled(true);
}

void Frm_Main::openFolderItem(int pane, int row)
{
    const ListItem item = m_lv[pane]->item(row);
    if (item.icon != ListItem::FolderIcon || (pane == Remote && busyRefused()))
        return;
    m_dir[pane]->setEditText(folderOf(pane) + item.name + u'/');
    pathEntered(pane);
}

void Frm_Main::moveDriveTo(const QString& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drv->count(); ++i) {
        const QString root = WithSeparator(m_drv->itemText(i), u'/');
        if (WithSeparator(path, u'/').startsWith(root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0)
        m_drv->setCurrentIndex(best);
}

void Frm_Main::driveChosen(int index)
{
    if (!SetLocalPath(WithSeparator(m_drv->itemText(index), u'/')))
        moveDriveTo(shownFolder(Local));
}

void Frm_Main::refresh()
{
    if (m_activePane == Remote) {
        if (isConnected() && !busyRefused())
            ListRemote(shownFolder(Remote));
    } else {
        ListLocal(shownFolder(Local));
    }
}

void Frm_Main::setView(int mode)
{
    if (mode < 0 || mode > 3)
        mode = 0;
    for (PaneList* lv : m_lv)
        lv->setViewMode(PaneList::ViewMode(mode));
    for (int i = 0; i < 4; ++i)
        m_viewActs[i]->setChecked(i == mode);
    if (m_view->currentIndex() != mode)
        m_view->setCurrentIndex(mode);
}

void Frm_Main::setActivePane(int pane)
{
    m_activePane = pane;
    updateEditButtons(pane);
}

void Frm_Main::keyInList(int pane, int key)
{
    setActivePane(pane);
    if (key == Qt::Key_F2)
        renameSelected();
    else if (key == Qt::Key_F5)
        refresh();
    else if (key == Qt::Key_Delete)
        deleteSelected();
}

void Frm_Main::updateEditButtons(int pane)
{
    const bool on = pane == Local || isConnected();
    for (QPushButton* b : {m_reload, m_delFile, m_changeName, m_makeFolder})
        b->setEnabled(on);
    m_permision->setEnabled(pane == Remote && isConnected());
}

void Frm_Main::rightClickInList(int pane, const QPoint& at)
{
    setActivePane(pane);
    m_editMenu->popup(at);
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
    if (!m_busy)
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
    if (isConnected() && !m_busy)
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
    if (m_busy) {
        // The running transfer is stopped first; the window stays.
        if (m_ftp)
            m_ftp->cancel();
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
    FtpDisconnect(m_ftp);
    event->accept();
}

}  // namespace tw
