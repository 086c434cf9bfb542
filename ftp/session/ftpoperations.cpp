#include "ftp/session/ftpoperations.h"

#include "ftp/session/progress.h"
#include "common/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

// Folder trees deeper than this are a loop on the server or on the disk.
constexpr int kMaxTreeDepth = 64;

bool hasBreakOrNul(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(u'\0');
}

// A download is written into an unnamed file in the target's folder
// (O_TMPFILE) and linked in only once it has arrived whole, so a crash or a
// power cut leaves nothing behind. Where the file system has no unnamed
// files, a hidden file beside the target is used instead. Unlike settings
// files it is not forced to disk first: that would double the time of a
// large download.
class DownloadTarget {
public:
    explicit DownloadTarget(const QString& target) : m_target(QFile::encodeName(target)) {}
    ~DownloadTarget()
    {
        if (m_fd >= 0) {
            m_file.close();
            ::close(m_fd);
            if (!m_unnamed)
                ::unlink(m_temp.constData());
        }
    }
    bool open()
    {
        const qsizetype slash = m_target.lastIndexOf('/');
        const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : m_target.left(slash);
        m_fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        m_unnamed = m_fd >= 0;
        if (!m_unnamed) {
            m_temp = m_target.left(slash + 1) + '.' + m_target.mid(slash + 1) + ".XXXXXX.part";
            m_fd = ::mkostemps(m_temp.data(), 5, O_CLOEXEC);
        }
        if (m_fd < 0)
            return false;
        return m_file.open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    }
    QIODevice& device() { return m_file; }
    bool commit()
    {
        // The permissions a new file gets, or those of the file replaced.
        struct stat st {};
        const bool replaces = ::stat(m_target.constData(), &st) == 0;
        const mode_t mode = replaces ? st.st_mode & 07777 : 0666 & ~processUmask();
        if (!m_file.flush() || m_file.error() != QFileDevice::NoError || ::fchmod(m_fd, mode) != 0)
            return false;
        m_file.close();
        if (m_unnamed && !linkUnnamed(replaces))
            return false;
        const int fd = m_fd;
        m_fd = -1;
        const bool renamed = m_temp.isEmpty() || std::rename(m_temp.constData(), m_target.constData()) == 0;
        if (::close(fd) != 0 || !renamed) {
            if (!m_temp.isEmpty())
                ::unlink(m_temp.constData());
            return false;
        }
        return true;
    }

private:
    // A new file is linked in under its own name (which fails rather than
    // replace a file that appeared meanwhile); a file that is replaced gets
    // a hidden name first, renamed over the old one a moment later.
    bool linkUnnamed(bool replaces)
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        const qsizetype slash = m_target.lastIndexOf('/');
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QByteArray name = replaces
                                        ? m_target.left(slash + 1) + '.' + m_target.mid(slash + 1) + '.'
                                              + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part"
                                        : m_target;
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                m_unnamed = false;
                if (replaces)
                    m_temp = name;
                return true;
            }
            if (errno != EEXIST || !replaces)
                return false;
        }
        return false;
    }

    static mode_t processUmask()
    {
        static const mode_t mask = [] {
            const mode_t m = ::umask(0);
            ::umask(m);
            return m;
        }();
        return mask;
    }

    QByteArray m_target;
    QByteArray m_temp;
    int m_fd = -1;
    bool m_unnamed = false;
    QFile m_file;
};

void announce(FtpConnection& c, const QString& label0, const QString* label1)
{
    if (FtpProgressListener* l = c.progressListener()) {
        l->setLabel(0, label0);
        if (label1)
            l->setLabel(1, *label1);
        l->pumpEvents();
    }
}

// One command with an absolute path argument; true when the server completed it.
bool pathCommand(FtpConnection& c, const char* verb, const QString& path)
{
    return c.pathCommand(verb, path);
}

QString listingSignature(const QList<DirEntry>& entries, bool foldersOnly = false);

bool removeTree(FtpConnection& c, const QString& folder, QStringList& ancestors)
{
    if (ancestors.size() > kMaxTreeDepth)
        return false;
    const QString dir = WithSeparator(c.absolutePath(folder));
    if (dir == u"/")
        return false;
    ParsedListing listing;
    c.listFolder(dir, listing);
    if (!listing.rejected.isEmpty()) {
        c.setLastError(FtpErrorKind::BadName, listing.rejected.first());
        return false;
    }
    // A folder that lists a folder above it again is a link to it: the link
    // goes, what it points to is never walked twice.
    if (!listing.entries.isEmpty() && ancestors.contains(listingSignature(listing.entries)))
        return pathCommand(c, "DELE", withoutSeparator(dir));
    // By the time its sub-folders are listed, only they are left in it.
    ancestors.append(listingSignature(listing.entries, true));
    QStringList subFolders;
    for (const DirEntry& e : listing.entries) {
        const QString full = dir + e.name;
        if (e.folder)
            subFolders.append(full);
        else if (!FtpDelete(c, full))
            return false;
    }
    for (const QString& sub : subFolders) {
        if (!removeTree(c, sub, ancestors))
            return false;
    }
    ancestors.removeLast();
    return pathCommand(c, "RMD", withoutSeparator(dir));
}

// What identifies a folder's contents: a folder whose listing equals that of
// a folder above it is that folder again (a link to itself on the server).
// A folder's time is left out: it changes as files go from the folder.
QString listingSignature(const QList<DirEntry>& entries, bool foldersOnly)
{
    QStringList parts;
    parts.reserve(entries.size());
    for (const DirEntry& e : entries) {
        if (e.folder)
            parts.append(e.name + u'\x1f' + e.unique);
        else if (!foldersOnly)
            parts.append(e.name + u'\x1f' + QString::number(e.size) + u'\x1f' + e.lastWrite.toString(Qt::ISODate)
                         + u'\x1f' + e.unique);
    }
    parts.sort();
    return parts.join(u'\x1e');
}

bool planDownload(FtpConnection& c, const QString& remote, const QString& local, const QString& relative,
                  QStringList& ancestors, TreePlan& plan)
{
    ParsedListing listing;
    announce(c, QStringLiteral("%1 の一覧を取得中です...").arg(relative), nullptr);
    if (!c.listFolder(remote, listing))
        return false;
    if (!listing.rejected.isEmpty()) {
        c.setLastError(FtpErrorKind::BadName, listing.rejected.first());
        return false;
    }
    const QString signature = listingSignature(listing.entries);
    if (!listing.entries.isEmpty() && ancestors.contains(signature)) {
        plan.repeated.append(relative);
        return true;
    }
    plan.folders.append(local);
    ancestors.append(signature);
    QStringList subFolders;
    for (const DirEntry& e : std::as_const(listing.entries)) {
        if (e.folder)
            subFolders.append(e.name);
        else
            plan.files.append({remote + e.name, local + e.name, relative + u'/' + e.name, e.size});
    }
    for (const QString& name : std::as_const(subFolders)) {
        if (ancestors.size() > kMaxTreeDepth)
            plan.tooDeep.append(relative + u'/' + name);
        else if (!planDownload(c, remote + name + u'/', local + name + u'/', relative + u'/' + name, ancestors, plan))
            return false;
    }
    ancestors.removeLast();
    return true;
}

void planUpload(const QString& root, const QString& local, const QString& remote, const QString& relative, int depth,
                TreePlan& plan)
{
    plan.folders.append(remote);
    const QFileInfoList entries = QDir(local).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    QStringList subFolders;
    for (const QFileInfo& fi : entries) {
        const QString name = relative + u'/' + fi.fileName();
        if (fi.isSymLink()) {
            // A link is sent only as a file of the folder being sent: what
            // it points to outside (a private key, the home folder) stays.
            const QString target = fi.canonicalFilePath();
            if (target.isEmpty() || !target.startsWith(root) || !fi.isFile()) {
                if (target.isEmpty() || !target.startsWith(root))
                    plan.skipped.append(name);
                continue;
            }
        }
        if (fi.isDir())
            subFolders.append(fi.fileName());
        else
            plan.files.append({local + fi.fileName(), remote + fi.fileName(), name, fi.size()});
    }
    for (const QString& sub : std::as_const(subFolders)) {
        if (depth >= kMaxTreeDepth)
            plan.tooDeep.append(relative + u'/' + sub);
        else
            planUpload(root, local + sub + u'/', remote + sub + u'/', relative + u'/' + sub, depth + 1, plan);
    }
}

// Lets a request to stop wait while files are put back in place.
struct CancelHold {
    explicit CancelHold(FtpConnection& c) : m_c(c) { m_c.holdCancel(); }
    ~CancelHold() { m_c.releaseCancel(); }
    FtpConnection& m_c;
};

// Puts a new upload in place: the temporary file renamed over the target.
bool replaceWithUpload(FtpConnection& c, const QString& temp, const QString& target, bool& keepTemp)
{
    const CancelHold hold(c);
    if (FtpRename(c, temp, target))
        return true;
    // SFTP servers, and some FTP servers, refuse to rename over an existing
    // file. The old one goes aside under a hidden name, the new one takes its
    // place, and only then is the old one deleted: the old file comes back
    // when the new one cannot take its place.
    const FtpError refused = c.lastError();
    DirEntry old;
    if (!c.findEntry(target, old) || old.folder) {
        c.setLastError(refused.kind, refused.reply);
        return false;
    }
    const QString name = FileNameOf(target, u'/');
    const QString backup = FolderPartOf(target) + u'.' + name + u'.'
                           + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".twold");
    if (!c.renamePath(target, backup))
        return false;
    announce(c, name + QStringLiteral(" を置き換え中です..."), nullptr);
    if (c.renamePath(temp, target)) {
        // A backup that cannot be deleted stays behind as a hidden file.
        pathCommand(c, "DELE", backup);
        c.setLastError(FtpErrorKind::None);
        return true;
    }
    const FtpError why = c.lastError();
    if (!c.renamePath(backup, target)) {
        // Neither could take the name: both stay, and the message says where.
        keepTemp = true;
        c.setLastError(
            FtpErrorKind::Refused,
            QStringLiteral("%1 (元のファイルは %2、新しいファイルは %3 にあります)").arg(why.reply, backup, temp));
        return false;
    }
    c.setLastError(why.kind, why.reply);
    return false;
}

// Deletes what a stopped or failed upload left, keeping the reason it failed.
void discardUpload(FtpConnection& c, const QString& temp)
{
    const FtpError why = c.lastError();
    const CancelHold hold(c);
    pathCommand(c, "DELE", temp);
    c.setLastError(why.kind, why.reply);
}

}  // namespace

std::unique_ptr<FtpConnection> FtpConnect(const QString& server, const QString& user, const QString& password,
                                          const FtpOptions& options, FtpError* error, const FtpSecurity& security)
{
    if (server.isEmpty()) {
        if (error)
            *error = {FtpErrorKind::Address, {}};
        return nullptr;
    }
    return FtpConnection::open(server, user, password, options, error, security);
}

bool FtpDisconnect(std::unique_ptr<FtpConnection>& connection)
{
    if (connection && connection->busy()) {
        connection->setLastError(FtpErrorKind::Busy);
        return false;
    }
    connection.reset();
    return true;
}

QString FtpCurDir(FtpConnection& connection, const QString& folder)
{
    if (folder.isEmpty() || hasBreakOrNul(folder))
        return QString();
    return connection.changeFolder(connection.absolutePath(folder)) ? folder : QString();
}

int FtpFileList(FtpConnection& connection, const QString& pattern, QList<DirEntry>& entries)
{
    entries.clear();
    if (pattern.isEmpty() || hasBreakOrNul(pattern))
        return 0;
    const QString path = connection.absolutePath(pattern);
    const QString folder = FolderPartOf(path);
    const QString last = FileNameOf(path, u'/');
    ParsedListing listing;
    if (last.isEmpty() || last.contains(u'*') || last.contains(u'?')) {
        if (!connection.listFolder(folder, listing))
            return 0;
        for (const DirEntry& e : std::as_const(listing.entries)) {
            if (matchesPattern(e.name, last))
                entries.append(e);
        }
        return int(entries.size());
    }
    DirEntry one;
    if (!connection.findEntry(path, one))
        return 0;
    if (!one.folder) {
        entries.append(one);
        return 1;
    }
    if (!connection.listFolder(WithSeparator(path), listing))
        return 0;
    entries = listing.entries;
    return int(entries.size());
}

int FtpFindFile(FtpConnection& connection, const QString& path, DirEntry& entry)
{
    if (path.isEmpty() || hasBreakOrNul(path))
        return 0;
    return connection.findEntry(connection.absolutePath(path), entry) ? 1 : 0;
}

bool FtpDownload(FtpConnection& connection, const QString& remote, const QString& local, TransferType type,
                 qint64 knownSize)
{
    const bool ascii = resolveTransferType(type, local) == TransferType::Ascii;
    const QString mode = transferModeCaption(ascii);
    announce(connection, QFileInfo(local).fileName() + QStringLiteral(" を受信中です..."), &mode);
    if (connection.busy()) {
        connection.setLastError(FtpErrorKind::Busy);
        return false;
    }
    if (remote.isEmpty() || local.isEmpty() || hasBreakOrNul(remote) || QFileInfo(local).isDir()) {
        connection.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    // Only an ASCII transfer lacks the size from the server.
    if (knownSize < 0 && ascii) {
        DirEntry entry;
        if (connection.findEntry(connection.absolutePath(remote), entry))
            knownSize = entry.size;
    }
    DownloadTarget file(local);
    if (!file.open()) {
        connection.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    if (!connection.retrieve(connection.absolutePath(remote), file.device(), ascii, knownSize))
        return false;
    // A binary download with a known size skips curl's own size check: a
    // different length is accepted only when the file on the server has
    // that length now (it changed since the listing), never a cut transfer.
    if (!ascii && knownSize >= 0 && file.device().pos() != knownSize) {
        DirEntry now;
        if (!connection.findEntry(connection.absolutePath(remote), now) || now.size != file.device().pos()) {
            connection.setLastError(FtpErrorKind::Network);
            return false;
        }
    }
    if (!file.commit()) {
        connection.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    return true;
}

bool FtpUpload(FtpConnection& connection, const QString& local, const QString& remote, TransferType type,
               const QDateTime& modified, bool* timeSet)
{
    if (timeSet)
        *timeSet = false;
    const bool ascii = resolveTransferType(type, remote) == TransferType::Ascii;
    const QString mode = transferModeCaption(ascii);
    announce(connection, FileNameOf(connection.absolutePath(remote), u'/') + QStringLiteral(" を送信中です..."), &mode);
    if (connection.busy()) {
        connection.setLastError(FtpErrorKind::Busy);
        return false;
    }
    if (remote.isEmpty() || hasBreakOrNul(remote)) {
        connection.setLastError(FtpErrorKind::Refused);
        return false;
    }
    // A name the server cannot take is said as the user's name, not the temporary one.
    const QString target = connection.absolutePath(remote);
    if (!connection.wireName(target))
        return false;
    QFile file(local);
    if (!QFileInfo(local).isFile() || !file.open(QIODevice::ReadOnly)) {
        connection.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    // Sent under a temporary name in the same folder, then renamed: the live
    // site never shows a cut file, and a stopped upload leaves the old one.
    const QString temp = FolderPartOf(target) + u'.' + FileNameOf(target, u'/') + QStringLiteral(".twpart");
    bool keepTemp = false;
    bool renamed = false;
    bool stamped = false;
    if (connection.store(file, file.size(), temp, ascii, target, &renamed, modified, &stamped)
        && (renamed || replaceWithUpload(connection, temp, target, keepTemp))) {
        // SFTP (and a server that took no rename with the transfer) gets its time now.
        if (modified.isValid() && !stamped)
            stamped = connection.setModifiedTime(target, modified);
        connection.setLastError(FtpErrorKind::None);
        if (timeSet)
            *timeSet = stamped;
        return true;
    }
    if (!keepTemp)
        discardUpload(connection, temp);
    return false;
}

bool FtpDelete(FtpConnection& connection, const QString& remote)
{
    announce(connection, FileNameOf(connection.absolutePath(remote), u'/') + QStringLiteral(" を削除中です..."),
             nullptr);
    return pathCommand(connection, "DELE", connection.absolutePath(remote));
}

bool FtpRename(FtpConnection& connection, const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty())
        return false;
    return connection.renamePath(connection.absolutePath(from), connection.absolutePath(to));
}

bool FtpMakeDir(FtpConnection& connection, const QString& folder)
{
    return pathCommand(connection, "MKD", withoutSeparator(connection.absolutePath(folder)));
}

bool FtpRemoveTree(FtpConnection& connection, const QString& folder)
{
    if (folder.isEmpty() || hasBreakOrNul(folder))
        return false;
    QStringList ancestors;
    return removeTree(connection, folder, ancestors);
}

bool PlanDownloadTree(FtpConnection& connection, const QString& remoteFolder, const QString& localFolder,
                      TreePlan& plan)
{
    if (remoteFolder.isEmpty() || localFolder.isEmpty() || hasBreakOrNul(remoteFolder))
        return false;
    const QString remote = WithSeparator(connection.absolutePath(remoteFolder));
    QStringList ancestors;
    return planDownload(connection, remote, WithSeparator(localFolder), FileNameOf(withoutSeparator(remote), u'/'),
                        ancestors, plan);
}

bool PlanUploadTree(const QString& localFolder, const QString& remoteFolder, TreePlan& plan)
{
    const QFileInfo top(withoutSeparator(localFolder));
    if (!top.isDir() || remoteFolder.isEmpty() || hasBreakOrNul(remoteFolder))
        return false;
    planUpload(WithSeparator(top.canonicalFilePath()), WithSeparator(localFolder), WithSeparator(remoteFolder),
               top.fileName(), 0, plan);
    return true;
}

bool RunTreePlan(FtpConnection& connection, bool upload, const TreePlan& plan, TransferType type,
                 const std::function<void(const TreePlan::File&)>& beforeFile)
{
    for (const QString& folder : plan.folders) {
        if (upload) {
            DirEntry existing;
            const QString remote = connection.absolutePath(folder);
            if (!(connection.findEntry(remote, existing) && existing.folder) && !FtpMakeDir(connection, remote))
                return false;
        } else if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
            connection.setLastError(FtpErrorKind::LocalFile);
            return false;
        }
    }
    for (const TreePlan::File& f : plan.files) {
        if (beforeFile)
            beforeFile(f);
        if (!(upload ? FtpUpload(connection, f.from, f.to, type) : FtpDownload(connection, f.from, f.to, type, f.size)))
            return false;
    }
    return true;
}

bool FtpDownloadTree(FtpConnection& connection, const QString& remoteFolder, const QString& localFolder,
                     TransferType type)
{
    TreePlan plan;
    return PlanDownloadTree(connection, remoteFolder, localFolder, plan) && RunTreePlan(connection, false, plan, type);
}

bool FtpUploadTree(FtpConnection& connection, const QString& localFolder, const QString& remoteFolder,
                   TransferType type)
{
    TreePlan plan;
    return PlanUploadTree(localFolder, remoteFolder, plan) && RunTreePlan(connection, true, plan, type);
}

bool FtpSendCommand(FtpConnection& connection, const QString& command)
{
    QString text = command;
    // The permission command is built with a CR at its end; the connection
    // ends every command itself.
    if (text.endsWith(u'\r'))
        text.chop(1);
    if (text.trimmed().isEmpty() || hasBreakOrNul(text))
        return false;
    if (connection.protocol() == FtpProtocol::Sftp) {
        // SFTP has no raw commands; the permission command sets the mode.
        static const QRegularExpression chmod(QStringLiteral("^SITE CHMOD ([0-7]{3,4}) (.+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = chmod.match(text);
        if (!m.hasMatch()) {
            connection.setLastError(FtpErrorKind::Refused, QStringLiteral("SFTP では送れないコマンドです"));
            return false;
        }
        return connection.setMode(connection.absolutePath(m.captured(2)), m.captured(1));
    }
    const std::optional<QByteArray> bytes = connection.wireName(text);
    if (!bytes)
        return false;
    QList<FtpReply> replies;
    if (!connection.sendCommandsInCurrentFolder({*bytes}, &replies))
        return false;
    if (!replies.value(0).accepted()) {
        connection.setRefused(replies.value(0));
        return false;
    }
    return true;
}

}  // namespace tw
