#pragma once
// How a connection is protected: plain FTP, FTP over TLS (explicit, AUTH TLS,
// data connections protected too) or SFTP; the checks of the server's
// certificate or host key, and the files that remember what the user chose
// to trust.

#include <QString>

#include <functional>

namespace tw {

enum class FtpProtocol { Plain = 0, Tls = 1, Sftp = 2 };
FtpProtocol protocolFromInt(int value);
// The standard port of a protocol: 21, or 22 for SFTP.
int defaultPort(FtpProtocol protocol);

// A certificate that does not verify, or a host key not seen before, as
// shown to the user.
struct PeerIdentity {
    bool hostKey = false;  // an SSH host key (else a TLS certificate)
    QString host;
    int port = 0;
    QString subject, issuer, validFrom, validTo;  // certificate
    QString problem;                              // why the certificate does not verify
    QString keyType;                              // host key: "ssh-ed25519", ...
    QString fingerprint;                          // certificate: SHA-256 as hex pairs; host key: "SHA256:" + base64
    bool changed = false;                         // differs from the one trusted before
};

enum class TrustAnswer { Refuse, Once, Always };
using TrustQuestion = std::function<TrustAnswer(const PeerIdentity&)>;

struct FtpSecurity {
    FtpProtocol protocol = FtpProtocol::Plain;
    QString caFile;               // more trusted authorities besides the system's (may be empty)
    QString trustedCertificates;  // certificates trusted "always", one "host:port hex" a line
    QString knownHosts;           // SFTP host keys, OpenSSH known_hosts lines
    QString privateKey;           // SFTP: log in with this key (the password is its passphrase)
    TrustQuestion ask;            // none: what does not verify is refused
};

// "host:port" as the trust files name a server ("[v6]:port" for IPv6).
QString trustKey(const QString& host, int port);

// The fingerprint remembered for a server, or an empty text.
QString rememberedCertificate(const QString& file, const QString& key);
// Records (or replaces) the fingerprint of a server; the file is owner-only.
bool rememberCertificate(const QString& file, const QString& key, const QString& fingerprint);
// Adds a host key line ("[host]:port type base64") to a known-hosts file,
// owner-only, keeping the lines already there.
bool rememberHostKey(const QString& file, const QString& host, int port, const QString& type,
                     const QByteArray& keyBlob);

// "SHA256:" + unpadded base64 of the key blob's SHA-256, as OpenSSH shows it.
QString hostKeyFingerprint(const QByteArray& keyBlob);
// The key type named at the start of an SSH key blob ("ssh-ed25519").
QString hostKeyType(const QByteArray& keyBlob);

}  // namespace tw
