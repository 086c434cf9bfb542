#pragma once
// The FTP client's main window: the local pane on the left, the server on
// the right, the connection, profile, transfer and file commands.

#include "ftp/session/ftpconnection.h"
#include "ftp/client/panecontroller.h"
#include "common/platform.h"
#include "ftp/settings/profiles.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QToolButton;

namespace tw {

// Shows the wait cursor for as long as it lives.
struct WaitCursor {
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The main window's caption, also the title of its messages.
QString frmMainCaption();

class PaneList;
class Frm_State;

struct FrmMainSetup {
    Platform platform;
    FtpSettingFiles files;
    FtpOptions options;
    QString startFolder;  // used when the profile has no local folder
    QString caFile;       // authorities trusted besides the system's (empty: none)
};

class Frm_Main : public QMainWindow {
    Q_OBJECT
public:
    enum Pane { Local = 0, Remote = 1 };

    explicit Frm_Main(const FrmMainSetup& setup, QWidget* parent = nullptr);
    ~Frm_Main() override;

    // Procedures of the window, public for the window tests.
    bool ListLocal(const QString& folder);
    bool ListRemote(const QString& folder);
    bool SetLocalPath(const QString& path);
    bool SetRemotePath(const QString& path);
    int FindListItem(int pane, const QString& name) const;
    void SaveViewState();

    bool isConnected() const { return m_ftp != nullptr; }
    bool isBusy() const { return m_runner->busy(); }
    int activePane() const { return m_activePane; }
    void setActivePane(int pane);
    const ConnectionProfile& profile() const { return m_profile; }
    bool listCache() const { return m_settings.ListCache; }
    FtpConnection* connection() const { return m_ftp.get(); }
    PaneList* pane(int index) const { return m_lv[index]; }

    // The commands of the buttons and menus.
    void toggleConnection();
    void openProfiles();
    void transfer(bool upload);
    // 変更分をアップロード: the selected local folder (or the shown one) to the shown server folder.
    void syncUpload();
    void refresh();
    void deleteSelected();
    void makeFolder();
    void renameSelected();
    void changePermissions();
    void openDetails();

signals:
    // A modal dialog of the window is about to run (tests answer it).
    void dialogOpened(QDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QString shownFolder(int pane) const;
    QString folderOf(int pane) const;
    void pathEntered(int pane);
    void goUp(int pane);
    void openFolderItem(int pane, int row);
    void driveChosen(int index);
    void moveDriveTo(const QString& path);
    void profileChosen(QString name);
    void refillProfiles();
    void setView(int mode);
    void keyInList(int pane, int key);
    void rightClickInList(int pane, const QPoint& at);
    void updateEditButtons(int pane);
    void renameRequested(int pane, int row, const QString& newName);
    void ShowConnected();
    void ShowDisconnected();
    void showError(const QString& text);
    void showInformation(const QString& text);
    // True (after saying so) while a transfer holds the connection.
    bool busyRefused();
    QList<PaneEntry> selectedEntries(int pane) const;
    void listPane(int pane);
    void saveAll();

    // What the controllers and the job runner report.
    void jobStarted(JobRunner::StopMode stop);
    void jobFinished();
    void entryArrived(int pane, const QString& folder, const DirEntry& entry);
    void transferFinished(const TransferOutcome& outcome);
    void deleteFinished(int pane, const QList<PaneEntry>& items, const QStringList& failed);
    void syncPlanned(const Result& result, const SyncPlan& plan);
    void syncFinished(const SyncOutcome& outcome);

    FrmMainSetup m_setup;
    ConnectionProfile m_profile;
    FtpProgramSettings m_settings;
    std::unique_ptr<FtpConnection> m_ftp;
    int m_activePane = 0;
    JobRunner* m_runner;
    LocalPaneController* m_localPane;
    ServerPaneController* m_serverPane;
    PaneController* m_paneCtl[2];
    Frm_State* m_state = nullptr;
    // The mode the sync being planned is sent in.
    TransferType m_syncType = TransferType::Automatic;

    PaneList* m_lv[2];
    QComboBox* m_dir[2];
    QPushButton* m_up[2];
    QComboBox* m_drv;
    QToolButton* m_con;
    QPushButton* m_user;
    QComboBox* m_cmb;
    QComboBox* m_trs;
    QComboBox* m_view;
    QPushButton* m_trsBtn[2];
    QPushButton* m_syncBtn;
    QGroupBox* m_edit;
    QPushButton* m_reload;
    QPushButton* m_delFile;
    QPushButton* m_changeName;
    QPushButton* m_permision;
    QPushButton* m_makeFolder;
    QMenu* m_editMenu;
    QAction* m_connectAct;
    QAction* m_disconnectAct;
    QAction* m_userAct;
    QAction* m_viewActs[4];
    QIcon m_connectImg;
    QIcon m_disconnectImg;
};

}  // namespace tw
