#pragma once
// The FTP client's shared helpers (Mdl_Main): the texts of a list item,
// local listings and the names the window generates. The path pieces
// (ParentOf, FileNameOf, PathAncestors) are the suite's, in common/paths.h.

#include "ftp/session/direntry.h"
#include "common/paths.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tw {

// "0KB"; "1KB" for 1 to 1023 bytes; otherwise whole kilobytes, the remainder
// dropped, with thousands separators ("1,536KB").
QString FormatSizeKB(qint64 size);

// Short date, a space, and the time with seconds, in local time.
QString FormatFileTime(const QDateTime& time);

// The text after the last "."; empty when there is none.
QString ExtensionOf(const QString& name);
// The text up to its first NUL.
QString TrimAtNul(const QString& text);

// The entries of a local folder ("." and ".." left out), times in UTC.
// Symbolic links count as what they point to.
QList<DirEntry> LocalFileList(const QString& folder);
// 1 with the entry of a local path, else 0.
int LocalFindFile(const QString& path, DirEntry& entry);

// One row of a pane, built from a directory entry.
struct ListItem {
    enum Icon { FolderIcon = 1, TextIcon = 2, OtherIcon = 3 };
    QString name;
    QString sizeText;    // "" for folders
    QString typeText;    // upper-cased extension, or "<フォルダ>"
    QString timeText;    // local time
    QString accessText;  // remote only: "755"
    int icon = OtherIcon;
    bool folder = false;
    // Sort keys.
    qint64 size = 0;
    QDateTime lastWrite;
};
ListItem MakeListItem(const DirEntry& entry, bool remote);

// "NewFolder" (remote) or "新しいフォルダ" (local); with n names starting
// with it, that base + (n + 1).
QString NewFolderName(const QStringList& names, bool remote);

}  // namespace tw
