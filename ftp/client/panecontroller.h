#pragma once
// What the main window does with the entries chosen in one of its panes:
// copy them into the folder of the other pane, delete them, rename one,
// make a new folder; the local pane also sends what changed (変更分を
// アップロード), the server pane changes permissions. One controller per
// pane; both run their long operations on the window's one JobRunner. The
// window reads its controls, calls these, and shows what the signals tell.

#include "ftp/client/jobrunner.h"
#include "ftp/client/operations.h"
#include "common/result.h"

#include <QObject>

namespace tw {

// The entries of a pane's folder.
struct PaneListing {
    // A failure carries the reason (empty for a local folder that is not there).
    Result result;
    // The server folder asked for could not be entered: the listing is that
    // of the server's current folder, folder.
    bool elsewhere = false;
    QString folder;
    QList<DirEntry> entries;
};

class PaneController : public QObject {
    Q_OBJECT
public:
    PaneController(bool remote, JobRunner& runner, QObject* parent = nullptr);
    bool isRemote() const { return m_remote; }

    PaneListing list(const QString& folder) const;

    // Copies the items of folder from (this pane) into folder to (the other
    // pane): an upload from the local pane, a download from the server's.
    // With patch, entryArrived tells of each item that is there afterwards.
    void sendTo(const QList<PaneEntry>& items, const QString& from, const QString& to, TransferType type, bool patch);
    // Deletes the items of a folder. Local items are deleted at once (without
    // the progress window) while another job runs.
    void deleteEntries(const QString& folder, const QList<PaneEntry>& items);
    Result rename(const QString& folder, const QString& from, const QString& to);
    // A new folder named after the ones shown ("NewFolder2", "新しいフォルダ3").
    Result makeFolder(const QString& folder, const QStringList& shownNames);

signals:
    // An item sent to the other pane's folder is there now, as entry.
    void entryArrived(const QString& folder, const DirEntry& entry);
    void transferFinished(const TransferOutcome& outcome);
    // failed: the names that could not be deleted.
    void deleteFinished(const QList<PaneEntry>& items, const QStringList& failed);

protected:
    // The connection of this pane's own entries: none for the local pane.
    FtpConnection* paneConnection() const { return m_remote ? m_runner.connection() : nullptr; }

    JobRunner& m_runner;

private:
    bool m_remote;
};

class LocalPaneController : public PaneController {
    Q_OBJECT
public:
    explicit LocalPaneController(JobRunner& runner, QObject* parent = nullptr);

    // Compares a local folder with a server folder (see PlanSync).
    void planSync(const QString& localFolder, const QString& remoteFolder, TransferType type);
    // Sends what the plan lists (see RunSync).
    void runSync(const SyncPlan& plan, TransferType type, bool deleteExtra);

signals:
    // A failed plan carries the reason.
    void syncPlanned(const Result& result, const SyncPlan& plan);
    void syncFinished(const SyncOutcome& outcome);
};

class ServerPaneController : public PaneController {
    Q_OBJECT
public:
    explicit ServerPaneController(JobRunner& runner, QObject* parent = nullptr);

    // Sends the permission dialog's command ("SITE CHMOD 644 name" + CR).
    Result changePermissions(const QString& command);
};

}  // namespace tw
