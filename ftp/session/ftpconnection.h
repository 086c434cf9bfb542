#pragma once
// One FTP control connection on libcurl: logged in once, kept open between
// operations, passive mode. The operations of ftpoperations.h are built on
// the few primitives here (commands, listings, transfers).

#include "ftp/session/direntry.h"

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
};

// "host", "host:port", "[v6]" or "[v6]:port"; a bare IPv6 address (more than
// one ":") has no port part. Port 21 when none is given.
struct ServerAddress {
    bool valid = false;
    QString host;
    int port = 21;
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
    static std::unique_ptr<FtpConnection> open(const QString& server, const QString& user,
                                               const QString& password, const FtpOptions& options = {});
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    QString host() const;
    int port() const;
    // Names travel as UTF-8 when the server announced UTF8, else as CP932.
    bool utf8Names() const;
    // MLSD/MLST were announced (else listings use LIST).
    bool hasMlst() const;
    // Logins made so far: 1 while the first connection lasts.
    int connectionCount() const;
    // True while an operation runs (events pumped from it must not start another).
    bool busy() const;

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
    QString decodeName(const QByteArray& bytes) const;

    // Sends raw commands (CR and LF already refused by the caller) in order,
    // each run even when an earlier one was refused. False when the
    // connection failed; the replies tell each command's outcome.
    bool sendCommands(const QList<QByteArray>& commands, QList<FtpReply>* replies);
    // Sends commands in the current folder (for commands with relative names).
    bool sendCommandsInCurrentFolder(const QList<QByteArray>& commands, QList<FtpReply>* replies);

    // Lists an absolute folder (MLSD, or LIST when MLSD is not offered).
    bool listFolder(const QString& absoluteFolder, ParsedListing& listing);
    // The entry of one absolute path (MLST, else a listing of its parent).
    bool findEntry(const QString& absolutePath, DirEntry& entry);

    // Transfers. Ascii converts line ends: local text goes out with CR LF,
    // and what arrives is stored with CR LF. The listener (when set) gets
    // the bar and the counter of label 2; total is the size shown.
    bool retrieve(const QString& absoluteRemote, QIODevice& sink, bool ascii);
    bool store(QIODevice& source, qint64 size, const QString& absoluteRemote, bool ascii);

    // The server's last reply code and text, for logs (never shown).
    int lastReplyCode() const;

private:
    FtpConnection();
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace tw
