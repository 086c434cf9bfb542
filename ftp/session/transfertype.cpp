#include "ftp/session/transfertype.h"

#include <mutex>

namespace tw {

TransferType transferTypeFromInt(int value)
{
    switch (value) {
        case 1:
            return TransferType::Ascii;
        case 2:
            return TransferType::Binary;
        default:
            return TransferType::Automatic;
    }
}

const QStringList& BuiltInTextExtensions()
{
    static const QStringList list = {
        QStringLiteral("CGI"),   QStringLiteral("CSS"), QStringLiteral("HTM"), QStringLiteral("HTML"),
        QStringLiteral("JAVA"),  QStringLiteral("JS"),  QStringLiteral("PL"),  QStringLiteral("SHTM"),
        QStringLiteral("SHTML"), QStringLiteral("TXT"),
    };
    return list;
}

namespace {
// A transfer reads the list on its own thread while the window may set it.
std::mutex g_extensionsMutex;
QStringList& currentTextExtensions()
{
    static QStringList list = BuiltInTextExtensions();
    return list;
}
}  // namespace

QStringList TextExtensions()
{
    std::lock_guard lock(g_extensionsMutex);
    return currentTextExtensions();
}

void setTextExtensions(const QStringList& extensions)
{
    std::lock_guard lock(g_extensionsMutex);
    currentTextExtensions() = extensions;
}

QString normalizedExtension(const QString& text)
{
    QString e = text.trimmed();
    if (e.startsWith(u'.'))
        e.remove(0, 1);
    for (const QChar c : e) {
        // It is stored as an INI value and compared with the text after a
        // name's last dot.
        if (c.isSpace() || c == u'.' || c == u'/' || c == u'\\' || c == u'=' || c.unicode() < 0x20)
            return QString();
    }
    return e.toUpper();
}

QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

bool isTextName(const QString& name)
{
    const QString ext = extensionOf(name);
    return !ext.isEmpty() && TextExtensions().contains(ext, Qt::CaseInsensitive);
}

TransferType ModeForName(const QString& path)
{
    const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return isTextName(path.mid(sep + 1)) ? TransferType::Ascii : TransferType::Binary;
}

TransferType resolveTransferType(TransferType type, const QString& path)
{
    return type == TransferType::Automatic ? ModeForName(path) : type;
}

}  // namespace tw
