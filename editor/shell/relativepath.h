#pragma once
// Paths picked in file dialogs, written relative to the file panel's folder
// when the SoutaiPath option is on.

#include <QString>

namespace tw {

// The path of a file relative to a folder, with "/" separators: "./name",
// "./sub/name", "../name", "../../other/name". When no relative path exists
// (either side not absolute, or no folder) the path comes back unchanged,
// its "\" turned into "/".
QString MakeRelativePath(const QString& panelFolder, const QString& path);

}  // namespace tw
