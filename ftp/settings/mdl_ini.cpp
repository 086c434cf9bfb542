#include "ftp/settings/mdl_ini.h"

#include "common/textcodec.h"
#include "common/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

namespace {

bool isHeader(const QString& line)
{
    return line.size() >= 2 && line.front() == u'[' && line.back() == u']';
}

QString headerName(const QString& line)
{
    return line.mid(1, line.size() - 2);
}

bool hasBreak(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

}  // namespace

int LineStartsWith(const QString& line, const QString& prefix)
{
    return line.startsWith(prefix, Qt::CaseSensitive) ? 0 : 1;
}

bool readIniLines(const QString& file, QStringList& lines)
{
    lines.clear();
    if (!QFileInfo(file).isFile())
        return false;
    const ReadResult r = readTextFile(file, TextKind::Data);
    if (!r.ok)
        return false;
    lines = r.text.split(QStringLiteral("\r\n"));
    // The break that ends the last line does not start another one; an empty
    // file stays one empty line.
    if (lines.size() > 1 && lines.back().isEmpty())
        lines.removeLast();
    return true;
}

bool writeIniLines(const QString& file, const QStringList& lines, IniAccess access)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    const EncodeResult encoded = encodeCp932(text);
    if (!encoded.ok)
        return false;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    // Owner-only from the start, so a password file is never readable by others.
    return writeFileAtomic(file, encoded.bytes, WriteOptions{.ownerOnly = access == IniAccess::OwnerOnly}).ok;
}

QString IniRead(const QString& file, const QString& section, const QString& key, const QString& defaultValue)
{
    QStringList lines;
    if (!readIniLines(file, lines))
        return defaultValue;
    const QString header = u'[' + section + u']';
    const QString prefix = key + u'=';
    qsizetype i = lines.indexOf(header);
    if (i < 0)
        return defaultValue;
    for (++i; i < lines.size() && !isHeader(lines[i]); ++i) {
        if (LineStartsWith(lines[i], prefix) == 0)
            return lines[i].mid(prefix.size());
    }
    return defaultValue;
}

bool IniWrite(const QString& file, const QString& section, const QString& key, const QString& value, IniAccess access)
{
    if (hasBreak(section) || hasBreak(key) || hasBreak(value))
        return false;
    const QString header = u'[' + section + u']';
    const QString prefix = key + u'=';
    const QString newLine = prefix + value;

    QStringList lines;
    if (!readIniLines(file, lines))
        return writeIniLines(file, {header, newLine}, access);

    enum { NotSeen, Inside, Done } state = NotSeen;
    bool haveSection = false;
    QString current;
    QStringList out;
    out.reserve(lines.size() + 2);
    for (QString line : std::as_const(lines)) {
        if (isHeader(line)) {
            current = headerName(line);
            haveSection = true;
        }
        if (haveSection && current == section) {
            if (state == NotSeen)
                state = Inside;
        } else if (haveSection && state == Inside) {
            // The section ended without the key: add it before an empty
            // separator line, so the separator stays between the sections.
            if (!out.back().isEmpty()) {
                out.append(newLine);
            } else {
                out.back() = newLine;
                out.append(QString());
            }
            state = Done;
        }
        if (state == Inside && LineStartsWith(line, prefix) == 0) {
            line = newLine;
            state = Done;
        }
        out.append(line);
    }
    if (state == NotSeen) {
        out.append(header);
        out.append(newLine);
    } else if (state == Inside) {
        out.append(newLine);
    }
    return writeIniLines(file, out, access);
}

bool IniDelete(const QString& file, const QString& section)
{
    QStringList lines;
    if (!readIniLines(file, lines))
        return false;
    const QString header = u'[' + section + u']';
    QStringList out;
    bool skipping = false;
    for (const QString& line : std::as_const(lines)) {
        if (isHeader(line))
            skipping = line == header;
        if (!skipping)
            out.append(line);
    }
    return writeIniLines(file, out);
}

QStringList IniSections(const QString& file)
{
    QStringList lines;
    QStringList names;
    if (!readIniLines(file, lines))
        return names;
    for (const QString& line : std::as_const(lines)) {
        if (isHeader(line))
            names.append(headerName(line));
    }
    return names;
}

}  // namespace tw
