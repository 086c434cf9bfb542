#include "ftp/session/security.h"

#include "common/textfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <QtEndian>

namespace tw {

namespace {

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeOwnerOnly(const QString& file, const QByteArray& bytes)
{
    return writeFileAtomic(file, bytes, WriteOptions{.ownerOnly = true}).ok;
}

}  // namespace

FtpProtocol protocolFromInt(int value)
{
    return value == 1 ? FtpProtocol::Tls : value == 2 ? FtpProtocol::Sftp : FtpProtocol::Plain;
}

int defaultPort(FtpProtocol protocol)
{
    return protocol == FtpProtocol::Sftp ? 22 : 21;
}

QString trustKey(const QString& host, int port)
{
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

QString rememberedCertificate(const QString& file, const QString& key)
{
    if (file.isEmpty())
        return QString();
    for (const QByteArray& line : readAll(file).split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2 && QString::fromUtf8(parts[0]) == key)
            return QString::fromLatin1(parts[1]);
    }
    return QString();
}

bool rememberCertificate(const QString& file, const QString& key, const QString& fingerprint)
{
    if (file.isEmpty() || key.contains(u' ') || key.contains(u'\n'))
        return false;
    QByteArray out;
    for (const QByteArray& line : readAll(file).split('\n')) {
        const QByteArray t = line.trimmed();
        if (!t.isEmpty() && QString::fromUtf8(t.split(' ').value(0)) != key)
            out += t + '\n';
    }
    out += key.toUtf8() + ' ' + fingerprint.toLatin1() + '\n';
    return writeOwnerOnly(file, out);
}

bool rememberHostKey(const QString& file, const QString& host, int port, const QString& type, const QByteArray& keyBlob)
{
    if (file.isEmpty() || host.contains(u' ') || host.contains(u'\n') || type.isEmpty())
        return false;
    QByteArray out = readAll(file);
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += '\n';
    const QString name = port == 22 ? host : u'[' + host + QStringLiteral("]:") + QString::number(port);
    out += name.toUtf8() + ' ' + type.toLatin1() + ' ' + keyBlob.toBase64() + '\n';
    return writeOwnerOnly(file, out);
}

QString hostKeyFingerprint(const QByteArray& keyBlob)
{
    return QStringLiteral("SHA256:")
           + QString::fromLatin1(
               QCryptographicHash::hash(keyBlob, QCryptographicHash::Sha256).toBase64(QByteArray::OmitTrailingEquals));
}

QString hostKeyType(const QByteArray& keyBlob)
{
    if (keyBlob.size() < 4)
        return QString();
    const quint32 n = qFromBigEndian<quint32>(keyBlob.constData());
    if (n == 0 || n > 64 || qsizetype(n) + 4 > keyBlob.size())
        return QString();
    return QString::fromLatin1(keyBlob.mid(4, n));
}

}  // namespace tw
