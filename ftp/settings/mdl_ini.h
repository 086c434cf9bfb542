#pragma once
// The FTP client's own INI module (User.ini, Ftp.ini). Deliberately simple
// and exact: a header is a line whose first character is "[" and last "]",
// names and keys match case-sensitively without trimming, a key line is
// key + "=" + value with the value taken as it stands, and any other line
// passes through untouched. Files are CP932 with CR LF, rewritten whole
// through a temporary file.

#include <QString>
#include <QStringList>

namespace tw {

// Who may read a file the module writes. OwnerOnly files (User.ini, which
// holds passwords) are never readable by others, not even for a moment.
enum class IniAccess { Keep, OwnerOnly };

// The value of the first key line of the section, or the default.
QString IniRead(const QString& file, const QString& section, const QString& key, const QString& defaultValue);

// Replaces the first key line of the section, or adds the key at the end of
// the section, or adds the section at the end of the file. False when the
// file could not be written, or when a section, key or value holds a line
// break (which would forge other lines).
bool IniWrite(const QString& file, const QString& section, const QString& key, const QString& value,
              IniAccess access = IniAccess::Keep);

// Removes the section's header and its lines. False when the file did not
// exist or could not be written.
bool IniDelete(const QString& file, const QString& section);

// 0 when the line begins with the prefix (exact, case-sensitive), else 1.
int LineStartsWith(const QString& line, const QString& prefix);

// Every section name of the file, in file order; empty when it is missing.
QStringList IniSections(const QString& file);

// The lines of a file (an empty file is one empty line); false when missing.
bool readIniLines(const QString& file, QStringList& lines);
// Writes each line followed by CR LF, creating the file's folder if needed.
bool writeIniLines(const QString& file, const QStringList& lines, IniAccess access = IniAccess::Keep);

}  // namespace tw
