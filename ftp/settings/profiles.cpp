#include "ftp/settings/profiles.h"

#include "common/appfolder.h"
#include "ftp/settings/mdl_ini.h"
#include "ftp/settings/password.h"

#include <QFileInfo>

namespace tw {

namespace {

const QString kSkyport = QStringLiteral("Skyport");
const QString kExtension = QStringLiteral("Extension");

// A number as the old program read it: leading digits, 0 when there are none.
int leadingNumber(const QString& text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9' || value > 100000)
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

FtpSettingFiles FtpSettingFiles::inFolder(const QString& settingFolder)
{
    return {joinPath(settingFolder, QStringLiteral("User.ini")), joinPath(settingFolder, QStringLiteral("Ftp.ini"))};
}

QString FtpSettingFiles::trustedCertificates() const
{
    return joinPath(QFileInfo(userIni).path(), QStringLiteral("TrustedCertificates.txt"));
}

QString FtpSettingFiles::knownHosts() const
{
    return joinPath(QFileInfo(userIni).path(), QStringLiteral("KnownHosts.txt"));
}

FtpSettingFiles FtpSettingFiles::forProgram()
{
    return inFolder(joinPath(appFolder(), QStringLiteral("Setting")));
}

bool SaveProfile(const FtpSettingFiles& files, const ConnectionProfile& p)
{
    if (p.Name.isEmpty())
        return false;
    const QString& f = files.userIni;
    const IniAccess own = IniAccess::OwnerOnly;
    // Every key is tried even when one fails, as each write stands alone.
    bool ok = IniWrite(f, p.Name, QStringLiteral("Server"), p.Server, own);
    ok = IniWrite(f, p.Name, QStringLiteral("UserName"), p.UserName, own) && ok;
    ok = IniWrite(f, p.Name, QStringLiteral("PassWord"), EncodePassword(p.Password), own) && ok;
    ok = IniWrite(f, p.Name, QStringLiteral("TransMode"), QString::number(int(p.TransMode)), own) && ok;
    ok = IniWrite(f, p.Name, QStringLiteral("LastPathLocal"), p.LastPathLocal, own) && ok;
    ok = IniWrite(f, p.Name, QStringLiteral("LastPathHost"), p.LastPathHost, own) && ok;
    const QString absent = QStringLiteral("\n");  // no value read from the file holds a line break
    auto extra = [&](const QString& key, const QString& value, bool isDefault) {
        if (!isDefault || IniRead(f, p.Name, key, absent) != absent)
            ok = IniWrite(f, p.Name, key, value, own) && ok;
    };
    extra(QStringLiteral("Protocol"), QString::number(int(p.Protocol)), p.Protocol == FtpProtocol::Plain);
    extra(QStringLiteral("KeyFile"), p.KeyFile, p.KeyFile.isEmpty());
    extra(QStringLiteral("PlainWarned"), p.PlainWarned ? QStringLiteral("1") : QStringLiteral("0"), !p.PlainWarned);
    return ok;
}

void LoadProfile(const FtpSettingFiles& files, ConnectionProfile& p)
{
    if (p.Name.isEmpty())
        return;
    const QString& f = files.userIni;
    p.Server = IniRead(f, p.Name, QStringLiteral("Server"), QString());
    p.UserName = IniRead(f, p.Name, QStringLiteral("UserName"), QString());
    p.Password = DecodePassword(IniRead(f, p.Name, QStringLiteral("PassWord"), QString()));
    p.TransMode =
        transferTypeFromInt(leadingNumber(IniRead(f, p.Name, QStringLiteral("TransMode"), QStringLiteral("0"))));
    p.LastPathLocal = IniRead(f, p.Name, QStringLiteral("LastPathLocal"), QString());
    p.LastPathHost = IniRead(f, p.Name, QStringLiteral("LastPathHost"), QString());
    p.Protocol = protocolFromInt(leadingNumber(IniRead(f, p.Name, QStringLiteral("Protocol"), QStringLiteral("0"))));
    p.KeyFile = IniRead(f, p.Name, QStringLiteral("KeyFile"), QString());
    p.PlainWarned = parseStoredBool(IniRead(f, p.Name, QStringLiteral("PlainWarned"), QStringLiteral("0")), false);
}

bool parseStoredBool(const QString& text, bool defaultValue)
{
    const QString t = text.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = t.toDouble(&isNumber);
    return isNumber ? number != 0 : defaultValue;
}

FtpProgramSettings LoadSettings(const FtpSettingFiles& files)
{
    FtpProgramSettings s;
    s.User = IniRead(files.ftpIni, kSkyport, QStringLiteral("User"), QString());
    s.ListCache =
        parseStoredBool(IniRead(files.ftpIni, kSkyport, QStringLiteral("ListCache"), QStringLiteral("1")), true);
    // The list 詳細設定 changed is read back; keys run from Extension0 up.
    QStringList extensions;
    for (int i = 0;; ++i) {
        const QString e = normalizedExtension(IniRead(files.ftpIni, kExtension, kExtension + QString::number(i), {}));
        if (e.isEmpty())
            break;
        extensions.append(e);
    }
    if (!extensions.isEmpty())
        s.Extensions = extensions;
    return s;
}

bool SaveSettings(const FtpSettingFiles& files, const FtpProgramSettings& settings)
{
    bool ok = IniWrite(files.ftpIni, kSkyport, QStringLiteral("User"), settings.User);
    ok = IniWrite(files.ftpIni, kSkyport, QStringLiteral("ListCache"),
                  settings.ListCache ? QStringLiteral("True") : QStringLiteral("False"))
         && ok;
    return ok;
}

bool SaveExtensionList(const FtpSettingFiles& files)
{
    IniDelete(files.ftpIni, kExtension);
    const QStringList list = TextExtensions();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!IniWrite(files.ftpIni, kExtension, kExtension + QString::number(i), list[i])) {
            // A half-written list is worse than none.
            IniDelete(files.ftpIni, kExtension);
            return false;
        }
    }
    return true;
}

QStringList ProfileNames(const FtpSettingFiles& files)
{
    return IniSections(files.userIni);
}

}  // namespace tw
