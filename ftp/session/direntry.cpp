#include "ftp/session/direntry.h"

#include <QStringList>

namespace tw {

quint32 accessFromMode(uint mode)
{
    return (((mode >> 6) & 7u) << 8) | (((mode >> 3) & 7u) << 4) | (mode & 7u);
}

quint32 accessFromPermissionText(QStringView text)
{
    if (text.size() < 9)
        return 0;
    uint mode = 0;
    for (int i = 0; i < 9; ++i) {
        const QChar c = text[i];
        const uint bit = 1u << (8 - i);
        switch (i % 3) {
            case 0:
                if (c == u'r')
                    mode |= bit;
                break;
            case 1:
                if (c == u'w')
                    mode |= bit;
                break;
            default:
                // s and t carry execute, S and T do not.
                if (c == u'x' || c == u's' || c == u't')
                    mode |= bit;
                break;
        }
    }
    return accessFromMode(mode);
}

bool isSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u'\0' || c == u'\r' || c == u'\n')
            return false;
    }
    return true;
}

namespace {

QDateTime parseMlsdTime(const QByteArray& text)
{
    // YYYYMMDDHHMMSS with optional fraction.
    if (text.size() < 14)
        return {};
    bool ok = true;
    auto num = [&](int pos, int len) {
        bool good = false;
        const int v = text.mid(pos, len).toInt(&good);
        ok = ok && good;
        return v;
    };
    const QDate date(num(0, 4), num(4, 2), num(6, 2));
    const QTime time(num(8, 2), num(10, 2), num(12, 2));
    if (!ok || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

bool parseMlsdLine(const QByteArray& line, const NameDecoder& decode, DirEntry& entry)
{
    QByteArray text = line;
    while (text.endsWith('\r') || text.endsWith('\n'))
        text.chop(1);
    // An MLST reply line starts with a space before the facts.
    if (text.startsWith(' '))
        text.remove(0, 1);
    const qsizetype space = text.indexOf(' ');
    if (space < 0)
        return false;
    const QByteArray facts = text.left(space);
    if (facts.isEmpty())
        return false;
    DirEntry e;
    e.name = decode(text.mid(space + 1));
    // A line without a type is no entry: it may be the tail of a name that
    // held a line break.
    bool typed = false;
    for (const QByteArray& fact : facts.split(';')) {
        const qsizetype eq = fact.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = fact.left(eq).toLower();
        const QByteArray value = fact.mid(eq + 1);
        if (key == "type") {
            typed = true;
            const QByteArray type = value.toLower();
            if (type == "cdir" || type == "pdir") {
                e.folder = true;
                e.name = type == "cdir" ? QStringLiteral(".") : QStringLiteral("..");
            } else {
                e.folder = type == "dir";
            }
        } else if (key == "size" || key == "sizd") {
            e.size = value.toLongLong();
        } else if (key == "modify") {
            e.lastWrite = parseMlsdTime(value);
        } else if (key == "unique") {
            e.unique = QString::fromLatin1(value);
        } else if (key == "unix.mode") {
            // Some servers write the octal number with Python's "0o" prefix.
            const QByteArray digits = value.startsWith("0o") || value.startsWith("0O") ? value.mid(2) : value;
            bool ok = false;
            const uint mode = digits.toUInt(&ok, 8);
            if (ok)
                e.access = accessFromMode(mode);
        }
    }
    if (!typed)
        return false;
    if (e.folder)
        e.size = 0;
    entry = e;
    return true;
}

bool parseListLine(const QByteArray& line, const NameDecoder& decode, DirEntry& entry, const QDateTime& nowUtc)
{
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    QByteArray text = line;
    while (text.endsWith('\r') || text.endsWith('\n'))
        text.chop(1);
    if (text.size() < 10)
        return false;
    const char kind = text[0];
    if (kind != '-' && kind != 'd' && kind != 'l')
        return false;

    // Tokens with their start positions, so the name keeps its own spaces.
    struct Token {
        QByteArray text;
        qsizetype end;
    };
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && tokens.size() < 12) {
        while (i < n && text[i] == ' ')
            ++i;
        const qsizetype start = i;
        while (i < n && text[i] != ' ')
            ++i;
        if (i > start)
            tokens.append({text.mid(start, i - start), i});
    }
    // Find "<size> <month> <day> <year-or-time>" after the mode token.
    for (qsizetype t = 1; t + 3 < tokens.size(); ++t) {
        const QByteArray month = tokens[t].text.toLower();
        int m = 0;
        for (int k = 0; k < 12; ++k) {
            if (month == months[k])
                m = k + 1;
        }
        if (m == 0)
            continue;
        bool sizeOk = false;
        const qint64 size = tokens[t - 1].text.toLongLong(&sizeOk);
        bool dayOk = false;
        const int day = tokens[t + 1].text.toInt(&dayOk);
        if (!sizeOk || !dayOk)
            continue;
        const QByteArray yt = tokens[t + 2].text;
        QTime time(0, 0);
        int year = 0;
        if (yt.contains(':')) {
            const QList<QByteArray> hm = yt.split(':');
            time = QTime(hm.value(0).toInt(), hm.value(1).toInt());
            year = nowUtc.date().year();
            // No year given: the most recent such date not far in the future.
            const QDate candidate(year, m, day);
            if (candidate.isValid() && QDateTime(candidate, time, Qt::UTC) > nowUtc.addDays(1))
                --year;
        } else {
            bool yearOk = false;
            year = yt.toInt(&yearOk);
            if (!yearOk)
                continue;
        }
        qsizetype nameStart = tokens[t + 2].end;
        if (nameStart < n && text[nameStart] == ' ')
            ++nameStart;
        while (nameStart < n && text[nameStart] == ' ')
            ++nameStart;
        QByteArray rawName = text.mid(nameStart);
        if (rawName.isEmpty())
            return false;
        if (kind == 'l') {
            const qsizetype arrow = rawName.indexOf(" -> ");
            if (arrow > 0)
                rawName.truncate(arrow);
        }
        DirEntry e;
        e.name = decode(rawName);
        e.folder = kind == 'd';
        e.size = e.folder ? 0 : size;
        const QDate date(year, m, day);
        if (date.isValid() && time.isValid())
            e.lastWrite = QDateTime(date, time, Qt::UTC);
        e.access = accessFromPermissionText(QString::fromLatin1(text.mid(1, 9)));
        entry = e;
        return true;
    }
    return false;
}

ParsedListing parseListing(const QByteArray& data, bool mlsd, const NameDecoder& decode, const QDateTime& nowUtc)
{
    ParsedListing result;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        DirEntry e;
        const bool ok = mlsd ? parseMlsdLine(line, decode, e) : parseListLine(line, decode, e, nowUtc);
        if (!ok || e.name == u"." || e.name == u"..")
            continue;
        if (!isSafeEntryName(e.name)) {
            result.rejected.append(e.name);
            continue;
        }
        result.entries.append(e);
    }
    return result;
}

namespace {

bool wildcardMatch(QStringView name, QStringView pattern)
{
    // Iterative matcher with one backtrack point: linear for typical patterns.
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

bool matchesPattern(const QString& name, const QString& pattern)
{
    if (pattern.isEmpty() || pattern == u"*" || pattern == u"*.*")
        return true;
    return wildcardMatch(name, pattern);
}

}  // namespace tw
