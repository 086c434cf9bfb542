#pragma once
// Paths: the pieces of "/" paths (server paths and the text of the FTP
// client's path boxes), local paths on QDir/QFileInfo, and paths picked in
// file dialogs, written relative to the file panel's folder when the
// SoutaiPath option is on.

#include <QString>
#include <QStringList>

namespace tw {

// ---- Paths as text, with a given separator ----------------------------------
// (joinPath of common/appfolder.h joins a folder and a name.)

// The folder with the separator at its end.
QString WithSeparator(const QString& folder, QChar separator = u'/');
// Trailing separators dropped, except a root's own ("/" stays "/").
QString withoutSeparator(const QString& path, QChar separator = u'/');
// The text after the last separator; empty when there is none.
QString FileNameOf(const QString& path, QChar separator);
// The text up to and including the last separator; empty when there is none.
QString FolderPartOf(const QString& path, QChar separator = u'/');
// One trailing separator dropped, then the text up to and including the last
// separator; without one, the text with the separator appended. The parent
// of "/" is "/".
QString ParentOf(const QString& path, QChar separator);
// The path, then each parent, until a parent repeats: the entries of a path box.
QStringList PathAncestors(const QString& path, QChar separator);

// ---- Local paths -------------------------------------------------------------

// An absolute local path without NUL: one that can be listed or probed.
bool isUsableLocalPath(const QString& path);
// The path cleaned (QDir::cleanPath): no "." or "..", no trailing "/" but a root's.
QString cleanLocalPath(const QString& path);
// A name in a local folder.
QString localFilePath(const QString& folder, const QString& name);

// ---- Relative paths of the editor's file dialogs -----------------------------

// The mount point of the volume a path is on (of its nearest existing
// folder when the path is not there); empty when none can be found.
QString volumeRootOf(const QString& path);

// The path of a file relative to a folder, with "/" separators: "./name",
// "./sub/name", "../name", "../../other/name". When no relative path exists
// (either side not absolute, no folder, or the file on another mounted
// volume than the folder, as on another drive) the path comes back
// unchanged, its "\" turned into "/".
QString MakeRelativePath(const QString& panelFolder, const QString& path);

}  // namespace tw
