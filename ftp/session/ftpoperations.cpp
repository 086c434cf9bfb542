#include "ftp/session/ftpoperations.h"

#include "ftp/session/progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

// Folder trees deeper than this are a loop on the server or on the disk.
constexpr int kMaxTreeDepth = 64;

QString withSlash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

QString withoutSlash(const QString& path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p;
}

QString lastSegment(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

bool hasBreakOrNul(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(u'\0');
}

// A download lands in a temporary file beside the target and replaces the
// target only once it has arrived whole. Unlike settings files it is not
// forced to disk first: that would double the time of a large download.
class DownloadTarget {
public:
    explicit DownloadTarget(const QString& target) : m_target(QFile::encodeName(target)) {}
    ~DownloadTarget()
    {
        if (m_fd >= 0) {
            m_file.close();
            ::close(m_fd);
            ::unlink(m_temp.constData());
        }
    }
    // A hidden file beside the target, made with plain system calls: a tree
    // of small files spends more time here than on the wire otherwise.
    bool open()
    {
        const qsizetype slash = m_target.lastIndexOf('/');
        m_temp = m_target.left(slash + 1) + '.' + m_target.mid(slash + 1) + ".XXXXXX.part";
        m_fd = ::mkostemps(m_temp.data(), 5, O_CLOEXEC);
        if (m_fd < 0)
            return false;
        return m_file.open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    }
    QIODevice& device() { return m_file; }
    bool commit()
    {
        // The permissions a new file gets, or those of the file replaced.
        struct stat st {};
        const mode_t mode = ::stat(m_target.constData(), &st) == 0 ? st.st_mode & 07777 : 0666 & ~processUmask();
        if (!m_file.flush() || m_file.error() != QFileDevice::NoError || ::fchmod(m_fd, mode) != 0)
            return false;
        m_file.close();
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 || std::rename(m_temp.constData(), m_target.constData()) != 0) {
            ::unlink(m_temp.constData());
            return false;
        }
        return true;
    }

private:
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

// One command with a path argument; true when the server completed it.
bool pathCommand(FtpConnection& c, const char* verb, const QString& path)
{
    if (path.isEmpty())
        return false;
    const std::optional<QByteArray> bytes = c.encodeName(path);
    if (!bytes)
        return false;
    QList<FtpReply> replies;
    if (!c.sendCommands({QByteArray(verb) + ' ' + *bytes}, &replies))
        return false;
    if (!replies.value(0).completed()) {
        c.setRefused(replies.value(0));
        return false;
    }
    return true;
}

bool removeTree(FtpConnection& c, const QString& folder, int depth)
{
    if (depth > kMaxTreeDepth)
        return false;
    const QString dir = withSlash(c.absolutePath(folder));
    if (dir == u"/")
        return false;
    ParsedListing listing;
    c.listFolder(dir, listing);
    if (!listing.rejected.isEmpty()) {
        c.setLastError(FtpErrorKind::BadName, listing.rejected.first());
        return false;
    }
    QStringList subFolders;
    for (const DirEntry& e : listing.entries) {
        const QString full = dir + e.name;
        if (e.folder)
            subFolders.append(full);
        else if (!FtpDelete(c, full))
            return false;
    }
    for (const QString& sub : subFolders) {
        if (!removeTree(c, sub, depth + 1))
            return false;
    }
    return pathCommand(c, "RMD", withoutSlash(dir));
}

bool downloadTree(FtpConnection& c, const QString& remoteFolder, const QString& localFolder, TransferType type,
                  int depth)
{
    if (depth > kMaxTreeDepth)
        return false;
    const QString remote = withSlash(c.absolutePath(remoteFolder));
    const QString local = withSlash(localFolder);
    if (!QFileInfo(local).isDir() && !QDir().mkpath(local)) {
        c.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    ParsedListing listing;
    if (!c.listFolder(remote, listing))
        return false;
    if (!listing.rejected.isEmpty()) {
        c.setLastError(FtpErrorKind::BadName, listing.rejected.first());
        return false;
    }
    QStringList subFolders;
    for (const DirEntry& e : listing.entries) {
        if (!isSafeEntryName(e.name))
            return false;
        if (e.folder)
            subFolders.append(e.name);
        else if (!FtpDownload(c, remote + e.name, local + e.name, type, e.size))
            return false;
    }
    for (const QString& name : subFolders) {
        if (!downloadTree(c, remote + name, local + name, type, depth + 1))
            return false;
    }
    return true;
}

bool uploadTree(FtpConnection& c, const QString& localFolder, const QString& remoteFolder, TransferType type,
                int depth)
{
    if (depth > kMaxTreeDepth)
        return false;
    const QString local = withSlash(localFolder);
    const QString remote = withSlash(c.absolutePath(remoteFolder));
    if (!QFileInfo(local).isDir())
        return false;
    DirEntry existing;
    const bool present = c.findEntry(remote, existing) && existing.folder;
    if (!present && !FtpMakeDir(c, remote))
        return false;
    const QFileInfoList entries =
        QDir(local).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
    QStringList subFolders;
    for (const QFileInfo& fi : entries) {
        if (fi.isDir()) {
            if (!fi.isSymLink())
                subFolders.append(fi.fileName());
        } else if (!FtpUpload(c, local + fi.fileName(), remote + fi.fileName(), type)) {
            return false;
        }
    }
    for (const QString& name : subFolders) {
        if (!uploadTree(c, local + name, remote + name, type, depth + 1))
            return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<FtpConnection> FtpConnect(const QString& server, const QString& user, const QString& password,
                                          const FtpOptions& options, FtpError* error)
{
    if (server.isEmpty()) {
        if (error)
            *error = {FtpErrorKind::Address, {}};
        return nullptr;
    }
    return FtpConnection::open(server, user, password, options, error);
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
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = path.left(slash + 1);
    const QString last = path.mid(slash + 1);
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
    if (!connection.listFolder(withSlash(path), listing))
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

bool FtpUpload(FtpConnection& connection, const QString& local, const QString& remote, TransferType type)
{
    const bool ascii = resolveTransferType(type, remote) == TransferType::Ascii;
    const QString mode = transferModeCaption(ascii);
    announce(connection, lastSegment(remote) + QStringLiteral(" を送信中です..."), &mode);
    if (connection.busy()) {
        connection.setLastError(FtpErrorKind::Busy);
        return false;
    }
    if (remote.isEmpty() || hasBreakOrNul(remote)) {
        connection.setLastError(FtpErrorKind::Refused);
        return false;
    }
    QFile file(local);
    if (!QFileInfo(local).isFile() || !file.open(QIODevice::ReadOnly)) {
        connection.setLastError(FtpErrorKind::LocalFile);
        return false;
    }
    return connection.store(file, file.size(), connection.absolutePath(remote), ascii);
}

bool FtpDelete(FtpConnection& connection, const QString& remote)
{
    announce(connection, lastSegment(remote) + QStringLiteral(" を削除中です..."), nullptr);
    return pathCommand(connection, "DELE", connection.absolutePath(remote));
}

bool FtpRename(FtpConnection& connection, const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty())
        return false;
    const std::optional<QByteArray> a = connection.encodeName(connection.absolutePath(from));
    const std::optional<QByteArray> b = connection.encodeName(connection.absolutePath(to));
    if (!a || !b)
        return false;
    QList<FtpReply> replies;
    if (!connection.sendCommands({"RNFR " + *a, "RNTO " + *b}, &replies))
        return false;
    if (replies.value(0).code != 350) {
        connection.setRefused(replies.value(0));
        return false;
    }
    if (!replies.value(1).completed()) {
        connection.setRefused(replies.value(1));
        return false;
    }
    return true;
}

bool FtpMakeDir(FtpConnection& connection, const QString& folder)
{
    return pathCommand(connection, "MKD", withoutSlash(connection.absolutePath(folder)));
}

bool FtpRemoveTree(FtpConnection& connection, const QString& folder)
{
    if (folder.isEmpty() || hasBreakOrNul(folder))
        return false;
    return removeTree(connection, folder, 0);
}

bool FtpDownloadTree(FtpConnection& connection, const QString& remoteFolder, const QString& localFolder,
                     TransferType type)
{
    if (remoteFolder.isEmpty() || localFolder.isEmpty() || hasBreakOrNul(remoteFolder))
        return false;
    return downloadTree(connection, remoteFolder, localFolder, type, 0);
}

bool FtpUploadTree(FtpConnection& connection, const QString& localFolder, const QString& remoteFolder,
                   TransferType type)
{
    if (remoteFolder.isEmpty() || localFolder.isEmpty() || hasBreakOrNul(remoteFolder))
        return false;
    return uploadTree(connection, localFolder, remoteFolder, type, 0);
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
    const std::optional<QByteArray> bytes = connection.encodeName(text);
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
