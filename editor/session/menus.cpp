#include "editor/session/menus.h"

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
    QList<MenuNode> fonts = entries({"IDM_FORMAT_B", "IDM_FORMAT_I", "IDM_FORMAT_U", "IDM_FORMAT_S",
                                     "IDM_FORMAT_STRONG", "IDM_FORMAT_BLINK", "IDM_FORMAT_BIG", "IDM_FORMAT_SMALL", "",
                                     "IDM_FORMAT_PRE", "IDM_FORMAT_BLOCKQUOTE", "", "IDM_FORMAT_SUP", "IDM_FORMAT_SUB",
                                     ""});
    fonts.append(submenu("IDM_FORMAT_H", "見出し(&H)", headings));
    QList<MenuNode> snippets;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        snippets.append(entry(snippetMenuId(n)));
    snippets.append(separator("separatorA"));
    snippets.append(entry("IDM_TEIGATA"));

    // Encodings come after the specified entries of the File menu, before 終了.
    QList<MenuNode> file = entries({"IDM_NEW", "IDM_HTMLNEW", "IDM_OPEN", "IDM_OVERSAVE", "IDM_SAVE", "",
                                    "IDM_FILE_TEMPLATEOPEN", "IDM_FILE_TEMPLATESAVE", "", "IDM_PAGESETTING",
                                    "IDM_PRINT", ""});
    file.append(submenu("IDM_ENCODING", "文字コード",
                        {entry("IDM_REOPEN_SJIS"), entry("IDM_REOPEN_UTF8"), separator(),
                         submenu("IDM_SAVEENCODING", "保存する文字コード",
                                 entries({"IDM_SAVEENC_SJIS", "IDM_SAVEENC_UTF8", "IDM_SAVEENC_UTF8BOM"}))}));
    QList<MenuNode> recent;
    for (int i = 0; i < RecentFiles::kMax; ++i)
        recent.append(entry(recentCommandId(i)));
    recent.append(entry("IDM_RECENT_NONE"));
    file.append(submenu("IDM_RECENT", "最近使ったファイル(&R)", recent));
    file.append(separator());
    file.append(entry("IDM_EXIT"));

    return {
        submenu("IDM_FILE", "ファイル(&F)", file),
        submenu("IDM_EDIT", "編集(&E)",
                entries({"IDM_UNDO", "IDM_REDO", "", "IDM_CUT", "IDM_COPY", "IDM_PAST", "", "IDM_SELECTALL", "",
                         "IDM_SEARCH", "", "IDM_HTML", "IDM_DEFAULT", "", "IDM_BIGCHR", "IDM_SMALLCHR"})),
        submenu("IDM_VIEW", "表示(&V)",
                entries({"IDM_PREVIEWSHOW", "IDM_VIEW_DESIGN", "IDM_VIEW_LINENUMBER", "IDM_VIEW_SYNTAX", "IDM_VIEW_WORDWRAP", "", "IDM_VIEW_SIDE", "IDM_VIEW_VERTICAL",
                         "IDM_VIEW_TABCHANGE", "", "IDM_VIEW_FILEREFRESH", "IDM_VIEW_FILEFOLDER"})),
        submenu("IDM_FORMAT", "フォント", fonts),
        submenu("IDM_ALIGN", "位置揃え", entries({"IDM_LEFT", "IDM_CENTER", "IDM_RIGHT"})),
        submenu("IDM_INSERT", "挿入(&I)",
                entries({"IDM_JAVA", "IDM_RGB", "", "IDM_INSERT_BR", "IDM_INSERT_HR", "IDM_INSERT_TIME", "",
                         "IDM_GRADATION", "IDM_TABLE", "IDM_INSERT_CALENDAR", "IDM_MARQUEE", "IDM_INSERT_LINK",
                         "IDM_LIST"})),
        submenu("IDM_TEIGATA_MENU", "定型文(&C)", snippets),
        submenu("IDM_PREVIEW", "プレビュー(&P)",
                {entry("IDM_NORMALPREVIEW"), separator("separatorH"), entry("IDM_PREVIEW_DEFAULT"),
                 entry("IDM_PREVIEW_BROWSER1"), entry("IDM_PREVIEW_BROWSER2"), entry("IDM_PREVIEW_BROWSER3"),
                 separator("separatorF"), entry("IDM_PREVIEW_WINDOW")}),
        submenu("IDM_TOOL", "ツール(&T)",
                entries({"IDM_STYLESEEAT", "IDM_FTP", "", "IDM_TEXTNUMADD", "IDM_ANGOU", "IDM_TAGERACE", "",
                         "IDM_DEFAULT_TOOLBAR", "IDM_EDIT_TOOLBAR", "", "IDM_OPTION"})),
        submenu("IDM_HELP", "ヘルプ(&H)",
                entries({"IDM_HELPDOCUMENT", "IDM_HP", "", "IDM_HELP_NEWCHECK", "", "IDM_ABOUT"})),
    };
}

QList<MenuNode> contextMenuLayout()
{
    QList<MenuNode> headings;
    for (int n = 1; n <= 6; ++n)
        headings.append(entry(QStringLiteral("IDM_CONTEXT_FONT_H_H%1").arg(n)));
    QList<MenuNode> fonts = entries({"IDM_CONTEXT_FONT_B", "IDM_CONTEXT_FONT_I", "IDM_CONTEXT_FONT_U",
                                     "IDM_CONTEXT_FONT_S", "IDM_CONTEXT_FONT_STRONG", "IDM_CONTEXT_FONT_BIG",
                                     "IDM_CONTEXT_FONT_SMALL", "", "IDM_CONTEXT_FONT_PRE",
                                     "IDM_CONTEXT_FONT_BLOCKQUOTE", "", "IDM_CONTEXT_FONT_SUP", "IDM_CONTEXT_FONT_SUB",
                                     ""});
    fonts.append(submenu("IDM_CONTEXT_FONT_H", "見出し(&H)", headings));
    QList<MenuNode> snippets;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n)
        snippets.append(entry(snippetContextMenuId(n)));
    snippets.append(separator("IDM_CONTEXT_TEIGATA_S1"));
    snippets.append(entry("IDM_CONTEXT_TEIGATA_EDIT"));

    return {
        entry("IDM_CONTEXT_CUT"),
        entry("IDM_CONTEXT_COPY"),
        entry("IDM_CONTEXT_PASTE"),
        separator(),
        entry("IDM_CONTEXT_ALLSELECT"),
        separator(),
        submenu("IDM_CONTEXT_EDIT", "編集(&E)",
                entries({"IDM_CONTEXT_EDIT_SEARCH", "", "IDM_CONTEXT_EDIT_C_TO_HTML", "IDM_CONTEXT_EDIT_TEXT_TO_HTML",
                         "", "IDM_CONTEXT_EDIT_BIGCHAR", "IDM_CONTEXT_EDIT_SMALLCHAR"})),
        submenu("IDM_CONTEXT_FONT", "フォント", fonts),
        submenu("IDM_CONTEXT_ALIGN", "位置揃え(&)",
                entries({"IDM_CONTEXT_ALIGN_LEFT", "IDM_CONTEXT_ALIGN_CENTER", "IDM_CONTEXT_ALIGN_RIGHT"})),
        submenu("IDM_CONTEXT_INSERT", "挿入(&I)",
                entries({"IDM_CONTEXT_INSERT_JS", "IDM_CONTEXT_INSERT_RGB", "", "IDM_CONTEXT_INSERT_BR",
                         "IDM_CONTEXT_INSERT_HR", "IDM_CONTEXT_INSERT_NOWTIME", "", "IDM_CONTEXT_INSERT_GRADATION",
                         "IDM_CONTEXT_INSERT_TABLE", "IDM_CONTEXT_INSERT_CALENDER", "IDM_CONTEXT_INSERT_MARQUEE",
                         "IDM_CONTEXT_INSERT_LINK", "IDM_CONTEXT_INSERT_LIST"})),
        submenu("IDM_CONTEXT_TEIGATA", "定型文(&C)", snippets),
        submenu("IDM_CONTEXT_TOOL", "ツール(&T)",
                entries({"IDM_CONTEXT_TOOL_CSS", "IDM_CONTEXT_TOOL_FTP", "", "IDM_CONTEXT_TOOL_TEXTNUMADD",
                         "IDM_CONTEXT_TOOL_ANGOU", "IDM_CONTEXT_TOOL_ERACETAG", "", "IDM_CONTEXT_TOOL_OPTION"})),
        submenu("IDM_CONTEXT_PREVIEW", "プレビュー(&P)",
                {entry("IDM_CONTEXT_PREVIEW_NORMAL"), separator("IDM_CONTEXT_PREVIEW_S1"),
                 entry("IDM_CONTEXT_PREVIEW_DEFAULT"), entry("IDM_CONTEXT_PREVIEW_BROWSER1"),
                 entry("IDM_CONTEXT_PREVIEW_BROWSER2"), entry("IDM_CONTEXT_PREVIEW_BROWSER3"),
                 separator("IDM_CONTEXT_PREVIEW_S2"), entry("IDM_CONTEXT_PREVIEW_WINDOW")}),
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
