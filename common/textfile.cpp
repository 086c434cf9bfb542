#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString encodingName(TextEncoding enc)
{
    return enc == TextEncoding::Cp932 ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8");
}

// CR LF pairs become the given break; lone CRs and LFs stay as they are.
QString crLfTo(const QString& text, QChar to)
{
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype first = -1;
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (s[i] == u'\r' && s[i + 1] == u'\n') {
            first = i;
            break;
        }
    }
    if (first < 0)
        return text;
    QString out;
    out.reserve(n);
    out.append(s, first);
    for (qsizetype i = first; i < n; ++i) {
        if (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n') {
            out.append(to);
            ++i;
            continue;
        }
        out.append(s[i]);
    }
    return out;
}

WriteResult encodeAndWrite(const QString& path, const QString& text, TextEncoding enc, const WriteOptions& options = {})
{
    const EncodeResult encoded = encodeText(text, enc);
    if (!encoded.ok) {
        WriteResult r;
        r.unencodable = true;
        r.error =
            QStringLiteral("%1 を保存できませんでした。\n文字 %2 はこのファイルの文字コード (%3) では保存できません。")
                .arg(shownPath(path), describeChar(encoded.badChar), encodingName(enc));
        return r;
    }
    return writeFileAtomic(path, encoded.bytes, options);
}

}  // namespace

QString formatStatusText(const FileFormat& format)
{
    QString text = format.encoding == TextEncoding::Cp932  ? QStringLiteral("Shift_JIS")
                   : format.encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8")
                                                           : QStringLiteral("UTF-8 BOM");
    switch (format.lineEnd) {
        case LineEnd::CrLf:
            return text + QStringLiteral(" CRLF");
        case LineEnd::Lf:
            return text + QStringLiteral(" LF");
        case LineEnd::Cr:
            break;
    }
    return text + QStringLiteral(" CR");
}

LineEnd LineEndCount::dominant() const
{
    if (lf > crLf && lf >= cr)
        return LineEnd::Lf;
    if (cr > crLf && cr > lf)
        return LineEnd::Cr;
    return LineEnd::CrLf;
}

QString normaliseLineBreaks(const QString& text, LineEndCount* count)
{
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    LineEndCount c;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r') {
            if (i + 1 < n && s[i + 1] == u'\n') {
                ++c.crLf;
                ++i;
            } else {
                ++c.cr;
            }
        } else if (s[i] == u'\n') {
            ++c.lf;
        }
    }
    if (count)
        *count = c;
    if (c.lf == 0 && c.cr == 0)
        return text;
    QString out;
    out.reserve(n + c.lf + c.cr);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = s[i];
        if (ch != u'\r' && ch != u'\n')
            continue;
        out.append(s + runStart, i - runStart);
        out.append(u"\r\n");
        if (ch == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(s + runStart, n - runStart);
    return out;
}

bool looksLikeBinary(const QByteArray& bytes)
{
    for (const char ch : bytes) {
        const uchar b = uchar(ch);
        if (b >= 0x20 || b == '\t' || b == '\n' || b == '\r' || b == '\f' || b == 0x1B)
            continue;
        return true;
    }
    return false;
}

QString fileErrorText(int e)
{
    switch (e) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("ディスクの空き容量が足りません。");
        case EFBIG:
            return QStringLiteral("ファイルが大きすぎて書き込めません（サイズの上限を超えました）。");
        case EACCES:
        case EPERM:
            return QStringLiteral("アクセスする権限がありません。");
        case EROFS:
            return QStringLiteral("読み取り専用の場所には書き込めません。");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("フォルダが見つかりません。");
        case EISDIR:
            return QStringLiteral("同じ名前のフォルダがあります。");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("ファイルが他のプログラムで使用中です。");
        case ENAMETOOLONG:
            return QStringLiteral("ファイル名が長すぎます。");
        case ELOOP:
            return QStringLiteral("シンボリックリンクが循環しています。");
        case EIO:
            return QStringLiteral("ディスクの読み書きでエラーが起きました。");
        default:
            return QStringLiteral("ファイルの書き込みに失敗しました（エラー番号 %1）。").arg(e);
    }
}

ReadResult readTextFile(const QString& path, TextKind kind, std::optional<TextEncoding> forced)
{
    ReadResult r;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.error = QStringLiteral("ファイルが見つかりません: %1").arg(shownPath(path));
        return r;
    }
    if (info.isDir()) {
        r.error = QStringLiteral("フォルダは開けません: %1").arg(shownPath(path));
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("ファイルを読み込めません: %1").arg(shownPath(path));
        return r;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        r.error = QStringLiteral("ファイルを読み込めません: %1").arg(shownPath(path));
        return r;
    }
    if (forced)
        r.format.encoding = *forced == TextEncoding::Cp932     ? TextEncoding::Cp932
                            : bytes.startsWith("\xEF\xBB\xBF") ? TextEncoding::Utf8Bom
                                                               : TextEncoding::Utf8;
    else
        r.format.encoding = kind == TextKind::Data ? detectDataEncoding(bytes) : detectDocumentEncoding(bytes);
    r.looksBinary = looksLikeBinary(bytes);
    LineEndCount breaks;
    r.text = normaliseLineBreaks(decodeText(bytes, r.format.encoding), &breaks);
    r.format.lineEnd = breaks.dominant();
    r.mixedLineEnds = breaks.mixed();
    r.ok = true;
    return r;
}

QString resolveLinks(const QString& path)
{
    QString resolved = path;
    // As many steps as the system follows before it gives up (ELOOP).
    for (int step = 0; step < 40; ++step) {
        const QFileInfo info(resolved);
        if (!info.isSymLink())
            return resolved;
        resolved = info.symLinkTarget();
    }
    return QString();
}

std::optional<unsigned> filePermissions(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return unsigned(st.st_mode & 07777);
}

bool isWriteProtected(const QString& path)
{
    // The owner's write bit first: root passes every access() check. A file
    // this user may not write is protected as well, even where the folder
    // would let a rename replace it.
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    return ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode)
           && (!(st.st_mode & S_IWUSR) || ::access(name.constData(), W_OK) != 0);
}

WriteResult writeFileAtomic(const QString& path, const QByteArray& data, const WriteOptions& options)
{
    WriteResult r;
    auto fail = [&](int e) {
        r.error = QStringLiteral("ファイルを保存できませんでした: %1\n%2").arg(shownPath(path), fileErrorText(e));
        return r;
    };
    // Renaming over a link would replace the link and leave the file it
    // points to as it was.
    const QString resolved = resolveLinks(path);
    if (resolved.isEmpty())
        return fail(ELOOP);
    const QFileInfo target(resolved);
    if (target.isDir())
        return fail(EISDIR);
    if (isWriteProtected(resolved)) {
        r.writeProtected = true;
        r.error = QStringLiteral("ファイルを保存できませんでした: %1\nこのファイルは書き込み禁止になっています。")
                      .arg(shownPath(path));
        return r;
    }
    // The temporary file lives beside the target, so the rename stays on one
    // file system and replaces the file in one step.
    QByteArray tmpl =
        QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail(errno);
    auto discard = [&](int e) {
        ::close(fd);
        ::unlink(tmpl.constData());
        return fail(e);
    };
    // Keep the permissions of the file being replaced (mkstemp makes 0600).
    mode_t mode = 0644;
    struct stat old;
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (options.permissions)
        mode = *options.permissions & 07777;
    if (options.ownerOnly)
        mode = 0600;
    if (::fchmod(fd, mode) != 0)
        return discard(errno);
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return discard(errno);
        }
        if (n == 0)
            return discard(EIO);
        p += n;
        left -= n;
    }
    if (options.sync && ::fsync(fd) != 0)
        return discard(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        return fail(e);
    }
    if (::rename(tmpl.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        return fail(e);
    }
    r.ok = true;
    return r;
}

WriteResult writeTextFile(const QString& path, const QString& text, const FileFormat& format,
                          const WriteOptions& options)
{
    switch (format.lineEnd) {
        case LineEnd::Lf:
            return encodeAndWrite(path, crLfTo(text, u'\n'), format.encoding, options);
        case LineEnd::Cr:
            return encodeAndWrite(path, crLfTo(text, u'\r'), format.encoding, options);
        case LineEnd::CrLf:
            break;
    }
    return encodeAndWrite(path, text, format.encoding, options);
}

QStringList readLines(const QString& path, bool* ok, FileFormat* format)
{
    const ReadResult read = readTextFile(path, TextKind::Data);
    if (ok)
        *ok = read.ok;
    if (format)
        *format = read.format;
    if (!read.ok || read.text.isEmpty())
        return {};
    QStringList lines = read.text.split(QStringLiteral("\r\n"));
    // The break that ends the last line does not start another one.
    if (read.text.endsWith(QStringLiteral("\r\n")))
        lines.removeLast();
    return lines;
}

WriteResult writeLines(const QString& path, const QStringList& lines, TextEncoding enc)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return encodeAndWrite(path, text, enc);
}

}  // namespace tw
