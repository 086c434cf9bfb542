#include "editor/shell/shellcommands.h"
#include "editor/commands/commandids.h"

#include "editor/commands/commandregistry.h"
#include "editor/document/document.h"
#include "editor/settings/editorsettings.h"
#include "editor/commands/editorwindow.h"

namespace tw {

void registerShellCommands(CommandRegistry& r, const ShellCommandContext& c)
{
    Document& doc = c.document;
    EditorSettings& settings = c.settings;
    EditorWindow& window = c.window;
    auto S = [](const char* s) { return QString::fromUtf8(s); };

    r.add({.id = S(cmd::IDM_NEW),
           .caption = S("新規作成(&N)"),
           .shortcut = S("Ctrl+N"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("New"),
           .run = [&doc] { doc.newDocument(); }});
    r.add({.id = S(cmd::IDM_OPEN),
           .caption = S("開く(&O).."),
           .shortcut = S("Ctrl+O"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("open"),
           .run = [&doc] { doc.open(); }});
    r.add({.id = S(cmd::IDM_OVERSAVE),
           .caption = S("上書き保存(&S)"),
           .shortcut = S("Ctrl+S"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("save"),
           .run = [&doc] { doc.save(); }});
    r.add({.id = S(cmd::IDM_SAVE), .caption = S("名前をつけて保存(&A).."), .run = [&doc] { doc.SaveDocumentAs(); }});
    r.add({.id = S(cmd::IDM_FILE_TEMPLATEOPEN), .caption = S("テンプレートを開く..."), .run = [&doc] {
               doc.openTemplate();
           }});
    r.add({.id = S(cmd::IDM_FILE_TEMPLATESAVE), .caption = S("テンプレートに保存..."), .run = [&doc] {
               doc.saveTemplate();
           }});
    r.add(
        {.id = S(cmd::IDM_PAGESETTING), .caption = S("ページ設定..."), .run = [&window] { window.showPageSetting(); }});
    r.add({.id = S(cmd::IDM_PRINT),
           .caption = S("印刷(&P)..."),
           .shortcut = S("Ctrl+P"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("print"),
           .run = [&window] { window.printDocument(); }});
    // Encodings: reading the file again in another one, and the one saving writes.
    r.add({.id = S(cmd::IDM_REOPEN_SJIS),
           .caption = S("Shift_JIS で開き直す"),
           .run = [&doc] { doc.reopenAs(TextEncoding::Cp932); },
           .enabled = [&doc] { return doc.hasOwnFile(); }});
    r.add({.id = S(cmd::IDM_REOPEN_UTF8),
           .caption = S("UTF-8 で開き直す"),
           .run = [&doc] { doc.reopenAs(TextEncoding::Utf8); },
           .enabled = [&doc] { return doc.hasOwnFile(); }});
    const std::pair<const char*, TextEncoding> saveEncodings[] = {{"Shift_JIS", TextEncoding::Cp932},
                                                                  {"UTF-8", TextEncoding::Utf8},
                                                                  {"UTF-8 (BOM)", TextEncoding::Utf8Bom}};
    const char* const saveIds[] = {cmd::IDM_SAVEENC_SJIS, cmd::IDM_SAVEENC_UTF8, cmd::IDM_SAVEENC_UTF8BOM};
    for (int i = 0; i < 3; ++i) {
        const TextEncoding enc = saveEncodings[i].second;
        r.add({.id = S(saveIds[i]),
               .caption = S(saveEncodings[i].first),
               .run = [&doc, enc] { doc.setSaveEncoding(enc); },
               .checked = [&doc, enc] { return doc.format().encoding == enc; }});
    }
    r.add({.id = S(cmd::IDM_EXIT),
           .caption = S("終了(&X)"),
           .shortcut = S("Ctrl+Q"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("exit"),
           .run = [&window] { window.closeWindow(); }});

    r.add({.id = S(cmd::IDM_VIEW_DESIGN),
           .caption = S("デザインバー(&D)"),
           .run =
               [&settings, &window] {
                   settings.DesignBar = settings.DesignBar == 0 ? 1 : 0;
                   window.applyLayout();
               },
           .checked = [&settings] { return settings.DesignBar != 0; }});
    r.add({.id = S(cmd::IDM_VIEW_LINENUMBER),
           .caption = S("行番号(&L)"),
           .run =
               [&settings, &window] {
                   settings.LineNumbers = settings.LineNumbers == 0 ? 1 : 0;
                   window.applyLayout();
               },
           .checked = [&settings] { return settings.LineNumbers != 0; }});
    r.add({.id = S(cmd::IDM_VIEW_SYNTAX),
           .caption = S("構文の色分け(&Y)"),
           .run =
               [&settings, &window] {
                   settings.SyntaxColour = settings.SyntaxColour == 0 ? 1 : 0;
                   window.applyLayout();
               },
           .checked = [&settings] { return settings.SyntaxColour != 0; }});
    r.add({.id = S(cmd::IDM_VIEW_WORDWRAP),
           .caption = S("右端で折り返す(&W)"),
           .run =
               [&settings, &window] {
                   settings.WordWrap = settings.WordWrap == 0 ? 1 : 0;
                   window.applyLayout();
               },
           .checked = [&settings] { return settings.WordWrap != 0; }});
    const std::pair<const char*, const char*> arrangements[] = {{cmd::IDM_VIEW_SIDE, "横2分割(&S)"},
                                                                {cmd::IDM_VIEW_VERTICAL, "縦2分割(&V)"},
                                                                {cmd::IDM_VIEW_TABCHANGE, "タブ切り替え(&T)"}};
    for (int divide = 0; divide < 3; ++divide) {
        r.add({.id = S(arrangements[divide].first),
               .caption = S(arrangements[divide].second),
               .run =
                   [&settings, &window, divide] {
                       settings.AreaDivide = std::int16_t(divide);
                       window.selectSourceTab();
                       window.applyLayout();
                   },
               .checked = [&settings, divide] { return settings.AreaDivide == divide; }});
    }
    r.add({.id = S(cmd::IDM_VIEW_FILEREFRESH), .caption = S("ファイル一覧の更新"), .run = [&window] {
               window.applyFilePattern();
           }});
    r.add({.id = S(cmd::IDM_VIEW_FILEFOLDER), .caption = S("ファイル一覧カレントフォルダ変更"), .run = [&window] {
               window.chooseFolder();
           }});
    r.add({.id = S(cmd::IDM_PATHCHANGE), .caption = S("ドライブとフォルダの変更"), .run = [&window] {
               window.chooseFolder();
           }});
    r.add({.id = S(cmd::IDM_DEFAULT_TOOLBAR), .caption = S("標準ツールバーの設定(&D)..."), .run = [&window] {
               window.customizeToolBar(QStringLiteral("Toolbar1"));
           }});
    r.add({.id = S(cmd::IDM_EDIT_TOOLBAR), .caption = S("編集ツールバーの設定(&E)..."), .run = [&window] {
               window.customizeToolBar(QStringLiteral("Toolbar2"));
           }});
    r.add({.id = S(cmd::IDM_OPTION),
           .caption = S("オプション(&O)..."),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_OPTION),
           .contextCaption = S("オプション(&O)..."),
           .run = [&window] { window.showOptions(); }});
}

}  // namespace tw
