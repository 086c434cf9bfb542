// The main window's controls and menus, built once by the constructor.

#include "ftp/ui/frm_main.h"

#include "ftp/ui/panelist.h"
#include "common/gui/icons.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace tw {

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
        m_dir[p]->setAccessibleName(p == Local ? QStringLiteral("ローカルのフォルダ")
                                               : QStringLiteral("サーバのフォルダ"));
        m_dir[p]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(m_dir[p], &QComboBox::activated, this, [this, p](int i) {
            if (p == Local)
                ListLocal(m_dir[p]->itemText(i));
            else if (!busyRefused())
                ListRemote(m_dir[p]->itemText(i));
        });
        // Enter opens exactly what was typed: no inline completion from the
        // history, and the box does not swap the text for an item it matches.
        m_dir[p]->setCompleter(nullptr);
        m_dir[p]->lineEdit()->installEventFilter(this);
        m_up[p] = new QPushButton(QStringLiteral("上へ"), central);
        m_up[p]->setObjectName(QStringLiteral("Btn_%1").arg(p));
        m_up[p]->setIcon(toolIcon(QStringLiteral("go-up")));
        connect(m_up[p], &QPushButton::clicked, this, [this, p] { goUp(p); });
        pathRow->addWidget(m_dir[p]);
        pathRow->addWidget(m_up[p]);
        column->addLayout(pathRow);
        m_lv[p] = new PaneList(p == Remote, central);
        m_lv[p]->setObjectName(QStringLiteral("lv_%1").arg(p));
        m_lv[p]->setAccessibleName(p == Local ? QStringLiteral("ローカルのファイル")
                                              : QStringLiteral("サーバのファイル"));
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
            m_trsBtn[0]->setIcon(toolIcon(QStringLiteral("tw-upload")));
            m_trsBtn[1]->setIcon(toolIcon(QStringLiteral("tw-download")));
            m_syncBtn = new QPushButton(QStringLiteral("変更分を\nアップロード"), central);
            m_syncBtn->setObjectName(QStringLiteral("Btn_Sync"));
            m_syncBtn->setToolTip(
                QStringLiteral("ローカルのフォルダと比べて、新しいファイルと変わったファイルだけを送信します"));
            middle->addSpacing(12);
            middle->addWidget(m_syncBtn);
            connect(m_syncBtn, &QPushButton::clicked, this, &Frm_Main::syncUpload);
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
    m_delFile =
        editButton(QStringLiteral("ファイルの削除(&D)"), QStringLiteral("m_DelFile"), &Frm_Main::deleteSelected);
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
    QAction* sync =
        action(file, QStringLiteral("変更分をアップロード(&U)"), QStringLiteral("m_Sync"), &Frm_Main::syncUpload);
    connect(file, &QMenu::aboutToShow, this, [=, this] { sync->setEnabled(m_syncBtn->isEnabled()); });
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
    action(settings, QStringLiteral("詳細設定(&D)"), QStringLiteral("m_DetailSet"), &Frm_Main::openDetails);
    action(settings, QStringLiteral("バージョン情報(&A)"), QStringLiteral("m_Version"), [this] {
        m_setup.platform.messages->show(
            frmMainCaption() + QStringLiteral("\r\nTagwright ") + QCoreApplication::applicationVersion(),
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
    QAction* df = action(m_editMenu, QStringLiteral("ファイルの削除(&D)"), QStringLiteral("Mm_DelFile"),
                         &Frm_Main::deleteSelected);
    m_editMenu->addSeparator();
    QAction* rl =
        action(m_editMenu, QStringLiteral("最新の情報に更新(&N)"), QStringLiteral("Mm_ReLoad"), &Frm_Main::refresh);
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

}  // namespace tw
