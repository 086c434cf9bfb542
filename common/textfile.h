#pragma once
// Whole-file and line-by-line text reading and writing. Files are written
// atomically: a temporary file in the same folder renamed over the target.

#include "textcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tw {

enum class LineEnd { CrLf, Lf };

// How a file was stored, so that saving it again keeps its form.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd lineEnd = LineEnd::CrLf;
};

struct ReadResult {
    bool ok = false;
    QString text;       // line breaks normalised to CR LF
    FileFormat format;  // encoding found, and Lf when the file used bare LF only
    QString error;      // Japanese description of the failure
};

// Reads a whole text file. Lone LF and lone CR become CR LF in the text; a
// file whose every break was a bare LF remembers LineEnd::Lf.
ReadResult readTextFile(const QString& path);

struct WriteResult {
    bool ok = false;
    QString error;  // Japanese description of the failure, naming the file
};

// Writes bytes atomically (temporary file + rename). The old file is intact
// when anything fails.
WriteResult writeFileAtomic(const QString& path, const QByteArray& data);

// Encodes the text (CR LF breaks, turned into LF for LineEnd::Lf) and writes
// it atomically. A character the encoding cannot hold fails the write
// before anything touches the disk.
WriteResult writeTextFile(const QString& path, const QString& text, const FileFormat& format = {});

// Lines of a CP932/UTF-8 file (separators CR LF, LF or CR); a missing file
// gives an empty list and ok=false.
QStringList readLines(const QString& path, bool* ok = nullptr, FileFormat* format = nullptr);
// Each line followed by CR LF.
WriteResult writeLines(const QString& path, const QStringList& lines, TextEncoding enc = TextEncoding::Cp932);

// The text with any CR, LF or CR LF break turned into CR LF.
QString normaliseLineBreaks(const QString& text, bool* onlyLf = nullptr);

}  // namespace tw
