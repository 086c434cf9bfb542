#pragma once
// Paths picked in file dialogs, written relative to the file panel's folder
// when the SoutaiPath option is on.

#include <QString>

namespace tw {

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
