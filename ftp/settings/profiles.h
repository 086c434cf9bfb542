#pragma once
// Connection profiles (User.ini) and the program's settings (Ftp.ini), both
// in the Setting folder below the program's folder.

#include "ftp/session/security.h"
#include "ftp/session/transfertype.h"

#include <QString>
#include <QStringList>

namespace tw {

struct ConnectionProfile {
    QString Name;  // also the section name in User.ini
    QString Server;
    QString UserName;
    QString Password;  // plain in memory, encoded in the file
    TransferType TransMode = TransferType::Automatic;
    QString LastPathLocal;
    QString LastPathHost;
    // Added after the keys above, and only once they differ from the
    // default, so a plain FTP profile's section stays as it was.
    FtpProtocol Protocol = FtpProtocol::Plain;  // key Protocol: 0 FTP, 1 FTP over TLS, 2 SFTP
    QString KeyFile;                            // key KeyFile: SFTP private key (empty: password)
    bool PlainWarned = false;                   // key PlainWarned: the plain-FTP warning was shown
};

struct FtpProgramSettings {
    QString User;           // Name of the current profile
    bool ListCache = true;  // patch lists in place after an operation
    // The text extensions of section Extension; the built-in list when the
    // section is missing or holds none.
    QStringList Extensions = BuiltInTextExtensions();
};

struct FtpSettingFiles {
    QString userIni;
    QString ftpIni;
    // Beside User.ini, owner-only: certificates trusted "always"
    // (TrustedCertificates.txt) and SFTP host keys (KnownHosts.txt).
    QString trustedCertificates() const;
    QString knownHosts() const;
    // <folder>/User.ini and <folder>/Ftp.ini.
    static FtpSettingFiles inFolder(const QString& settingFolder);
    // The program's own: <program folder>/Setting/.
    static FtpSettingFiles forProgram();
};

// Writes Server, UserName, PassWord (encoded), TransMode, LastPathLocal and
// LastPathHost into the profile's section, in that order, then Protocol,
// KeyFile and PlainWarned where they are set or already in the file. Nothing is
// written, and false returned, while Name is empty. User.ini is kept
// readable by its owner only.
bool SaveProfile(const FtpSettingFiles& files, const ConnectionProfile& profile);

// Fills the profile from its section; with an empty Name nothing changes.
void LoadProfile(const FtpSettingFiles& files, ConnectionProfile& profile);

FtpProgramSettings LoadSettings(const FtpSettingFiles& files);
bool SaveSettings(const FtpSettingFiles& files, const FtpProgramSettings& settings);

// Rewrites section Extension of Ftp.ini from TextExtensions (Extension0, 1, ...).
bool SaveExtensionList(const FtpSettingFiles& files);

// The profile names of User.ini in file order.
QStringList ProfileNames(const FtpSettingFiles& files);

// A stored boolean: "True"/"False" in any case, or a number (non-zero is
// true); anything else gives the default.
bool parseStoredBool(const QString& text, bool defaultValue);

}  // namespace tw
