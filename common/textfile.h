#pragma once
// Whole-file and line-by-line text reading and writing. Files are written
// atomically: a temporary file in the same folder renamed over the target.

#include "common/textcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tw {

enum class LineEnd { CrLf, Lf, Cr };

// Settings and data files are CP932 unless they carry a BOM; documents are
// detected (see detectDocumentEncoding).
enum class TextKind { Data, Document };

// How a file was stored, so that saving it again keeps its form.
struct FileFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    LineEnd lineEnd = LineEnd::CrLf;
};

struct ReadResult {
    bool ok = false;
    QString text;       // line breaks normalised to CR LF
    FileFormat format;  // encoding found, and the file's most frequent line end
    bool mixedLineEnds = false;
    bool looksBinary = false;  // NUL bytes or control characters a text file does not hold
    QString error;      // Japanese description of the failure
};

// Reads a whole text file. Every break becomes CR LF in the text; the format
// remembers the break the file used most, so saving writes that one. A
// forced encoding replaces the detection (UTF-8 keeps a BOM the file has).
ReadResult readTextFile(const QString& path, TextKind kind, std::optional<TextEncoding> forced = std::nullopt);

// True when the bytes hold NUL or control characters other than tab, line
// breaks, form feed and escape: such a file is probably not text.
bool looksLikeBinary(const QByteArray& bytes);

struct WriteResult {
    bool ok = false;
    QString error;  // Japanese description of the failure, naming the file
    bool unencodable = false;  // failed on a character the encoding cannot hold
};

struct WriteOptions {
    bool ownerOnly = false;  // permissions 0600 (files holding passwords)
    bool sync = true;        // false only for throw-away files (the preview)
};

// Writes bytes atomically: a temporary file in the same folder, every byte
// checked as it is written and synced to the disk, then renamed over the
// target. On any failure (a full disk, a size limit, no permission) the old
// file is intact, the temporary file is gone and the error says why in
// Japanese.
WriteResult writeFileAtomic(const QString& path, const QByteArray& data, const WriteOptions& options = {});

// The common causes of a failed file operation in Japanese, from errno.
QString fileErrorText(int errorNumber);

// Encodes the text (CR LF breaks, turned into LF for LineEnd::Lf) and writes
// it atomically. A character the encoding cannot hold fails the write
// before anything touches the disk.
WriteResult writeTextFile(const QString& path, const QString& text, const FileFormat& format = {},
                          const WriteOptions& options = {});

// Lines of a settings or data file (separators CR LF, LF or CR); a missing
// file gives an empty list and ok=false.
QStringList readLines(const QString& path, bool* ok = nullptr, FileFormat* format = nullptr);
// Each line followed by CR LF.
WriteResult writeLines(const QString& path, const QStringList& lines, TextEncoding enc = TextEncoding::Cp932);

// How the status bar names a stored form: "Shift_JIS CRLF", "UTF-8 BOM LF".
QString formatStatusText(const FileFormat& format);

struct LineEndCount {
    qsizetype crLf = 0, lf = 0, cr = 0;
    LineEnd dominant() const;  // the most frequent; CR LF when none or tied with it
    bool mixed() const { return (crLf > 0) + (lf > 0) + (cr > 0) > 1; }
};

// The text with any CR, LF or CR LF break turned into CR LF.
QString normaliseLineBreaks(const QString& text, LineEndCount* count = nullptr);

}  // namespace tw
