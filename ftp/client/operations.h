#pragma once
// What the window's commands do with the entries chosen in a pane: copy them
// to the other side, delete them, rename one. The window collects the
// choice and shows the outcome; the walks are here.

#include "ftp/session/direntry.h"
#include "ftp/session/ftpconnection.h"
#include "ftp/session/transfertype.h"

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
    bool ok = true;
    int transferred = 0;  // items copied whole
    QString failedName;   // the item the walk stopped at
    QString failedFile;   // the file of that item that was not copied ("site/a.gif")
    FtpError error;
    QStringList skipped;   // links pointing outside the folder sent
    QStringList repeated;  // server folders that list a folder above them
    QStringList tooDeep;   // folders not followed for their depth
};

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

// Renames an entry of a folder. False when the new name is not a plain name,
// an entry of that name exists already, or the rename fails.
bool RenameEntry(FtpConnection* connection, const QString& folder, const QString& from, const QString& to);

// Creates a folder (remote with a connection, local without).
bool MakeFolder(FtpConnection* connection, const QString& folder, const QString& name);

}  // namespace tw
