#include "ftp/client/operations.h"

#include "ftp/session/ftpoperations.h"
#include "ftp/client/mdl_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tw {

TransferOutcome RunTransfers(FtpConnection& c, TransferDirection direction, const QString& sourceFolder,
                             const QString& destinationFolder, const QList<PaneEntry>& items, TransferType type,
                             const std::function<void(const DirEntry&)>& patch)
{
    const bool upload = direction == TransferDirection::Upload;
    const QString source = WithSeparator(sourceFolder, u'/');
    const QString destination = WithSeparator(destinationFolder, u'/');
    TransferOutcome out;
    for (const PaneEntry& item : items) {
        // Names come from a listing or from the disk; one that could leave
        // the folder is never joined to it.
        if (!isSafeEntryName(item.name)) {
            out = {false, out.transferred, item.name, {FtpErrorKind::BadName, item.name}};
            return out;
        }
        const QString from = source + item.name;
        const QString to = destination + item.name;
        bool ok = false;
        if (item.folder)
            ok = upload ? FtpUploadTree(c, from, to, type) : FtpDownloadTree(c, from, to, type);
        else
            ok = upload ? FtpUpload(c, from, to, type) : FtpDownload(c, from, to, type, item.size);
        const FtpError error = c.lastError();
        if (patch && !c.cancelRequested()) {
            DirEntry found;
            const bool exists = upload ? FtpFindFile(c, to, found) == 1 : LocalFindFile(to, found) == 1;
            if (exists) {
                found.name = item.name;
                patch(found);
            }
        }
        if (!ok) {
            out.ok = false;
            out.failedName = item.name;
            out.error = error;
            return out;
        }
        ++out.transferred;
    }
    return out;
}

bool LocalRemoveTree(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    const QFileInfo fi(path);
    if (fi.isSymLink())
        return QFile::remove(path);
    if (!fi.isDir())
        return false;
    return QDir(path).removeRecursively();
}

QStringList DeleteEntries(FtpConnection* c, const QString& folder, const QList<PaneEntry>& items)
{
    const QString base = WithSeparator(folder, u'/');
    QStringList failed;
    for (const PaneEntry& item : items) {
        if (c && c->cancelRequested()) {
            failed.append(item.name);
            continue;
        }
        bool ok = false;
        if (isSafeEntryName(item.name)) {
            const QString path = base + item.name;
            if (c)
                ok = item.folder ? FtpRemoveTree(*c, path) : FtpDelete(*c, path);
            else
                ok = item.folder ? LocalRemoveTree(path) : QFile::remove(path);
        }
        if (!ok)
            failed.append(item.name);
    }
    return failed;
}

bool RenameEntry(FtpConnection* c, const QString& folder, const QString& from, const QString& to)
{
    if (!isSafeEntryName(from) || !isSafeEntryName(to) || from == to)
        return false;
    const QString base = WithSeparator(folder, u'/');
    DirEntry existing;
    if (c) {
        // Many servers let a rename replace an existing file: refuse it here.
        if (FtpFindFile(*c, base + to, existing) == 1)
            return false;
        return FtpRename(*c, base + from, base + to);
    }
    if (LocalFindFile(base + to, existing) == 1 || QFileInfo(base + to).isSymLink())
        return false;
    return QDir(base).rename(from, to);
}

bool MakeFolder(FtpConnection* c, const QString& folder, const QString& name)
{
    if (!isSafeEntryName(name))
        return false;
    const QString path = WithSeparator(folder, u'/') + name;
    return c ? FtpMakeDir(*c, path) : QDir().mkdir(path);
}

}  // namespace tw
