#include "editor/session/menus.h"
#include "editor/commands/commandids.h"

#include "editor/shell/recentfiles.h"
#include "editor/snippets/snippetmenu.h"

namespace tw {

namespace {
MenuNode entry(const char* id)
{
    return {MenuNode::Entry, QString::fromLatin1(id), {}, {}};
}
MenuNode entry(const QString& id)
{
    return {MenuNode::Entry, id, {}, {}};
}
MenuNode separator(const char* name = "")
{
    return {MenuNode::Separator, QString::fromLatin1(name), {}, {}};
}
MenuNode submenu(const char* id, const char* caption, QList<MenuNode> children)
{
    return {MenuNode::Submenu, QString::fromLatin1(id), QString::fromUtf8(caption), std::move(children)};
}
QList<MenuNode> entries(std::initializer_list<const char*> ids)
{
    QList<MenuNode> list;
    for (const char* id : ids)
        list.append(*id ? entry(id) : separator());
    return list;
}
}  // namespace

QList<MenuNode> mainMenuBar()
{
    QList<MenuNode> headings;
    for (int n = 1; n <= 6; ++n)
        headings.append(entry(QStringLiteral("IDM_FORMAT_H%1").arg(n)));
    QList<MenuNode> fonts =
        entries({cmd::IDM_FORMAT_B, cmd::IDM_FORMAT_I, cmd::IDM_FORMAT_U, cmd::IDM_FORMAT_S, cmd::IDM_FORMAT_STRONG,
                 cmd::IDM_FORMAT_BLINK, cmd::IDM_FORMAT_BIG, cmd::IDM_FORMAT_SMALL, "", cmd::IDM_FORMAT_PRE,
                 cmd::IDM_FORMAT_BLOCKQUOTE, "", cmd::IDM_FORMAT_SUP, cmd::IDM_FORMAT_SUB, ""});
    fonts.append(submenu(cmd::IDM_FORMAT_H, "見出し(&H)", headings));
    QList<MenuNode> snippets;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        snippets.append(entry(snippetMenuId(n)));
    snippets.append(separator("separatorA"));
    snippets.append(entry(cmd::IDM_TEIGATA));

    // Encodings come after the specified entries of the File menu, before 終了.
    QList<MenuNode> file =
        entries({cmd::IDM_NEW, cmd::IDM_HTMLNEW, cmd::IDM_OPEN, cmd::IDM_OVERSAVE, cmd::IDM_SAVE, "",
                 cmd::IDM_FILE_TEMPLATEOPEN, cmd::IDM_FILE_TEMPLATESAVE, "", cmd::IDM_PAGESETTING, cmd::IDM_PRINT, ""});
    file.append(submenu(cmd::IDM_ENCODING, "文字コード",
                        {entry(cmd::IDM_REOPEN_SJIS), entry(cmd::IDM_REOPEN_UTF8), separator(),
                         submenu(cmd::IDM_SAVEENCODING, "保存する文字コード",
                                 entries({cmd::IDM_SAVEENC_SJIS, cmd::IDM_SAVEENC_UTF8, cmd::IDM_SAVEENC_UTF8BOM}))}));
    QList<MenuNode> recent;
    for (int i = 0; i < RecentFiles::kMax; ++i)
        recent.append(entry(recentCommandId(i)));
    recent.append(entry(cmd::IDM_RECENT_NONE));
    file.append(submenu(cmd::IDM_RECENT, "最近使ったファイル(&R)", recent));
    file.append(separator());
    file.append(entry(cmd::IDM_EXIT));

    return {
        submenu(cmd::IDM_FILE, "ファイル(&F)", file),
        submenu(cmd::IDM_EDIT, "編集(&E)",
                entries({cmd::IDM_UNDO, cmd::IDM_REDO, "", cmd::IDM_CUT, cmd::IDM_COPY, cmd::IDM_PAST, "",
                         cmd::IDM_SELECTALL, "", cmd::IDM_SEARCH, "", cmd::IDM_HTML, cmd::IDM_DEFAULT, "",
                         cmd::IDM_BIGCHR, cmd::IDM_SMALLCHR})),
        submenu(cmd::IDM_VIEW, "表示(&V)",
                entries({cmd::IDM_PREVIEWSHOW, cmd::IDM_VIEW_DESIGN, cmd::IDM_VIEW_LINENUMBER, cmd::IDM_VIEW_SYNTAX,
                         cmd::IDM_VIEW_WORDWRAP, "", cmd::IDM_VIEW_SIDE, cmd::IDM_VIEW_VERTICAL,
                         cmd::IDM_VIEW_TABCHANGE, "", cmd::IDM_VIEW_FILEREFRESH, cmd::IDM_VIEW_FILEFOLDER})),
        submenu(cmd::IDM_FORMAT, "フォント", fonts),
        submenu(cmd::IDM_ALIGN, "位置揃え", entries({cmd::IDM_LEFT, cmd::IDM_CENTER, cmd::IDM_RIGHT})),
        submenu(cmd::IDM_INSERT, "挿入(&I)",
                entries({cmd::IDM_JAVA, cmd::IDM_RGB, "", cmd::IDM_INSERT_BR, cmd::IDM_INSERT_HR, cmd::IDM_INSERT_TIME,
                         "", cmd::IDM_GRADATION, cmd::IDM_TABLE, cmd::IDM_INSERT_CALENDAR, cmd::IDM_MARQUEE,
                         cmd::IDM_INSERT_LINK, cmd::IDM_LIST})),
        submenu(cmd::IDM_TEIGATA_MENU, "定型文(&C)", snippets),
        submenu(cmd::IDM_PREVIEW, "プレビュー(&P)",
                {entry(cmd::IDM_NORMALPREVIEW), separator("separatorH"), entry(cmd::IDM_PREVIEW_DEFAULT),
                 entry(cmd::IDM_PREVIEW_BROWSER1), entry(cmd::IDM_PREVIEW_BROWSER2), entry(cmd::IDM_PREVIEW_BROWSER3),
                 separator("separatorF"), entry(cmd::IDM_PREVIEW_WINDOW)}),
        submenu(cmd::IDM_TOOL, "ツール(&T)",
                entries({cmd::IDM_STYLESEEAT, cmd::IDM_FTP, "", cmd::IDM_TEXTNUMADD, cmd::IDM_ANGOU, cmd::IDM_TAGERACE,
                         "", cmd::IDM_DEFAULT_TOOLBAR, cmd::IDM_EDIT_TOOLBAR, "", cmd::IDM_OPTION})),
        submenu(cmd::IDM_HELP, "ヘルプ(&H)",
                entries({cmd::IDM_HELPDOCUMENT, cmd::IDM_HP, "", cmd::IDM_HELP_NEWCHECK, "", cmd::IDM_ABOUT})),
    };
}

QList<MenuNode> contextMenuLayout()
{
    QList<MenuNode> headings;
    for (int n = 1; n <= 6; ++n)
        headings.append(entry(QStringLiteral("IDM_CONTEXT_FONT_H_H%1").arg(n)));
    QList<MenuNode> fonts =
        entries({cmd::IDM_CONTEXT_FONT_B, cmd::IDM_CONTEXT_FONT_I, cmd::IDM_CONTEXT_FONT_U, cmd::IDM_CONTEXT_FONT_S,
                 cmd::IDM_CONTEXT_FONT_STRONG, cmd::IDM_CONTEXT_FONT_BIG, cmd::IDM_CONTEXT_FONT_SMALL, "",
                 cmd::IDM_CONTEXT_FONT_PRE, cmd::IDM_CONTEXT_FONT_BLOCKQUOTE, "", cmd::IDM_CONTEXT_FONT_SUP,
                 cmd::IDM_CONTEXT_FONT_SUB, ""});
    fonts.append(submenu(cmd::IDM_CONTEXT_FONT_H, "見出し(&H)", headings));
    QList<MenuNode> snippets;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        snippets.append(entry(snippetContextMenuId(n)));
    snippets.append(separator(cmd::IDM_CONTEXT_TEIGATA_S1));
    snippets.append(entry(cmd::IDM_CONTEXT_TEIGATA_EDIT));

    return {
        entry(cmd::IDM_CONTEXT_CUT),
        entry(cmd::IDM_CONTEXT_COPY),
        entry(cmd::IDM_CONTEXT_PASTE),
        separator(),
        entry(cmd::IDM_CONTEXT_ALLSELECT),
        separator(),
        submenu(cmd::IDM_CONTEXT_EDIT, "編集(&E)",
                entries({cmd::IDM_CONTEXT_EDIT_SEARCH, "", cmd::IDM_CONTEXT_EDIT_C_TO_HTML,
                         cmd::IDM_CONTEXT_EDIT_TEXT_TO_HTML, "", cmd::IDM_CONTEXT_EDIT_BIGCHAR,
                         cmd::IDM_CONTEXT_EDIT_SMALLCHAR})),
        submenu(cmd::IDM_CONTEXT_FONT, "フォント", fonts),
        submenu(cmd::IDM_CONTEXT_ALIGN, "位置揃え(&)",
                entries({cmd::IDM_CONTEXT_ALIGN_LEFT, cmd::IDM_CONTEXT_ALIGN_CENTER, cmd::IDM_CONTEXT_ALIGN_RIGHT})),
        submenu(
            cmd::IDM_CONTEXT_INSERT, "挿入(&I)",
            entries({cmd::IDM_CONTEXT_INSERT_JS, cmd::IDM_CONTEXT_INSERT_RGB, "", cmd::IDM_CONTEXT_INSERT_BR,
                     cmd::IDM_CONTEXT_INSERT_HR, cmd::IDM_CONTEXT_INSERT_NOWTIME, "", cmd::IDM_CONTEXT_INSERT_GRADATION,
                     cmd::IDM_CONTEXT_INSERT_TABLE, cmd::IDM_CONTEXT_INSERT_CALENDER, cmd::IDM_CONTEXT_INSERT_MARQUEE,
                     cmd::IDM_CONTEXT_INSERT_LINK, cmd::IDM_CONTEXT_INSERT_LIST})),
        submenu(cmd::IDM_CONTEXT_TEIGATA, "定型文(&C)", snippets),
        submenu(
            cmd::IDM_CONTEXT_TOOL, "ツール(&T)",
            entries({cmd::IDM_CONTEXT_TOOL_CSS, cmd::IDM_CONTEXT_TOOL_FTP, "", cmd::IDM_CONTEXT_TOOL_TEXTNUMADD,
                     cmd::IDM_CONTEXT_TOOL_ANGOU, cmd::IDM_CONTEXT_TOOL_ERACETAG, "", cmd::IDM_CONTEXT_TOOL_OPTION})),
        submenu(cmd::IDM_CONTEXT_PREVIEW, "プレビュー(&P)",
                {entry(cmd::IDM_CONTEXT_PREVIEW_NORMAL), separator(cmd::IDM_CONTEXT_PREVIEW_S1),
                 entry(cmd::IDM_CONTEXT_PREVIEW_DEFAULT), entry(cmd::IDM_CONTEXT_PREVIEW_BROWSER1),
                 entry(cmd::IDM_CONTEXT_PREVIEW_BROWSER2), entry(cmd::IDM_CONTEXT_PREVIEW_BROWSER3),
                 separator(cmd::IDM_CONTEXT_PREVIEW_S2), entry(cmd::IDM_CONTEXT_PREVIEW_WINDOW)}),
    };
}

QList<ToolBarDef> toolBars()
{
    auto S = [](const char* s) { return QString::fromUtf8(s); };
    // A button for each key; one whose command is not built is left out.
    const QList<ToolButtonDef> standard = {
        {S("New"), S("新規"), S("新規作成"), S("document-new")},
        {S("open"), S("開く"), S("開く"), S("document-open")},
        {S("save"), S("保存"), S("上書き保存"), S("document-save")},
        {S("print"), S("印刷"), S("印刷"), S("document-print")},
        {S("cut"), S("切取"), S("切り取り"), S("edit-cut")},
        {S("copy"), S("コピー"), S("コピー"), S("edit-copy")},
        {S("peast"), S("貼付"), S("貼り付け"), S("edit-paste")},
        {S("tundo"), S("戻す"), S("元に戻す"), S("edit-undo")},
        {S("tredo"), S("やり直し"), S("やり直し"), S("edit-redo")},
        {S("Bold"), S("B"), S("太字"), S("format-text-bold")},
        {S("Italic"), S("I"), S("イタリック"), S("format-text-italic")},
        {S("Under"), S("U"), S("下線"), S("format-text-underline")},
        {S("S"), S("S"), S("取り消し線"), S("format-text-strikethrough")},
        {S("left"), S("左"), S("左揃え"), S("format-justify-left")},
        {S("center"), S("中央"), S("中央揃え"), S("format-justify-center")},
        {S("right"), S("右"), S("右揃え"), S("format-justify-right")},
        {S("color"), S("色"), S("RGB色入力"), S("tw-color")},
        {S("link"), S("リンク"), S("リンクの挿入"), S("insert-link")},
        {S("list"), S("リスト"), S("リストの挿入"), S("tw-list")},
        {S("table"), S("表"), S("テーブルの挿入"), S("tw-table")},
        {S("js"), S("JS"), S("JavaScript"), S("tw-script")},
        {S("Preview"), S("プレビュー"), S("プレビューウインドウ"), S("tw-preview")},
        {S("find"), S("検索"), S("検索＆置換"), S("edit-find")},
        {S("html"), S("C→HTML"), S("C（ソース）→HTML"), S("tw-c-to-html")},
        {S("text"), S("テキスト→HTML"), S("テキスト→HTML"), S("tw-text-to-html")},
        {S("exit"), S("終了"), S("終了"), S("application-exit")},
    };
    return {
        {S("Toolbar1"), S("標準ツールバー"), standard},
        {S("Toolbar2"), S("編集ツールバー"), toolbar2Buttons()},
        {S("Toolbar3"), S("見出しツールバー"), toolbar3Buttons()},
    };
}

}  // namespace tw
