#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

// CR LF pairs become LF; lone CRs stay as they are.
QString crLfToLf(const QString& text)
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
        if (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            continue;  // the LF that follows is kept
        out.append(s[i]);
    }
    return out;
}

WriteResult encodeAndWrite(const QString& path, const QString& text, TextEncoding enc)
{
    const EncodeResult encoded = encodeText(text, enc);
    if (!encoded.ok) {
        WriteResult r;
        r.error = QStringLiteral("%1 を保存できませんでした。\n文字 %2 はこのファイルの文字コード (%3) では保存できません。")
                      .arg(shownPath(path), describeChar(encoded.badChar), encodingName(enc));
        return r;
    }
    return writeFileAtomic(path, encoded.bytes);
}

}  // namespace

QString normaliseLineBreaks(const QString& text, bool* onlyLf)
{
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    bool sawCr = false;
    bool sawBareLf = false;
    bool needsChange = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == u'\r') {
            sawCr = true;
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
            else
                needsChange = true;
        } else if (s[i] == u'\n') {
            sawBareLf = true;
            needsChange = true;
        }
    }
    if (onlyLf)
        *onlyLf = sawBareLf && !sawCr;
    if (!needsChange)
        return text;
    QString out;
    out.reserve(n + n / 8 + 2);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(s + runStart, i - runStart);
        out.append(u"\r\n");
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(s + runStart, n - runStart);
    return out;
}

ReadResult readTextFile(const QString& path)
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
    bool onlyLf = false;
    r.text = normaliseLineBreaks(decodeAuto(bytes, &r.format.encoding), &onlyLf);
    r.format.lineEnd = onlyLf ? LineEnd::Lf : LineEnd::CrLf;
    r.ok = true;
    return r;
}

WriteResult writeFileAtomic(const QString& path, const QByteArray& data)
{
    WriteResult r;
    QSaveFile file(path);
    // Never write in place: a failure must leave the old file as it was.
    file.setDirectWriteFallback(false);
    // Without commit() the temporary file is removed when file goes away.
    // Qt 6.4's commit() ignores a failed flush of its buffer (a full disk
    // would "commit" a cut-off file), so flush and check first.
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush() && file.commit();
    if (!ok) {
        r.error = QStringLiteral("ファイルを保存できませんでした: %1\n%2").arg(shownPath(path), file.errorString());
        return r;
    }
    r.ok = true;
    return r;
}

WriteResult writeTextFile(const QString& path, const QString& text, const FileFormat& format)
{
    return encodeAndWrite(path, format.lineEnd == LineEnd::Lf ? crLfToLf(text) : text, format.encoding);
}

QStringList readLines(const QString& path, bool* ok, FileFormat* format)
{
    const ReadResult read = readTextFile(path);
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
