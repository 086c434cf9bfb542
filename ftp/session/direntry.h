#pragma once
// The directory-entry record of a listing and the parsers of the two listing
// forms servers send: MLSD facts and the Unix "ls -l" lines of LIST.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace tw {

struct DirEntry {
    static constexpr quint32 FolderAttribute = 0x10;
    static constexpr quint32 NormalAttribute = 0x80;

    QString name;
    bool folder = false;
    qint64 size = 0;
    QDateTime lastWrite;  // UTC from MLSD; as listed (taken as UTC) from LIST
    // The permission digits read as a hexadecimal number: rwxr-xr-x is 0x755,
    // so its hexadecimal rendering is the three digits. 0 when unknown.
    quint32 access = 0;
    // The server's identity of the file or folder (MLSD "unique"), or empty.
    QString unique;

    quint32 attributes() const { return folder ? FolderAttribute : NormalAttribute; }
    // "755"; "0" when the server gave no permissions.
    QString accessText() const { return QString::number(access, 16); }
};

// A Unix mode (only the low nine bits count) as the access field: 0755 -> 0x755.
quint32 accessFromMode(uint mode);
// "rwxr-xr-x" (nine characters, s/t forms included) as the access field.
quint32 accessFromPermissionText(QStringView text);

// A name that may be joined to a folder to make a path: not empty, not "."
// or "..", and free of "/", "\", NUL, CR and LF. A server is not trusted to
// send only such names.
bool isSafeEntryName(const QString& name);

// Names in a listing are bytes in the connection's name encoding.
using NameDecoder = std::function<QString(const QByteArray&)>;

// One line of MLSD data or of an MLST reply ("facts; name", an MLST line
// with a leading space). The name is whatever follows the first space.
bool parseMlsdLine(const QByteArray& line, const NameDecoder& decode, DirEntry& entry);

// One line of a Unix LIST. "total" lines, blank lines and lines of other
// forms give false. Times without a year are placed in the year that puts
// them no later than a day after now.
bool parseListLine(const QByteArray& line, const NameDecoder& decode, DirEntry& entry,
                   const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());

struct ParsedListing {
    QList<DirEntry> entries;  // "." and ".." and unsafe names left out
    QStringList rejected;     // names that could not be used (unsafe)
};

// A whole listing (lines ended by CR LF or LF).
ParsedListing parseListing(const QByteArray& data, bool mlsd, const NameDecoder& decode,
                           const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());

// Windows-style search patterns: "*" and "*.*" match every name (names
// without a dot too); otherwise "*" and "?" are wildcards, letter case ignored.
bool matchesPattern(const QString& name, const QString& pattern);

}  // namespace tw
