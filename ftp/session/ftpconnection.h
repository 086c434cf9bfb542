#pragma once
// One FTP control connection on libcurl: logged in once, kept open between
// operations, passive mode. The operations of ftpoperations.h are built on
// the few primitives here (commands, listings, transfers).

#include "ftp/session/direntry.h"
#include "ftp/session/security.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace tw {

class FtpProgressListener;

// Bounds on waiting for a server, so that no operation hangs the program.
struct FtpOptions {
    int connectTimeoutMs = 15000;  // TCP connect and login greeting
    int replyTimeoutSec = 30;      // a reply to a command
    int idleTimeoutSec = 30;       // a data connection that moves no byte
    // A transfer slower than this over idleTimeoutSec counts as stalled: a
    // server that sends a few bytes a second would otherwise hold it for ever.
    int stallBytesPerSec = 256;
};

// Why the last operation failed, so that a window can say what went wrong.
enum class FtpErrorKind {
    None,
    Address,      // the server text is not a usable address, or the host is unknown
    Network,      // cannot connect, connection lost, no reply in time
    Login,        // user name or password refused
    Refused,      // the server refused the command (reply holds its text)
    Busy,         // another operation is running on this connection
    LocalFile,    // a local file could not be read or written
    Cancelled,    // stopped by the user
    Stalled,      // the transfer moved too slowly for too long
    BadName,      // the server listed a name that is no plain name (reply holds it)
    Untrusted,    // the certificate or host key was not trusted (reply holds why)
    KeyChanged,   // the SFTP host key differs from the one trusted before (reply: its fingerprint)
    Unencodable,  // a name the server's encoding cannot hold (reply: the name and the character)
};
struct FtpError {
    FtpErrorKind kind = FtpErrorKind::None;
    QString reply;  // the server's reply text for Refused; the name for BadName
};
// A Japanese sentence for the error, for messages.
QString describeFtpError(const FtpError& error);

// "host", "host:port", "[v6]" or "[v6]:port"; a bare IPv6 address (more than
// one ":") has no port part. Port 21 when none is given.
struct ServerAddress {
    bool valid = false;
    QString host;
    int port = 21;
    bool hasPort = false;  // the text named a port
    bool ipv6 = false;
};
ServerAddress parseServerAddress(const QString& text);

// One reply of the server to one command; code 0 when none came.
struct FtpReply {
    QByteArray command;
    int code = 0;
    QList<QByteArray> lines;
    bool accepted() const { return code >= 100 && code < 400; }
    bool completed() const { return code >= 200 && code < 300; }
};

class FtpConnection {
public:
    // Connects and logs in; nullptr when the address is not usable, the
    // server cannot be reached or refuses the login.
    static std::unique_ptr<FtpConnection> open(const QString& server, const QString& user, const QString& password,
                                               const FtpOptions& options = {}, FtpError* error = nullptr,
                                               const FtpSecurity& security = {});
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    QString host() const;
    int port() const;
    FtpProtocol protocol() const;
    // Names travel as UTF-8 when the server announced UTF8, else as CP932.
    bool utf8Names() const;
    // MLSD/MLST were announced (else listings use LIST).
    bool hasMlst() const;
    // Logins made so far: 1 while the first connection lasts.
    int connectionCount() const;
    // True while an operation runs (events pumped from it must not start another).
    // Another operation started meanwhile fails with FtpErrorKind::Busy.
    bool busy() const;

    // The outcome of the last operation (kind None after a success).
    FtpError lastError() const;
    void setLastError(FtpErrorKind kind, const QString& reply = QString());
    // Records a refusal with the reply's text.
    void setRefused(const FtpReply& reply);

    // Asks the running transfer to stop (from an event pumped by it, or from
    // another thread). Every operation fails as cancelled until clearCancel().
    void cancel();
    void clearCancel();
    bool cancelRequested() const;
    // Between these, a request to stop waits: the steps that put files back
    // in place run whole. Holds nest; the last release lets the stop through.
    void holdCancel();
    void releaseCancel();

    void setProgressListener(FtpProgressListener* listener);
    FtpProgressListener* progressListener() const;

    // The folder relative names are taken in: absolute, ending in "/".
    QString currentFolder() const;
    // Enters an absolute folder on the server; false leaves everything as it was.
    bool changeFolder(const QString& absoluteFolder);
    // A relative path joined to the current folder; absolute paths unchanged.
    QString absolutePath(const QString& path) const;

    // The bytes of a name on the wire; nothing when it holds CR, LF or NUL or
    // a character the name encoding cannot hold.
    std::optional<QByteArray> encodeName(const QString& text) const;
    // The same, and when there is nothing, the last error says which
    // character of the name cannot be sent (FtpErrorKind::Unencodable).
    std::optional<QByteArray> wireName(const QString& text);
    QString decodeName(const QByteArray& bytes) const;

    // Sends raw commands (CR and LF already refused by the caller) in order,
    // each run even when an earlier one was refused. False when the
    // connection failed; the replies tell each command's outcome.
    bool sendCommands(const QList<QByteArray>& commands, QList<FtpReply>* replies);
    // Sends commands in the current folder (for commands with relative names).
    bool sendCommandsInCurrentFolder(const QList<QByteArray>& commands, QList<FtpReply>* replies);

    // The file commands on an absolute path, for every protocol: verb is
    // "DELE", "RMD" or "MKD" (SFTP: rm, rmdir, mkdir). True when the server
    // completed it; a refusal is recorded.
    bool pathCommand(const char* verb, const QString& absolutePath);
    bool renamePath(const QString& absoluteFrom, const QString& absoluteTo);
    // Permissions as octal digits ("644"): SITE CHMOD, or SFTP's setstat.
    bool setMode(const QString& absolutePath, const QString& digits);
    // The modification time (UTC, whole seconds): MFMT, or SFTP's setstat.
    bool setModifiedTime(const QString& absolutePath, const QDateTime& utc);
    // The exact modification time: MDTM, or SFTP's stat. Invalid when unknown.
    QDateTime modifiedTime(const QString& absolutePath);

    // Lists an absolute folder (MLSD, or LIST when MLSD is not offered).
    bool listFolder(const QString& absoluteFolder, ParsedListing& listing);
    // The entry of one absolute path (MLST, else a listing of its parent).
    bool findEntry(const QString& absolutePath, DirEntry& entry);

    // Transfers. Ascii converts line ends: local text goes out with CR LF,
    // and what arrives is stored with CR LF. The listener (when set) gets
    // the bar and the counter of label 2; total is the size shown.
    // knownSize (from a listing) is the total shown when the server tells none,
    // as in ASCII mode.
    bool retrieve(const QString& absoluteRemote, QIODevice& sink, bool ascii, qint64 knownSize = -1);
    // With renameTo (FTP only), the file is renamed to it right after the
    // transfer, on the same request; renamed tells whether that succeeded.
    // modified (with renameTo) is set on the file first (MFMT); stamped tells
    // whether the server took it.
    bool store(QIODevice& source, qint64 size, const QString& absoluteRemote, bool ascii,
               const QString& renameTo = QString(), bool* renamed = nullptr, const QDateTime& modified = {},
               bool* stamped = nullptr);

    struct Impl;

private:
    FtpConnection();
    std::unique_ptr<Impl> d;
};

}  // namespace tw
