#include "editor/snippets/snippetedit.h"

#include "editor/document/editbuffer.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippettext.h"
#include "common/textcodec.h"

namespace tw {

namespace {

QString fieldProblem(const QString& label, const QString& text, bool singleLine)
{
    if (text.contains(u','))
        return QStringLiteral(
                   "%1にカンマ(,)は使えません。\n"
                   "定型文設定ファイルではカンマが項目の区切りになるため、次に読み込んだときに内容がずれてしまいます。"
                   "HTML の中では &#44; と書くことができます。")
            .arg(label);
    if (singleLine
        && (text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar::ParagraphSeparator)
            || text.contains(QChar::LineSeparator)))
        return QStringLiteral("%1に改行は使えません。").arg(label);
    const EncodeResult encoded = encodeCp932(text);
    if (!encoded.ok)
        return QStringLiteral("%1の文字 %2 は定型文設定ファイル (Shift_JIS) に保存できません。")
            .arg(label, describeChar(encoded.badChar));
    return QString();
}

}  // namespace

SnippetBoxes boxesFromEntry(const TeigataEntry& entry)
{
    return {entry.Title, DecodeLineBreaks(entry.StartText), DecodeLineBreaks(entry.EndText), entry.HotKey};
}

TeigataEntry entryFromBoxes(const SnippetBoxes& boxes)
{
    return {boxes.title, EncodeLineBreaks(boxes.start), EncodeLineBreaks(boxes.end), boxes.hotKey};
}

QString snippetBoxesProblem(const SnippetBoxes& boxes)
{
    for (const QString& p : {fieldProblem(QStringLiteral("定型文のタイトル"), boxes.title, true),
                             fieldProblem(QStringLiteral("開始タグ"), boxes.start, false),
                             fieldProblem(QStringLiteral("終了タグ"), boxes.end, false),
                             fieldProblem(QStringLiteral("割り当てるキー"), boxes.hotKey, true)}) {
        if (!p.isEmpty())
            return p;
    }
    return QString();
}

Result addSnippet(SnippetStore& store, const SnippetBoxes& boxes)
{
    const QString problem = snippetBoxesProblem(boxes);
    if (!problem.isEmpty())
        return Result::failure(problem);
    store.append(entryFromBoxes(boxes));
    return Result::success();
}

// No row chosen is no change, and no message either (an empty reason).
Result changeSnippet(SnippetStore& store, qsizetype row, const SnippetBoxes& boxes)
{
    if (!store.isValidRow(row))
        return Result::failure(QString());
    const QString problem = snippetBoxesProblem(boxes);
    if (!problem.isEmpty())
        return Result::failure(problem);
    store.replace(row, entryFromBoxes(boxes));
    return Result::success();
}

bool deleteSnippet(SnippetStore& store, qsizetype row)
{
    if (!store.isValidRow(row))
        return false;
    store.removeAt(row);
    return true;
}

bool copySnippet(SnippetStore& store, qsizetype row)
{
    if (!store.isValidRow(row))
        return false;
    const TeigataEntry copy = store.at(row);
    store.insert(row, copy);
    return true;
}

bool insertSnippetStartText(EditBuffer& buffer, const SnippetStore& store, qsizetype row)
{
    if (!store.isValidRow(row))
        return false;
    buffer.ReplaceSelection(DecodeSnippetText(store.at(row).StartText));
    return true;
}

WriteResult saveStandardSnippetFile(const SnippetStore& store, const QString& appFolder)
{
    return SaveSnippetFile(store, snippetFilePath(appFolder));
}

FileDialogRequest snippetFileDialogRequest(bool save)
{
    FileDialogRequest r;
    r.save = save;
    r.filter = QStringLiteral("定型文設定ファイル(*.csv)|*.csv");
    r.defaultExt = QStringLiteral("csv");
    return r;
}

QList<SnippetListColumn> snippetListColumns()
{
    return {{QStringLiteral("名前"), 1000},
            {QStringLiteral("開始タグ"), 3000},
            {QStringLiteral("終了タグ"), 3000},
            {QStringLiteral("割り当てるキー"), 1200}};
}

QList<QString> snippetListRow(const TeigataEntry& entry)
{
    return {entry.Title, entry.StartText, entry.EndText, entry.HotKey};
}

}  // namespace tw
