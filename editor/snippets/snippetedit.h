#pragma once
// The work behind the snippet dialog TeigataFrm. The dialog reads its four
// boxes into SnippetBoxes, calls these functions with the selected row of its
// list (0-based, -1 for none) and shows the store again; it builds nothing
// itself.

#include "common/platform.h"
#include "common/result.h"
#include "editor/snippets/snippetstore.h"
#include "common/textfile.h"

#include <QList>
#include <QString>

namespace tw {

class EditBuffer;

// The texts of TitleTxt, DataTxt, Data2Txt and KeyTxt, line breaks as the
// boxes hold them.
struct SnippetBoxes {
    QString title;
    QString start;
    QString end;
    QString hotKey;

    bool operator==(const SnippetBoxes&) const = default;
};

// A row clicked: the entry's texts with "\n" shown as CR LF breaks ("\t" and
// tabs as they are).
SnippetBoxes boxesFromEntry(const TeigataEntry& entry);
// The boxes stored: every line break of the two text boxes becomes "\n".
TeigataEntry entryFromBoxes(const SnippetBoxes& boxes);

// Why the boxes cannot be stored, in Japanese, or empty when they can: a
// comma in any box (it would split the field when the file is next read), a
// line break in the title or hot-key box, or a character the snippet file
// (CP932) cannot hold. Empty titles and duplicate hot keys are fine.
QString snippetBoxesProblem(const SnippetBoxes& boxes);

// AddBtn: appends the boxes as a new entry. ChangeBtn: overwrites the row's
// four fields. Both refuse, with the problem in *error and the store
// unchanged, what snippetBoxesProblem names. A row outside the store does
// nothing (false, empty error).
Result addSnippet(SnippetStore& store, const SnippetBoxes& boxes);
Result changeSnippet(SnippetStore& store, qsizetype row, const SnippetBoxes& boxes);
// DeleteBtn: removes the row without asking.
bool deleteSnippet(SnippetStore& store, qsizetype row);
// CopyBtn: inserts a copy of the row (hot key too) directly before it; the
// copied entry moves to row + 1.
bool copySnippet(SnippetStore& store, qsizetype row);
// InsertBtn: ReplaceSelection with the row's start text decoded by
// DecodeSnippetText; the end text is not used. The dialog then does what
// OKBtn does.
bool insertSnippetStartText(EditBuffer& buffer, const SnippetStore& store, qsizetype row);

// OKBtn (and InsertBtn): writes the store to the standard file
// app/tools/Setting/teigata.csv. On failure the old file is intact and the
// error, in Japanese, names the file.
WriteResult saveStandardSnippetFile(const SnippetStore& store, const QString& appFolder);

// CommonDialog1 for CSVLoadBtn (save = false) and CSVSaveBtn (save = true):
// filter "定型文設定ファイル(*.csv)|*.csv", default extension "csv".
FileDialogRequest snippetFileDialogRequest(bool save);

// The four columns of ListView1: caption and width in twips.
struct SnippetListColumn {
    QString caption;
    int widthTwips = 0;
};
QList<SnippetListColumn> snippetListColumns();
// The four cells of a row, the texts as stored.
QList<QString> snippetListRow(const TeigataEntry& entry);

}  // namespace tw
