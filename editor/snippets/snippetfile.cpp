#include "editor/snippets/snippetfile.h"

#include "common/appfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tw {

namespace {

const QChar kComma = u',';

bool breaksLayout(const QString& field)
{
    return field.contains(kComma) || field.contains(u'\r') || field.contains(u'\n');
}

bool breaksLayout(const TeigataEntry& e)
{
    return breaksLayout(e.Title) || breaksLayout(e.StartText) || breaksLayout(e.EndText) || breaksLayout(e.HotKey);
}

}  // namespace

QString snippetFilePath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("teigata.csv"));
}

QString snippetFileLine(const TeigataEntry& entry)
{
    return entry.Title + kComma + entry.StartText + kComma + entry.EndText + kComma + entry.HotKey;
}

std::optional<TeigataEntry> parseSnippetFileLine(const QString& line)
{
    const QStringList pieces = line.split(kComma);
    if (pieces.size() < 4)
        return std::nullopt;
    return TeigataEntry{pieces.at(0), pieces.at(1), pieces.at(2), pieces.at(3)};
}

SnippetLoadResult LoadSnippetFile(SnippetStore& store, const QString& path)
{
    SnippetLoadResult result;
    QList<TeigataEntry> loaded;
    if (QFileInfo::exists(path)) {
        // Read before touching the store: a file that cannot be read must not
        // cost the user the snippets already in memory.
        const ReadResult read = readTextFile(path, TextKind::Data);
        if (!read.ok) {
            result.ok = false;
            result.error = read.error;
            return result;
        }
        QStringList lines;
        if (!read.text.isEmpty()) {
            lines = read.text.split(QStringLiteral("\r\n"));
            if (read.text.endsWith(QStringLiteral("\r\n")))
                lines.removeLast();
        }
        loaded.reserve(lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const std::optional<TeigataEntry> entry = parseSnippetFileLine(lines.at(i));
            if (!entry) {
                result.stoppedAtLine = int(i + 1);
                result.unreadLines = int(lines.size() - i);
                break;
            }
            loaded.append(*entry);
        }
    }
    if (loaded.isEmpty() && result.stoppedAtLine == 0) {
        loaded = defaultSnippets();
        result.usedDefaults = true;
    }
    store.setEntries(loaded);
    return result;
}

WriteResult SaveSnippetFile(const QList<TeigataEntry>& entries, const QString& path)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const TeigataEntry& e : entries) {
        if (breaksLayout(e)) {
            WriteResult r;
            r.error = QStringLiteral("%1 を保存できませんでした。\n定型文「%2」にカンマ(,)か改行が含まれています。")
                          .arg(QDir::toNativeSeparators(path), e.Title);
            return r;
        }
        lines.append(snippetFileLine(e));
    }
    return writeLines(path, lines, TextEncoding::Cp932);
}

WriteResult SaveSnippetFile(const SnippetStore& store, const QString& path)
{
    return SaveSnippetFile(store.entries(), path);
}

}  // namespace tw
