#include "ftp/client/operations.h"

#include "ftp/session/ftpoperations.h"
#include "ftp/session/progress.h"
#include "ftp/client/mdl_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QScopeGuard>

#include <optional>

namespace tw {

namespace {

// Passes a file's progress on and adds the count of the whole transfer.
class OverallProgress : public FtpProgressListener {
public:
    OverallProgress(FtpProgressListener* inner, int files, qint64 bytes)
        : m_inner(inner),
          m_files(files),
          m_bytes(bytes)
    {
    }
    void nextFile(qint64 size)
    {
        m_before += m_current;
        m_current = 0;
        m_size = size;
        ++m_file;
        show();
    }
    void setLabel(int index, const QString& text) override { m_inner->setLabel(index, text); }
    void startBar() override { m_inner->startBar(); }
    void drawBar(qint64 done, qint64 total) override
    {
        m_inner->drawBar(done, total);
        // ASCII mode changes the length on the way: never count past the size.
        m_current = std::min(done, m_size);
        show();
    }
    void pumpEvents() override { m_inner->pumpEvents(); }

private:
    void show()
    {
        m_inner->setLabel(3, QStringLiteral("ファイル %1 / %2　合計 %3")
                                 .arg(m_file)
                                 .arg(m_files)
                                 .arg(formatTransferCounter(m_before + m_current, m_bytes)));
    }
    FtpProgressListener* m_inner;
    int m_files;
    qint64 m_bytes;
    int m_file = 0;
    qint64 m_before = 0;
    qint64 m_current = 0;
    qint64 m_size = 0;
};

}  // namespace

TransferOutcome RunTransfers(FtpConnection& c, TransferDirection direction, const QString& sourceFolder,
                             const QString& destinationFolder, const QList<PaneEntry>& items, TransferType type,
                             const std::function<void(const DirEntry&)>& patch)
{
    const bool upload = direction == TransferDirection::Upload;
    const QString source = WithSeparator(sourceFolder, u'/');
    const QString destination = WithSeparator(destinationFolder, u'/');
    TransferOutcome out;
    out.direction = direction;
    auto fail = [&](const QString& item, const QString& file, const FtpError& error) {
        out.ok = false;
        out.failedName = item;
        out.failedFile = file;
        out.error = error;
        return out;
    };
    // Every item is planned before the first byte goes.
    QList<TreePlan> plans;
    int files = 0;
    qint64 bytes = 0;
    for (const PaneEntry& item : items) {
        // Names come from a listing or from the disk; one that could leave
        // the folder is never joined to it.
        if (!isSafeEntryName(item.name))
            return fail(item.name, item.name, {FtpErrorKind::BadName, item.name});
        const QString from = source + item.name;
        const QString to = destination + item.name;
        TreePlan plan;
        if (!item.folder) {
            qint64 size = item.size;
            if (upload)
                size = QFileInfo(from).size();
            plan.files.append({from, to, item.name, std::max<qint64>(0, size)});
        } else if (!(upload ? PlanUploadTree(from, to, plan) : PlanDownloadTree(c, from, to, plan))) {
            const FtpError error = c.lastError();
            return fail(item.name, item.name,
                        error.kind == FtpErrorKind::None && upload ? FtpError{FtpErrorKind::LocalFile, {}} : error);
        }
        out.skipped += plan.skipped;
        out.repeated += plan.repeated;
        out.tooDeep += plan.tooDeep;
        files += int(plan.files.size());
        for (const TreePlan::File& f : std::as_const(plan.files))
            bytes += f.size;
        plans.append(plan);
    }
    FtpProgressListener* listener = c.progressListener();
    std::optional<OverallProgress> overall;
    if (listener) {
        overall.emplace(listener, files, bytes);
        c.setProgressListener(&*overall);
    }
    const auto restore = qScopeGuard([&] { c.setProgressListener(listener); });
    for (qsizetype i = 0; i < items.size(); ++i) {
        const PaneEntry& item = items[i];
        QString current = item.name;
        bool ok = false;
        if (item.folder) {
            ok = RunTreePlan(c, upload, plans[i], type, [&](const TreePlan::File& f) {
                current = f.name;
                if (overall)
                    overall->nextFile(f.size);
            });
        } else {
            if (overall)
                overall->nextFile(plans[i].files[0].size);
            const TreePlan::File& f = plans[i].files[0];
            ok = upload ? FtpUpload(c, f.from, f.to, type) : FtpDownload(c, f.from, f.to, type, item.size);
        }
        const FtpError error = c.lastError();
        if (patch && !c.cancelRequested()) {
            DirEntry found;
            const QString to = destination + item.name;
            const bool exists = upload ? FtpFindFile(c, to, found) == 1 : LocalFindFile(to, found) == 1;
            if (exists) {
                found.name = item.name;
                patch(found);
            }
        }
        if (!ok)
            return fail(item.name, current, error);
        ++out.transferred;
    }
    return out;
}

QString transferFailureText(const TransferOutcome& outcome)
{
    const QString reason = describeFtpError(outcome.error);
    return (outcome.direction == TransferDirection::Upload ? QStringLiteral("ファイルの送信に失敗しました")
                                                           : QStringLiteral("ファイルの受信に失敗しました"))
           + QStringLiteral("\r\n") + outcome.failedFile
           + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason);
}

QString transferNotesText(const TransferOutcome& outcome)
{
    QStringList notes;
    auto note = [&](const QStringList& names, const QString& why) {
        if (!names.isEmpty())
            notes.append(why + QStringLiteral("\r\n") + names.join(QStringLiteral("\r\n")));
    };
    note(outcome.skipped, QStringLiteral("フォルダの外を指すリンクのため、次のファイルは送信しませんでした:"));
    note(outcome.repeated, QStringLiteral("上のフォルダと同じ内容を示すため、次のフォルダはたどりませんでした:"));
    note(outcome.tooDeep, QStringLiteral("階層が深すぎるため、次のフォルダはたどりませんでした:"));
    return notes.join(QStringLiteral("\r\n\r\n"));
}

bool LocalRemoveTree(const QString& folder)
{
    const QString path = cleanLocalPath(folder);
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

namespace {

// The reason of the connection's last failure, or of a local one.
Result failureOf(FtpConnection* c, const QString& local = QString())
{
    return Result::failure(c ? describeFtpError(c->lastError()) : local);
}

}  // namespace

Result RenameEntry(FtpConnection* c, const QString& folder, const QString& from, const QString& to)
{
    if (!isSafeEntryName(from) || !isSafeEntryName(to))
        return Result::failure(QStringLiteral("ファイル名に使えない名前です: ") + to);
    if (from == to)
        return Result::failure(QString());
    const QString base = WithSeparator(folder, u'/');
    const QString taken = QStringLiteral("同じ名前のファイルかフォルダがあります: ") + to;
    DirEntry existing;
    if (c) {
        // Many servers let a rename replace an existing file: refuse it here.
        if (FtpFindFile(*c, base + to, existing) == 1)
            return Result::failure(taken);
        return FtpRename(*c, base + from, base + to) ? Result() : failureOf(c);
    }
    if (LocalFindFile(base + to, existing) == 1 || QFileInfo(base + to).isSymLink())
        return Result::failure(taken);
    return QDir(base).rename(from, to) ? Result() : failureOf(nullptr);
}

Result MakeFolder(FtpConnection* c, const QString& folder, const QString& name)
{
    if (!isSafeEntryName(name))
        return Result::failure(QStringLiteral("フォルダ名に使えない名前です: ") + name);
    const QString path = WithSeparator(folder, u'/') + name;
    if (c)
        return FtpMakeDir(*c, path) ? Result() : failureOf(c);
    return QDir().mkdir(path) ? Result()
                              : failureOf(nullptr, QStringLiteral("フォルダを作成出来ませんでした: ") + path);
}

namespace {

// The length of a text file once its CR LF pairs are single LFs, as a Unix
// server stores a file sent in ASCII mode; -1 when it cannot be read.
qint64 lfOnlySize(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    qint64 size = 0;
    bool prevCr = false;
    char buffer[65536];
    for (;;) {
        const qint64 n = f.read(buffer, sizeof buffer);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        for (qint64 i = 0; i < n; ++i) {
            // A CR LF pair counts once.
            if (!(prevCr && buffer[i] == '\n'))
                ++size;
            prevCr = buffer[i] == '\r';
        }
    }
    return size;
}

QDateTime wholeSecondsUtc(const QDateTime& t)
{
    return QDateTime::fromSecsSinceEpoch(t.toSecsSinceEpoch(), Qt::UTC);
}

}  // namespace

bool PlanSync(FtpConnection& c, const QString& localFolder, const QString& remoteFolder, TransferType type,
              SyncPlan& plan)
{
    plan = SyncPlan();
    plan.localFolder = WithSeparator(localFolder, u'/');
    plan.remoteFolder = WithSeparator(c.absolutePath(remoteFolder), u'/');
    TreePlan tree;
    if (!PlanUploadTree(plan.localFolder, plan.remoteFolder, tree)) {
        c.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    plan.skipped = tree.skipped;
    plan.tooDeep = tree.tooDeep;
    const qsizetype prefix = QFileInfo(cleanLocalPath(plan.localFolder)).fileName().size() + 1;
    // Only MLSD gives exact times; LIST and SFTP listings say less, so the
    // times of files of equal size are asked for one by one.
    const bool exactListing = c.hasMlst() && c.protocol() != FtpProtocol::Sftp;
    QHash<QString, QHash<QString, DirEntry>> remote;  // folder -> name -> entry
    QSet<QString> missing;
    FtpProgressListener* listener = c.progressListener();
    for (const QString& folder : std::as_const(tree.folders)) {
        const QString parent = ParentOf(folder, u'/');
        if (folder != plan.remoteFolder && missing.contains(parent)) {
            missing.insert(folder);
            plan.createFolders.append(folder);
            continue;
        }
        if (listener) {
            listener->setLabel(0, QStringLiteral("%1 を比較中です...").arg(folder));
            listener->pumpEvents();
        }
        ParsedListing listing;
        if (!c.listFolder(folder, listing)) {
            if (c.lastError().kind != FtpErrorKind::Refused)
                return false;
            missing.insert(folder);
            plan.createFolders.append(folder);
            continue;
        }
        QHash<QString, DirEntry>& entries = remote[folder];
        for (const DirEntry& e : std::as_const(listing.entries))
            entries.insert(e.name, e);
    }
    QHash<QString, QSet<QString>> localNames;
    for (const TreePlan::File& f : std::as_const(tree.files)) {
        const QString folder = FolderPartOf(f.to);
        const QString name = FileNameOf(f.to, u'/');
        localNames[folder].insert(name);
        const QFileInfo info(f.from);
        const SyncPlan::File file{f.from, f.to, f.name.mid(prefix), f.size, wholeSecondsUtc(info.lastModified())};
        const auto found = remote.value(folder).constFind(name);
        bool send = found == remote.value(folder).constEnd() || found->folder;
        if (!send) {
            const bool ascii = resolveTransferType(type, f.to) == TransferType::Ascii;
            send = found->size != f.size && !(ascii && found->size == lfOnlySize(f.from));
        }
        if (!send) {
            QDateTime theirs = found->lastWrite;
            if (!exactListing) {
                const QDateTime exact = c.modifiedTime(f.to);
                if (exact.isValid())
                    theirs = exact;
                else if (c.lastError().kind == FtpErrorKind::Network)
                    return false;
            }
            send = !theirs.isValid() || file.localTime > wholeSecondsUtc(theirs);
        }
        if (send) {
            plan.files.append(file);
            plan.bytes += file.size;
        }
    }
    for (auto it = remote.constBegin(); it != remote.constEnd(); ++it) {
        for (const DirEntry& e : it.value()) {
            // Temporary files of uploads, and old files put aside while
            // one was replaced, are not the user's.
            if (!e.folder && !localNames.value(it.key()).contains(e.name) && !e.name.endsWith(u".twpart")
                && !e.name.endsWith(u".twold"))
                plan.extra.append(it.key() + e.name);
        }
    }
    plan.extra.sort();
    c.setLastError(FtpErrorKind::None);
    return true;
}

SyncOutcome RunSync(FtpConnection& c, const SyncPlan& plan, TransferType type, bool deleteExtra,
                    const std::function<bool()>& stopAfterFile)
{
    SyncOutcome out;
    out.total = int(plan.files.size());
    const auto stopAsked = [&] {
        out.stopped = stopAfterFile && stopAfterFile();
        return out.stopped;
    };
    auto fail = [&](const QString& file) {
        out.ok = false;
        out.failedFile = file;
        out.error = c.lastError();
        return out;
    };
    for (const QString& folder : plan.createFolders) {
        if (!FtpMakeDir(c, folder))
            return fail(folder);
    }
    FtpProgressListener* listener = c.progressListener();
    std::optional<OverallProgress> overall;
    if (listener) {
        overall.emplace(listener, int(plan.files.size()), plan.bytes);
        c.setProgressListener(&*overall);
    }
    const auto restore = qScopeGuard([&] { c.setProgressListener(listener); });
    for (const SyncPlan::File& f : plan.files) {
        if (stopAsked())
            return out;
        if (c.cancelRequested()) {
            c.setLastError(FtpErrorKind::Cancelled);
            return fail(f.name);
        }
        if (overall)
            overall->nextFile(f.size);
        // The server file gets the local time, so that the next comparison is exact.
        bool timeSet = false;
        if (!FtpUpload(c, f.local, f.remote, type, f.localTime, &timeSet))
            return fail(f.name);
        ++out.sent;
        if (!timeSet)
            out.timeNotSet.append(f.name);
    }
    if (deleteExtra) {
        for (const QString& path : plan.extra) {
            if (stopAsked())
                return out;
            if (c.cancelRequested()) {
                c.setLastError(FtpErrorKind::Cancelled);
                return fail(path);
            }
            if (!FtpDelete(c, path))
                return fail(path);
            ++out.deleted;
        }
    }
    return out;
}

QString syncEndText(const SyncOutcome& outcome)
{
    if (outcome.stopped)
        return QStringLiteral("変更分のアップロードを中止しました (%1 / %2 ファイル送信済み)")
            .arg(outcome.sent)
            .arg(outcome.total);
    if (outcome.ok)
        return QString();
    const QString reason = describeFtpError(outcome.error);
    return QStringLiteral("変更分のアップロードを途中で終えました (%1 ファイル送信済み)\r\n").arg(outcome.sent)
           + outcome.failedFile + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason);
}

}  // namespace tw
