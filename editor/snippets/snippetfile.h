#pragma once
// The snippet file teigata.csv (version 2): CP932, one entry per line ended
// by CR LF, Title,StartText,EndText,HotKey joined by single commas, nothing
// quoted, no header line. The Snipport converter writes the same layout.

#include "editor/snippets/snippetstore.h"
#include "common/textfile.h"

#include <QList>
#include <QString>

#include <optional>

namespace tw {

// app/tools/Setting/teigata.csv
QString snippetFilePath(const QString& appFolder);

// One line of the file without its CR LF.
QString snippetFileLine(const TeigataEntry& entry);
// The first four comma-separated pieces of a line, untrimmed; further pieces
// are dropped. Nothing when the line has fewer than four pieces.
std::optional<TeigataEntry> parseSnippetFileLine(const QString& line);

struct SnippetLoadResult {
    bool ok = true;  // false: the file exists but could not be read; the store was left as it was
    QString error;   // Japanese, naming the file, when !ok
    bool usedDefaults = false;
    int stoppedAtLine = 0;  // 1-based number of the short line that ended the loading; 0 when read to the end
    int unreadLines = 0;    // lines from that one to the end that did not reach the store
};

// Replaces the store with the file's entries. A missing file, or one with no
// lines, gives the five defaults (they reach the file only when it is next
// saved). A line with fewer than four pieces (an empty line too) ends the
// loading there: the entries before it stay, no defaults are added. The file
// is CP932 unless it starts with a UTF-8 BOM.
// The caller refreshes the menus afterwards in every case the store changed
// (ok), also after an early stop, so no menu item names an entry that is gone.
SnippetLoadResult LoadSnippetFile(SnippetStore& store, const QString& path);

// Writes every entry, in order, atomically in CP932. Fails, leaving the old
// file intact and naming the file in a Japanese error, when it cannot be
// written, when a character cannot be held by CP932, or when a field holds a
// comma or a raw line break (the file would read back differently).
WriteResult SaveSnippetFile(const QList<TeigataEntry>& entries, const QString& path);
WriteResult SaveSnippetFile(const SnippetStore& store, const QString& path);

}  // namespace tw
