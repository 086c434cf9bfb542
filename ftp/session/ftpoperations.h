#pragma once
// The FTP client's server operations (Mdl_Ftp). Each runs synchronously on
// the calling thread over one FtpConnection; the progress listener of the
// connection (the progress window) hears about transfers and deletions.
//
// Remote paths are absolute with "/" separators, or relative to the
// connection's current folder (FtpCurDir). Local paths are native paths.

#include "ftp/session/direntry.h"
#include "ftp/session/ftpconnection.h"
#include "ftp/session/transfertype.h"

#include <QList>
#include <QStringList>
#include <QString>

#include <functional>
#include <memory>

namespace tw {

// Connects and logs in; nullptr when the server text is empty or unusable,
// the server cannot be reached, or the login is refused. The server text
// may carry ":port" ("host:2121", "[::1]:2121"); port 21 otherwise.
// The security says which protocol to speak and how to check the server;
// the default port follows the protocol (21, or 22 for SFTP).
std::unique_ptr<FtpConnection> FtpConnect(const QString& server, const QString& user, const QString& password,
                                          const FtpOptions& options = {}, FtpError* error = nullptr,
                                          const FtpSecurity& security = {});
// Closes the connection (a null one too). Refused (false, the connection
// kept) while an operation runs on it: its curl handles are in use.
bool FtpDisconnect(std::unique_ptr<FtpConnection>& connection);

// Enters a folder; the path when it could be entered, else an empty text.
QString FtpCurDir(FtpConnection& connection, const QString& folder);

// Lists a pattern ("*.*" in the current folder, or folder + "/*.*"): the
// number of entries, 0 on failure or when there are none. "." and ".." and
// names that could never be a file of that folder are left out. A path
// without a wildcard lists the folder it names, or the one file it names.
int FtpFileList(FtpConnection& connection, const QString& pattern, QList<DirEntry>& entries);

// 1 with the record of the file or folder at the path, else 0.
int FtpFindFile(FtpConnection& connection, const QString& path, DirEntry& entry);

// One file each way. Automatic mode is resolved by the local name (download)
// or the remote name (upload). A download replaces an existing local file
// only once it has arrived whole; a failed download leaves the old file.
// knownSize is the size the listing gave (shown as the total when the server
// tells none, as in ASCII mode); -1 looks it up. A cancelled or failed
// download leaves no file behind.
bool FtpDownload(FtpConnection& connection, const QString& remote, const QString& local, TransferType type,
                 qint64 knownSize = -1);
// An upload goes to a temporary name in the destination folder and is
// renamed over the target once whole; a stopped or failed one deletes its
// temporary file and leaves the old file as it was.
// With a valid modified time, the server file gets that time (MFMT on the
// temporary file before its rename, or SFTP setstat); timeSet tells whether
// the server took it.
bool FtpUpload(FtpConnection& connection, const QString& local, const QString& remote, TransferType type,
               const QDateTime& modified = {}, bool* timeSet = nullptr);

bool FtpDelete(FtpConnection& connection, const QString& remote);
bool FtpRename(FtpConnection& connection, const QString& from, const QString& to);
bool FtpMakeDir(FtpConnection& connection, const QString& folder);

// Deletes a folder with everything in it: the files of a folder first, then
// its sub-folders, then the folder. Stops at the first failure. The root
// folder is never deleted.
bool FtpRemoveTree(FtpConnection& connection, const QString& folder);

// A folder copy, worked out before anything is sent: the folders to create
// (parents first), the files, and what is left out and why.
struct TreePlan {
    struct File {
        QString from, to;
        QString name;  // below the copied folder's parent ("site/img/a.gif")
        qint64 size = 0;
    };
    QStringList folders;
    QList<File> files;
    QStringList skipped;   // links that point outside the folder being sent
    QStringList repeated;  // server folders that list a folder above them again
    QStringList tooDeep;   // folders below the depth a real site never reaches
};

// Lists a remote folder tree. A listing that names an entry which is not a
// plain name ("../x", "a/b") fails the whole plan, so nothing can land
// outside the local folder. A folder whose listing repeats that of a folder
// above it is not followed.
bool PlanDownloadTree(FtpConnection& connection, const QString& remoteFolder, const QString& localFolder,
                      TreePlan& plan);
// Walks a local folder tree. Folders reached through symbolic links are not
// followed; a linked file is sent only when it lies inside the folder.
bool PlanUploadTree(const QString& localFolder, const QString& remoteFolder, TreePlan& plan);
// Creates the folders (a remote one only when it does not exist) and copies
// the files in order, stopping at the first failure. beforeFile hears of
// each file before it goes.
bool RunTreePlan(FtpConnection& connection, bool upload, const TreePlan& plan, TransferType type,
                 const std::function<void(const TreePlan::File&)>& beforeFile = {});

// A plan made and run.
bool FtpDownloadTree(FtpConnection& connection, const QString& remoteFolder, const QString& localFolder,
                     TransferType type);
bool FtpUploadTree(FtpConnection& connection, const QString& localFolder, const QString& remoteFolder,
                   TransferType type);

// Sends one raw command in the current folder and tells whether the server
// accepted it. One CR at the very end is allowed (it ends the command);
// any other CR or LF refuses the command without sending anything.
bool FtpSendCommand(FtpConnection& connection, const QString& command);

}  // namespace tw
