#include "common/profilefile.h"

#include "common/textfile.h"

namespace tw {

namespace {

inline bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Only blanks and tabs are trimmed: an ideographic space belongs to a value.
QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool sectionName(const QString& line, QStringView* name)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']', 1);
    if (close < 0)
        return false;
    *name = trimBlanks(t.mid(1, close - 1));
    return true;
}

bool isSectionLine(const QString& line)
{
    QStringView unused;
    return sectionName(line, &unused);
}

// The key of a "key=value" line; false for comments and other lines.
bool keyOf(const QString& line, QStringView* key, qsizetype* equals)
{
    const QStringView t = trimBlanks(line);
    if (t.startsWith(u';'))
        return false;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = trimBlanks(QStringView(line).left(eq));
    *equals = eq;
    return true;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString valueOf(const QString& line, qsizetype equals)
{
    QStringView v = trimBlanks(QStringView(line).mid(equals + 1));
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() > ProfileFile::kMaxValue) {
        qsizetype cut = ProfileFile::kMaxValue;
        // Never leave half of a surrogate pair at the end.
        if (v[cut - 1].isHighSurrogate())
            --cut;
        v = v.left(cut);
    }
    return v.toString();
}

}  // namespace

void ProfileFile::load(const QString& path)
{
    m_path = path;
    bool ok = false;
    FileFormat format;
    m_lines = readLines(path, &ok, &format);
    m_encoding = ok ? format.encoding : TextEncoding::Cp932;
}

Result ProfileFile::save() const
{
    if (m_path.isEmpty())
        return Result::failure(QStringLiteral("保存先のファイルが決まっていません。"));
    qsizetype total = 0;
    for (const QString& line : m_lines)
        total += line.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& line : m_lines) {
        text += line;
        text += u"\r\n";
    }
    const WriteResult r = writeTextFile(m_path, text, FileFormat{m_encoding, LineEnd::CrLf});
    return r.ok ? Result::success() : Result::failure(r.error);
}

int ProfileFile::findSection(const QString& section) const
{
    const QStringView wanted = trimBlanks(section);
    for (int i = 0; i < m_lines.size(); ++i) {
        QStringView name;
        if (sectionName(m_lines.at(i), &name) && sameName(name, wanted))
            return i;
    }
    return -1;
}

int ProfileFile::sectionEnd(int header) const
{
    int end = header + 1;
    for (int i = header + 1; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (isSectionLine(line))
            break;
        if (!trimBlanks(line).isEmpty())
            end = i + 1;
    }
    return end;
}

int ProfileFile::findKey(int header, const QString& key) const
{
    const QStringView wanted = trimBlanks(key);
    for (int i = header + 1; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (isSectionLine(line))
            break;
        QStringView k;
        qsizetype eq;
        if (keyOf(line, &k, &eq) && sameName(k, wanted))
            return i;
    }
    return -1;
}

QString ProfileFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const int header = findSection(section);
    if (header < 0)
        return def;
    const int at = findKey(header, key);
    if (at < 0)
        return def;
    const QString& line = m_lines.at(at);
    return valueOf(line, line.indexOf(u'='));
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A value with line breaks becomes several lines in the file; the lines
    // here say the same as the file will after saving.
    const QStringList entry = normaliseLineBreaks(key + u'=' + value).split(QStringLiteral("\r\n"));
    const int header = findSection(section);
    if (header < 0) {
        m_lines << (u'[' + section + u']');
        m_lines << entry;
        return;
    }
    int at = findKey(header, key);
    if (at >= 0) {
        m_lines[at] = entry.first();
        ++at;
    } else {
        at = sectionEnd(header);
        m_lines.insert(at, entry.first());
        ++at;
    }
    for (qsizetype i = 1; i < entry.size(); ++i)
        m_lines.insert(at++, entry.at(i));
}

}  // namespace tw
