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
    QString error;             // Japanese description of the failure
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
    QString error;                // Japanese description of the failure, naming the file
    bool unencodable = false;     // failed on a character the encoding cannot hold
    bool writeProtected = false;  // the file's owner has no write permission on it
};

struct WriteOptions {
    bool ownerOnly = false;  // permissions 0600 (files holding passwords)
    bool sync = true;        // false only for throw-away files (the preview)
    // Permission bits of the written file; by default those of the file it
    // replaces (or what the umask leaves for a new one).
    std::optional<unsigned> permissions;
};

// Writes bytes atomically: a temporary file in the same folder, every byte
// checked as it is written and synced to the disk, then renamed over the
// target. On any failure (a full disk, a size limit, no permission) the old
// file is intact, the temporary file is gone and the error says why in
// Japanese. A symbolic link is written through: the file it points to is
// replaced and the link stays. A file whose owner has no write permission is
// refused (writeProtected) even where the process could replace it (root).
WriteResult writeFileAtomic(const QString& path, const QByteArray& data, const WriteOptions& options = {});

// The common causes of a failed file operation in Japanese, from errno.
QString fileErrorText(int errorNumber);

// The file a path finally names, following symbolic links (also one whose
// target does not exist yet); the path itself when it is no link.
QString resolveLinks(const QString& path);

// True when the file exists and its owner has no write permission on it
// (decided from the mode bits: root may write anything), or this user may
// not write it.
bool isWriteProtected(const QString& path);

// The permission bits of an existing file (links followed), if it exists.
std::optional<unsigned> filePermissions(const QString& path);

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
