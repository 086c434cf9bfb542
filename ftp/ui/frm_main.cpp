#include "ftp/ui/frm_main.h"

#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/frm_user.h"
#include "ftp/session/ftpoperations.h"
#include "ftp/client/mdl_main.h"
#include "ftp/ui/panelist.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace tw {

namespace {

const QString kCaption = QStringLiteral("FTPクライアントβ");

QIcon plugIcon(const QColor& colour)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 2));
    p.setBrush(colour);
    p.drawEllipse(QRectF(5, 5, 22, 22));
    return QIcon(pm);
}

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

Frm_Main::Frm_Main(const FrmMainSetup& setup, QWidget* parent) : QMainWindow(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("Frm_Main"));
    setWindowTitle(kCaption);
    m_connectImg = plugIcon(QColor(0x3c, 0xb3, 0x71));
    m_disconnectImg = plugIcon(QColor(0xd9, 0x4a, 0x3d));
    buildControls();
    buildMenus();
    resize(980, 620);

    // Start-up: settings, the profile they name, its local folder, the
    // profile box, disconnected.
    m_settings = LoadSettings(m_setup.files);
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

void Frm_Main::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    // Connection, profile, mode and view.
    auto* top = new QHBoxLayout;
    m_con = new QToolButton(central);
    m_con->setObjectName(QStringLiteral("Btn_Con"));
    m_con->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_con->setIconSize(QSize(24, 24));
    connect(m_con, &QToolButton::clicked, this, &Frm_Main::toggleConnection);
    m_user = new QPushButton(QStringLiteral("接続設定"), central);
    m_user->setObjectName(QStringLiteral("Btn_User"));
    connect(m_user, &QPushButton::clicked, this, &Frm_Main::openProfiles);
    auto labelled = [&](const QString& caption, QComboBox* box) {
        auto* label = new QLabel(caption, central);
        label->setBuddy(box);
        top->addWidget(label);
        top->addWidget(box);
    };
    m_cmb = new QComboBox(central);
    m_cmb->setObjectName(QStringLiteral("cmb"));
    m_cmb->setMinimumWidth(150);
    connect(m_cmb, &QComboBox::activated, this, [this](int i) { profileChosen(m_cmb->itemText(i)); });
    m_trs = new QComboBox(central);
    m_trs->setObjectName(QStringLiteral("Cmb_Trs"));
    m_trs->addItems({QStringLiteral("自動"), QStringLiteral("アスキー"), QStringLiteral("バイナリ")});
    connect(m_trs, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            m_profile.TransMode = transferTypeFromInt(i);
    });
    m_view = new QComboBox(central);
    m_view->setObjectName(QStringLiteral("Combo1"));
    m_view->addItems({QStringLiteral("大きいアイコン"), QStringLiteral("小さいアイコン"), QStringLiteral("一覧表示"),
                      QStringLiteral("詳細表示")});
    connect(m_view, &QComboBox::currentIndexChanged, this, &Frm_Main::setView);
    top->addWidget(m_con);
    top->addWidget(m_user);
    top->addSpacing(12);
    labelled(QStringLiteral("設定名"), m_cmb);
    top->addSpacing(12);
    labelled(QStringLiteral("転送モード"), m_trs);
    top->addSpacing(12);
    labelled(QStringLiteral("表示"), m_view);
    top->addStretch();
    layout->addLayout(top);

    // The two panes with the transfer buttons between them.
    auto* panes = new QHBoxLayout;
    for (int p = 0; p < 2; ++p) {
        auto* column = new QVBoxLayout;
        if (p == Local) {
            m_drv = new QComboBox(central);
            m_drv->setObjectName(QStringLiteral("Drv"));
            m_drv->setAccessibleName(QStringLiteral("ドライブ"));
            for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
                if (v.isValid() && v.isReady())
                    m_drv->addItem(v.rootPath());
            }
            connect(m_drv, &QComboBox::activated, this, &Frm_Main::driveChosen);
            column->addWidget(m_drv);
        } else {
            auto* server = new QLabel(QStringLiteral("サーバ"), central);
            server->setMinimumHeight(m_drv->sizeHint().height());
            column->addWidget(server);
        }
        auto* pathRow = new QHBoxLayout;
        m_dir[p] = new QComboBox(central);
        m_dir[p]->setObjectName(QStringLiteral("Cmb_Dir_%1").arg(p));
        m_dir[p]->setEditable(true);
        m_dir[p]->setInsertPolicy(QComboBox::NoInsert);
        m_dir[p]->setAccessibleName(p == Local ? QStringLiteral("ローカルのフォルダ") : QStringLiteral("サーバのフォルダ"));
        m_dir[p]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(m_dir[p], &QComboBox::activated, this, [this, p](int i) {
            if (p == Local)
                ListLocal(m_dir[p]->itemText(i));
            else
                ListRemote(m_dir[p]->itemText(i));
        });
        connect(m_dir[p]->lineEdit(), &QLineEdit::returnPressed, this, [this, p] { pathEntered(p); });
        m_up[p] = new QPushButton(QStringLiteral("上へ"), central);
        m_up[p]->setObjectName(QStringLiteral("Btn_%1").arg(p));
        connect(m_up[p], &QPushButton::clicked, this, [this, p] { goUp(p); });
        pathRow->addWidget(m_dir[p]);
        pathRow->addWidget(m_up[p]);
        column->addLayout(pathRow);
        m_lv[p] = new PaneList(p == Remote, central);
        m_lv[p]->setObjectName(QStringLiteral("lv_%1").arg(p));
        m_lv[p]->setAccessibleName(p == Local ? QStringLiteral("ローカルのファイル") : QStringLiteral("サーバのファイル"));
        connect(m_lv[p], &PaneList::focused, this, [this, p] { setActivePane(p); });
        connect(m_lv[p], &PaneList::folderOpened, this, [this, p](int row) { openFolderItem(p, row); });
        connect(m_lv[p], &PaneList::keyReleased, this, [this, p](int key) { keyInList(p, key); });
        connect(m_lv[p], &PaneList::rightReleased, this, [this, p](const QPoint& at) { rightClickInList(p, at); });
        connect(m_lv[p], &PaneList::renameRequested, this,
                [this, p](int row, const QString& name) { renameRequested(p, row, name); });
        column->addWidget(m_lv[p], 1);
        panes->addLayout(column, 1);
        if (p == Local) {
            auto* middle = new QVBoxLayout;
            middle->addStretch();
            m_trsBtn[0] = new QPushButton(QStringLiteral("アップロード"), central);
            m_trsBtn[1] = new QPushButton(QStringLiteral("ダウンロード"), central);
            for (int i = 0; i < 2; ++i) {
                m_trsBtn[i]->setObjectName(QStringLiteral("Btn_Trs_%1").arg(i));
                middle->addWidget(m_trsBtn[i]);
                connect(m_trsBtn[i], &QPushButton::clicked, this, [this, i] { transfer(i == 0); });
            }
            m_trsBtn[0]->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
            m_trsBtn[1]->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
            middle->addStretch();
            panes->addLayout(middle);
        }
    }
    layout->addLayout(panes, 1);

    // The file commands and the notes.
    auto* bottom = new QHBoxLayout;
    m_edit = new QGroupBox(QStringLiteral("編集"), central);
    m_edit->setObjectName(QStringLiteral("m_Edit"));
    auto* editRow = new QHBoxLayout(m_edit);
    auto editButton = [&](const QString& caption, const QString& name, void (Frm_Main::*command)()) {
        auto* b = new QPushButton(caption, m_edit);
        b->setObjectName(name);
        editRow->addWidget(b);
        connect(b, &QPushButton::clicked, this, command);
        return b;
    };
    m_reload = editButton(QStringLiteral("最新の情報に更新(&N)"), QStringLiteral("m_ReLoad"), &Frm_Main::refresh);
    m_delFile = editButton(QStringLiteral("ファイルの削除(&D)"), QStringLiteral("m_DelFile"), &Frm_Main::deleteSelected);
    m_changeName =
        editButton(QStringLiteral("ファイル名の変更(&C)"), QStringLiteral("m_ChangeName"), &Frm_Main::renameSelected);
    m_permision = editButton(QStringLiteral("パーミッションの変更(&P)"), QStringLiteral("m_Permision"),
                             &Frm_Main::changePermissions);
    m_makeFolder =
        editButton(QStringLiteral("新しいフォルダの作成(&D)"), QStringLiteral("m_MakeFolder"), &Frm_Main::makeFolder);
    bottom->addWidget(m_edit);
    auto* notes = new QVBoxLayout;
    notes->addWidget(new QLabel(QStringLiteral("まだバグが多数あります。"), central));
    notes->addWidget(new QLabel(QStringLiteral("バグ報告をよろしくお願いします。"), central));
    bottom->addLayout(notes);
    bottom->addStretch();
    layout->addLayout(bottom);
}

void Frm_Main::buildMenus()
{
    auto action = [this](QMenu* menu, const QString& caption, const QString& name, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("m_File"));
    m_connectAct = action(file, QStringLiteral("接続(&C)"), QStringLiteral("m_Connect"), [this] {
        if (!isConnected())
            toggleConnection();
    });
    m_disconnectAct = action(file, QStringLiteral("切断(&D)"), QStringLiteral("m_Disconnect"), [this] {
        if (isConnected())
            toggleConnection();
    });
    file->addSeparator();
    action(file, QStringLiteral("終了(&X)"), QStringLiteral("m_Close"), [this] { close(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("m_View"));
    const QString viewCaptions[4] = {QStringLiteral("大きいアイコン(&I)"), QStringLiteral("小さいアイコン(&S)"),
                                     QStringLiteral("一覧表示(&L)"), QStringLiteral("詳細表示(&D)")};
    for (int i = 0; i < 4; ++i) {
        m_viewActs[i] = action(view, viewCaptions[i], QStringLiteral("m_ListView_%1").arg(i),
                               [this, i] { m_view->setCurrentIndex(i); });
        m_viewActs[i]->setCheckable(true);
    }
    m_viewActs[0]->setChecked(true);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("設定(&S)"));
    settings->setObjectName(QStringLiteral("m_Setting"));
    m_userAct = action(settings, QStringLiteral("ユーザ設定(&U)"), QStringLiteral("m_User"), &Frm_Main::openProfiles);
    action(settings, QStringLiteral("バージョン情報(&A)"), QStringLiteral("m_Version"), [this] {
        m_setup.platform.messages->show(kCaption + QStringLiteral("\r\nTagwright ") +
                                            QCoreApplication::applicationVersion(),
                                        QStringLiteral("バージョン情報"), MsgIcon::Information, MsgButtons::Ok);
    });

    m_editMenu = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    m_editMenu->setObjectName(QStringLiteral("Mm_Edit"));
    QAction* mk = action(m_editMenu, QStringLiteral("新しいフォルダの作成(&D)"), QStringLiteral("Mm_MakeFolder"),
                         &Frm_Main::makeFolder);
    m_editMenu->addSeparator();
    QAction* pm = action(m_editMenu, QStringLiteral("パーミッションの変更(&P)"), QStringLiteral("Mm_Permision"),
                         &Frm_Main::changePermissions);
    QAction* cn = action(m_editMenu, QStringLiteral("ファイル名の変更(&C)"), QStringLiteral("Mm_ChangeName"),
                         &Frm_Main::renameSelected);
    QAction* df =
        action(m_editMenu, QStringLiteral("ファイルの削除(&D)"), QStringLiteral("Mm_DelFile"), &Frm_Main::deleteSelected);
    m_editMenu->addSeparator();
    QAction* rl = action(m_editMenu, QStringLiteral("最新の情報に更新(&N)"), QStringLiteral("Mm_ReLoad"), &Frm_Main::refresh);
    // The menu's items follow the state of their buttons.
    connect(m_editMenu, &QMenu::aboutToShow, this, [=, this] {
        mk->setEnabled(m_makeFolder->isEnabled());
        pm->setEnabled(m_permision->isEnabled());
        cn->setEnabled(m_changeName->isEnabled());
        df->setEnabled(m_delFile->isEnabled());
        rl->setEnabled(m_reload->isEnabled());
    });
}

// ---- listing and navigation ------------------------------------------------

// The folder the list shows: the path box's selected entry, not text typed
// into it without Enter, so nothing goes to a folder the user has not seen.
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

void Frm_Main::pathEntered(int pane)
{
    const QString text = m_dir[pane]->currentText();
    if (pane == Remote) {
        if (isConnected()) {
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
    if (item.icon != ListItem::FolderIcon)
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
    if (m_busy)
        return;
    if (m_activePane == Remote) {
        if (isConnected())
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
    if (isConnected() || m_busy)
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
    if (m_busy)
        return;
    if (isConnected()) {
        if (!FtpDisconnect(m_ftp))
            return;
        m_profile.LastPathHost = shownFolder(Remote);
        ShowDisconnected();
        return;
    }
    m_con->setEnabled(false);
    FtpError error;
    {
        WaitCursor wait;
        m_ftp = FtpConnect(m_profile.Server, m_profile.UserName, m_profile.Password, m_setup.options, &error);
    }
    m_con->setEnabled(true);
    if (!m_ftp) {
        showError(m_profile.Server + QStringLiteral(" へ接続出来ませんでした") +
                  (error.kind == FtpErrorKind::None ? QString() : QStringLiteral("\r\n") + describeFtpError(error)));
        return;
    }
    ShowConnected();
    if (m_profile.LastPathHost.isEmpty())
        m_profile.LastPathHost = QStringLiteral("/");
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
    m_lv[Remote]->clear();
    m_dir[Remote]->clear();
    m_dir[Remote]->setEnabled(false);
    m_up[Remote]->setEnabled(false);
    updateEditButtons(m_activePane);
}

void Frm_Main::showError(const QString& text)
{
    m_setup.platform.messages->show(text, kCaption, MsgIcon::Critical, MsgButtons::Ok);
}

// ---- long operations --------------------------------------------------------

void Frm_Main::runWithProgress(const std::function<void(Frm_State&)>& work)
{
    m_busy = true;
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    Frm_State state(this);
    state.setAttribute(Qt::WA_DeleteOnClose, false);
    if (m_ftp) {
        m_ftp->clearCancel();
        m_ftp->setProgressListener(&state);
        state.setOnCancel([this] {
            if (m_ftp)
                m_ftp->cancel();
        });
    } else {
        state.stopButton()->setEnabled(false);
    }
    state.adjustSize();
    state.move(geometry().center() - state.rect().center());
    state.show();
    state.pumpEvents();
    work(state);
    if (m_ftp) {
        m_ftp->setProgressListener(nullptr);
        m_ftp->clearCancel();
    }
    state.finish();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    m_busy = false;
}

QList<PaneEntry> Frm_Main::selectedEntries(int pane) const
{
    QList<PaneEntry> out;
    for (int row : m_lv[pane]->selectedRows()) {
        const ListItem item = m_lv[pane]->item(row);
        out.append({item.name, item.icon == ListItem::FolderIcon, item.folder ? -1 : item.size});
    }
    return out;
}

void Frm_Main::transfer(bool upload)
{
    if (!m_ftp || m_busy)
        return;
    const int source = upload ? Local : Remote;
    const int destination = upload ? Remote : Local;
    const QList<PaneEntry> items = selectedEntries(source);
    const QString from = folderOf(source);
    const QString to = folderOf(destination);
    const TransferType type = m_profile.TransMode;
    TransferOutcome outcome;
    runWithProgress([&](Frm_State&) {
        for (QPushButton* b : m_trsBtn)
            b->setEnabled(false);
        std::function<void(const DirEntry&)> patch;
        if (m_settings.ListCache) {
            patch = [this, destination](const DirEntry& found) {
                const ListItem fresh = MakeListItem(found, destination == Remote);
                const int row = FindListItem(destination, found.name);
                if (row == 0) {
                    m_lv[destination]->addItem(fresh);
                    return;
                }
                ListItem item = m_lv[destination]->item(row);
                item.sizeText = fresh.sizeText;
                item.size = fresh.size;
                item.timeText = fresh.timeText;
                item.lastWrite = fresh.lastWrite;
                m_lv[destination]->setItem(row, item);
            };
        }
        outcome = RunTransfers(*m_ftp, upload ? TransferDirection::Upload : TransferDirection::Download, from, to,
                               items, type, patch);
    });
    if (!outcome.ok) {
        const QString reason = describeFtpError(outcome.error);
        showError((upload ? QStringLiteral("ファイルの送信に失敗しました") : QStringLiteral("ファイルの受信に失敗しました")) +
                  QStringLiteral("\r\n") + outcome.failedName +
                  (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
    }
    if (!m_settings.ListCache) {
        if (upload)
            ListRemote(shownFolder(Remote));
        else
            ListLocal(shownFolder(Local));
    }
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(isConnected());
}

void Frm_Main::deleteSelected()
{
    if (m_busy)
        return;
    const int pane = m_activePane;
    if (pane == Remote && !m_ftp)
        return;
    if (m_setup.platform.messages->show(QStringLiteral("選択したファイルを全て削除しますが\r\nよろしいですか？"),
                                        kCaption, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const QList<PaneEntry> items = selectedEntries(pane);
    const QString folder = folderOf(pane);
    QStringList failed;
    runWithProgress([&](Frm_State& state) {
        if (pane == Local)
            state.setLabel(0, QStringLiteral("削除中です..."));
        failed = DeleteEntries(pane == Remote ? m_ftp.get() : nullptr, folder, items);
    });
    if (m_settings.ListCache) {
        // What could not be deleted stays in the list.
        for (const PaneEntry& e : items) {
            if (!failed.contains(e.name)) {
                if (const int row = FindListItem(pane, e.name))
                    m_lv[pane]->removeItem(row);
            }
        }
    } else if (pane == Remote) {
        ListRemote(shownFolder(Remote));
    } else {
        ListLocal(shownFolder(Local));
    }
    if (!failed.isEmpty())
        showError(QStringLiteral("削除出来なかったファイルがあります\r\n") + failed.join(QStringLiteral("\r\n")));
}

void Frm_Main::makeFolder()
{
    if (m_busy)
        return;
    const int pane = m_activePane;
    if (pane == Remote && !m_ftp)
        return;
    const QString name = NewFolderName(m_lv[pane]->names(), pane == Remote);
    MakeFolder(pane == Remote ? m_ftp.get() : nullptr, folderOf(pane), name);
    if (pane == Remote)
        ListRemote(shownFolder(Remote));
    else
        ListLocal(shownFolder(Local));
}

void Frm_Main::renameSelected()
{
    if (m_busy || (m_activePane == Remote && !m_ftp))
        return;
    m_lv[m_activePane]->editSelected();
}

void Frm_Main::renameRequested(int pane, int row, const QString& newName)
{
    if (m_busy || (pane == Remote && !m_ftp))
        return;
    ListItem item = m_lv[pane]->item(row);
    if (!RenameEntry(pane == Remote ? m_ftp.get() : nullptr, folderOf(pane), item.name, newName)) {
        showError(QStringLiteral("ファイル名が重複しているか、有効ではありません\r\n名前を変更出来ません"));
        return;
    }
    DirEntry e;
    e.name = newName;
    e.folder = item.folder;
    e.size = item.size;
    e.lastWrite = item.lastWrite;
    ListItem renamed = MakeListItem(e, pane == Remote);
    renamed.accessText = item.accessText;
    m_lv[pane]->setItem(row, renamed);
}

void Frm_Main::changePermissions()
{
    if (m_busy || !m_ftp)
        return;
    const QList<int> rows = m_lv[Remote]->selectedRows();
    if (rows.isEmpty())
        return;
    const ListItem item = m_lv[Remote]->item(rows.first());
    Frm_Pms dialog(item.name, item.accessText, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.strFilename().isEmpty())
        return;
    const QString command = dialog.digits().chmodCommand(dialog.strFilename());
    if (!FtpSendCommand(*m_ftp, command)) {
        showError(QStringLiteral("パーミッションを変更出来ませんでした\r\n") + describeFtpError(m_ftp->lastError()));
        return;
    }
    if (m_settings.ListCache) {
        if (const int row = FindListItem(Remote, item.name)) {
            ListItem changed = m_lv[Remote]->item(row);
            changed.accessText = dialog.digits().text();
            m_lv[Remote]->setItem(row, changed);
        }
    } else {
        ListRemote(shownFolder(Remote));
    }
}

// ---- exit -------------------------------------------------------------------

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
    if (isConnected() &&
        m_setup.platform.messages->show(m_profile.Server + QStringLiteral(" へ接続中ですが、切断しますか？"), kCaption,
                                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
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
