#include "editor/snippets/snippetstore.h"

namespace tw {

QList<TeigataEntry> defaultSnippets()
{
    return {
        {QStringLiteral("改行"), QStringLiteral("<br>"), QString(), QStringLiteral("Shift+Enter")},
        {QStringLiteral("Cの基本文型"), QStringLiteral("#include <stdio.h>\\nint main(void)\\n{\\n\\n"),
         QStringLiteral("\\n  return (0);\\n}"), QStringLiteral("Shift+Ctrl+C")},
        {QStringLiteral("段落"), QStringLiteral("<p>"), QStringLiteral("</p>"), QStringLiteral("Shift+Ctrl+P")},
        {QStringLiteral("縦書き表示"), QStringLiteral("<div id=oDIV style=\"writing-mode:tb-rl\">"),
         QStringLiteral("</div>"), QString()},
        {QStringLiteral("立体区切り"), QStringLiteral("_/").repeated(19), QString(), QString()},
    };
}

void SnippetStore::append(const TeigataEntry& entry)
{
    m_entries.append(entry);
    emit changed();
}

void SnippetStore::insert(qsizetype row, const TeigataEntry& entry)
{
    if (row < 0 || row > m_entries.size())
        return;
    m_entries.insert(row, entry);
    emit changed();
}

void SnippetStore::replace(qsizetype row, const TeigataEntry& entry)
{
    if (!isValidRow(row))
        return;
    m_entries[row] = entry;
    emit changed();
}

void SnippetStore::removeAt(qsizetype row)
{
    if (!isValidRow(row))
        return;
    m_entries.removeAt(row);
    emit changed();
}

void SnippetStore::setEntries(const QList<TeigataEntry>& entries)
{
    m_entries = entries;
    emit changed();
}

}  // namespace tw
