#pragma once
// What the window's commands do with the entries chosen in a pane: copy them
// to the other side, delete them, rename one. The window collects the
// choice and shows the outcome; the walks are here.

#include "ftp/session/direntry.h"
#include "ftp/session/ftpconnection.h"
#include "ftp/session/transfertype.h"
#include "common/result.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tw {

// One selected item of a pane, in list order.
struct PaneEntry {
    QString name;
    bool folder = false;
    qint64 size = -1;  // from the listing; -1 when unknown
};

enum class TransferDirection { Upload, Download };

struct TransferOutcome {
    TransferDirection direction = TransferDirection::Upload;
    bool ok = true;
    int transferred = 0;  // items copied whole
    QString failedName;   // the item the walk stopped at
    QString failedFile;   // the file of that item that was not copied ("site/a.gif")
    FtpError error;
    QStringList skipped;   // links pointing outside the folder sent
    QStringList repeated;  // server folders that list a folder above them
    QStringList tooDeep;   // folders not followed for their depth
};
// The message of a failed transfer: "ファイルの送信に失敗しました" or
// "ファイルの受信に失敗しました", the file and the reason, one a line.
QString transferFailureText(const TransferOutcome& outcome);
// What was left out and why (links outside, folders listing themselves,
// folders too deep); empty when nothing was.
QString transferNotesText(const TransferOutcome& outcome);

// Copies the items from the source folder to the destination folder
// (upload: local to remote; download: remote to local), stopping at the
// first failure. Folders are walked first, so that the progress window can
// count the files and bytes of the whole transfer (label 3). With a patch
// function, the destination entry of each item that exists afterwards is
// handed to it (to update the destination pane).
TransferOutcome RunTransfers(FtpConnection& connection, TransferDirection direction, const QString& sourceFolder,
                             const QString& destinationFolder, const QList<PaneEntry>& items, TransferType type,
                             const std::function<void(const DirEntry&)>& patch = {});

// Deletes a local folder with everything in it. A symbolic link is removed
// as a link: what it points to is never touched.
bool LocalRemoveTree(const QString& folder);

// Deletes the items of a folder (remote with a connection, local without);
// the names that could not be deleted, in order. The walk ends early when
// the connection was asked to stop.
QStringList DeleteEntries(FtpConnection* connection, const QString& folder, const QList<PaneEntry>& items);

// Renames an entry of a folder. Fails when the new name is not a plain name,
// an entry of that name exists already, or the rename fails.
Result RenameEntry(FtpConnection* connection, const QString& folder, const QString& from, const QString& to);

// Creates a folder (remote with a connection, local without).
Result MakeFolder(FtpConnection* connection, const QString& folder, const QString& name);

// 変更分をアップロード: a local folder compared with a remote one, recursively.
// A file is sent when the server lacks it, its size differs (a text file
// sent in ASCII may also have its LF-only size there), or the local file is
// newer than the server's.
struct SyncPlan {
    struct File {
        QString local, remote;
        QString name;  // below the local folder ("img/a.gif")
        qint64 size = 0;
        QDateTime localTime;  // UTC, whole seconds
    };
    QString localFolder, remoteFolder;  // with "/" at the end
    QStringList createFolders;          // remote folders that do not exist yet, parents first
    QList<File> files;                  // to send, in folder order
    qint64 bytes = 0;                   // their sizes added up
    QStringList extra;                  // server files with no local file, absolute paths
    QStringList skipped;                // local links that point outside the folder
    QStringList tooDeep;
};
// False (with the connection's error) when a server folder that exists
// could not be listed, or the local folder cannot be read.
bool PlanSync(FtpConnection& connection, const QString& localFolder, const QString& remoteFolder, TransferType type,
              SyncPlan& plan);

struct SyncOutcome {
    bool ok = true;
    // Stopped as asked, between two files: sent files are whole, the rest unsent.
    bool stopped = false;
    int sent = 0;
    int total = 0;  // the files the plan listed
    int deleted = 0;
    QString failedFile;  // the name (or remote path) the run stopped at
    FtpError error;
    QStringList timeNotSet;  // sent, but the server kept its own time for them
};
// Creates the missing folders, sends the files one by one (each whole or
// not at all) and sets each one's server time to the local one (MFMT, SFTP
// setstat). With deleteExtra, then deletes the server files that have no
// local file. Stops at the first failure or when the connection is asked
// to stop; when stopAfterFile says so, it stops once the file being sent is
// whole. The progress window counts files and bytes.
SyncOutcome RunSync(FtpConnection& connection, const SyncPlan& plan, TransferType type, bool deleteExtra,
                    const std::function<bool()>& stopAfterFile = {});
// The message of a sync that failed or was stopped; empty otherwise.
QString syncEndText(const SyncOutcome& outcome);

}  // namespace tw
