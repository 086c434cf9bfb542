#include "ftp/client/mdl_main.h"

#include "ftp/session/transfertype.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace tw {

QString FormatSizeKB(qint64 size)
{
    qint64 kb = 0;
    if (size > 0)
        kb = size < 1024 ? 1 : size / 1024;
    QString digits = QString::number(kb);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits + QStringLiteral("KB");
}

QString FormatFileTime(const QDateTime& time)
{
    if (!time.isValid())
        return QString();
    const QDateTime local = time.toLocalTime();
    static const QLocale locale = QLocale::system();
    return locale.toString(local.date(), QLocale::ShortFormat) + u' '
           + local.time().toString(QStringLiteral("H:mm:ss"));
}

QString ExtensionOf(const QString& name)
{
    return extensionOf(name);
}

QString TrimAtNul(const QString& text)
{
    const qsizetype at = text.indexOf(QChar(u'\0'));
    return at < 0 ? text : text.left(at);
}

namespace {

DirEntry entryOf(const QFileInfo& fi)
{
    DirEntry e;
    e.name = fi.fileName();
    e.folder = fi.isDir();
    e.size = e.folder ? 0 : fi.size();
    e.lastWrite = fi.lastModified().toUTC();
    return e;
}

}  // namespace

QList<DirEntry> LocalFileList(const QString& folder)
{
    QList<DirEntry> out;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    out.reserve(infos.size());
    for (const QFileInfo& fi : infos)
        out.append(entryOf(fi));
    return out;
}

int LocalFindFile(const QString& path, DirEntry& entry)
{
    const QFileInfo fi(cleanLocalPath(path));
    if (!fi.exists())
        return 0;
    entry = entryOf(fi);
    return 1;
}

ListItem MakeListItem(const DirEntry& entry, bool remote)
{
    ListItem item;
    item.name = TrimAtNul(entry.name);
    item.folder = entry.folder;
    item.lastWrite = entry.lastWrite;
    item.timeText = FormatFileTime(entry.lastWrite);
    if (remote)
        item.accessText = entry.accessText();
    if (entry.folder) {
        item.icon = ListItem::FolderIcon;
        item.typeText = QStringLiteral("<フォルダ>");
    } else {
        item.size = entry.size;
        item.sizeText = FormatSizeKB(entry.size);
        item.typeText = ExtensionOf(item.name).toUpper();
        item.icon = isTextName(item.name) ? ListItem::TextIcon : ListItem::OtherIcon;
    }
    return item;
}

QString NewFolderName(const QStringList& names, bool remote)
{
    const QString base = remote ? QStringLiteral("NewFolder") : QStringLiteral("新しいフォルダ");
    qsizetype count = 0;
    for (const QString& n : names) {
        if (n.startsWith(base, Qt::CaseSensitive))
            ++count;
    }
    return count == 0 ? base : base + QString::number(count + 1);
}

}  // namespace tw
