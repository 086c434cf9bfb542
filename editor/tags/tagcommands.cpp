#include "editor/tags/tagcommands.h"
#include "editor/commands/commandids.h"

#include "editor/tags/chtml.h"
#include "editor/commands/commandregistry.h"
#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"
#include "editor/commands/editorwindow.h"
#include "editor/tags/formatting.h"
#include "editor/tags/textconv.h"

namespace tw {

namespace {
// Tool-bar keys of the standard tool bar's formatting buttons.
QString toolbar1Key(const QString& id)
{
    static const QHash<QString, QString> keys = {
        {QString::fromLatin1(cmd::IDM_FORMAT_B), QStringLiteral("Bold")},
        {QString::fromLatin1(cmd::IDM_FORMAT_I), QStringLiteral("Italic")},
        {QString::fromLatin1(cmd::IDM_FORMAT_U), QStringLiteral("Under")},
        {QString::fromLatin1(cmd::IDM_FORMAT_S), QStringLiteral("S")},
        {QString::fromLatin1(cmd::IDM_LEFT), QStringLiteral("left")},
        {QString::fromLatin1(cmd::IDM_CENTER), QStringLiteral("center")},
        {QString::fromLatin1(cmd::IDM_RIGHT), QStringLiteral("right")},
    };
    return keys.value(id);
}
}  // namespace

void registerTagCommands(CommandRegistry& r, const TagCommandContext& c)
{
    EditBuffer& buffer = c.buffer;
    EditHistory& history = c.history;
    const Platform platform = c.platform;
    EditorWindow& window = c.window;
    auto S = [](const char* s) { return QString::fromUtf8(s); };
    auto timeText = [platform] { return dateTimeText(platform.clock->now()); };

    r.add({.id = S(cmd::IDM_UNDO),
           .caption = S("元に戻す(&U)"),
           .shortcut = S("Ctrl+Z"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("tundo"),
           .run = [&history] { history.UndoStep(); },
           .enabled = [&history] { return history.canUndo(); }});
    r.add({.id = S(cmd::IDM_REDO),
           .caption = S("やり直し(&R)"),
           .shortcut = S("Ctrl+Y"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("tredo"),
           .run = [&history] { history.RedoStep(); },
           .enabled = [&history] { return history.canRedo(); }});
    r.add({.id = S(cmd::IDM_CUT),
           .caption = S("切り取り(&T)"),
           .contextId = S(cmd::IDM_CONTEXT_CUT),
           .contextCaption = S("切り取り(&X)"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("cut"),
           .run = [&buffer, platform] {
               platform.clipboard->setText(buffer.selectedText());
               buffer.ReplaceSelection(QString());
           }});
    r.add({.id = S(cmd::IDM_COPY),
           .caption = S("コピー(&C)"),
           .contextId = S(cmd::IDM_CONTEXT_COPY),
           .contextCaption = S("コピー(&C)"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("copy"),
           .run = [&buffer, platform] { platform.clipboard->setText(buffer.selectedText()); }});
    r.add({.id = S(cmd::IDM_PAST),
           .caption = S("貼り付け(&P)"),
           .contextId = S(cmd::IDM_CONTEXT_PASTE),
           .contextCaption = S("貼り付け(&P)"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("peast"),
           .run = [&buffer, platform] {
               if (platform.clipboard->hasText())
                   buffer.ReplaceSelection(platform.clipboard->text());
           }});
    r.add({.id = S(cmd::IDM_SELECTALL),
           .caption = S("全て選択(&A)"),
           .shortcut = S("Ctrl+A"),
           .contextId = S(cmd::IDM_CONTEXT_ALLSELECT),
           .contextCaption = S("すべてを選択(&A)"),
           .run = [&buffer, &window] {
               buffer.SetSelection(0, buffer.length());
               window.focusEditBox();
           }});
    r.add({.id = S(cmd::IDM_SEARCH),
           .caption = S("検索＆置換(&F)"),
           .shortcut = S("Ctrl+F"),
           .contextId = S(cmd::IDM_CONTEXT_EDIT_SEARCH),
           .contextCaption = S("検索＆置換(&S)..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("find"),
           .run = [&window] { window.showSearch(); }});
    r.add({.id = S(cmd::IDM_HTML),
           .caption = S("C（ソース）→HTML"),
           .contextId = S(cmd::IDM_CONTEXT_EDIT_C_TO_HTML),
           .contextCaption = S("C(ソース)→HTML"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("html"),
           .run = [&buffer] { ConvertCToHtml(buffer); }});
    r.add({.id = S(cmd::IDM_DEFAULT),
           .caption = S("テキスト→HTML"),
           .contextId = S(cmd::IDM_CONTEXT_EDIT_TEXT_TO_HTML),
           .contextCaption = S("テキスト→HTML"),
           .toolBar = S("Toolbar1"),
           .toolKey = S("text"),
           .run = [&buffer] { runTextToHtml(buffer); }});
    r.add({.id = S(cmd::IDM_BIGCHR),
           .caption = S("全ての文字を大文字に変更(&B)"),
           .contextId = S(cmd::IDM_CONTEXT_EDIT_BIGCHAR),
           .contextCaption = S("すべての文字を大文字に変換"),
           .run = [&buffer] { buffer.SetText(upperCaseText(buffer.text())); }});
    r.add({.id = S(cmd::IDM_SMALLCHR),
           .caption = S("全ての文字を小文字に変更(&S)"),
           .contextId = S(cmd::IDM_CONTEXT_EDIT_SMALLCHAR),
           .contextCaption = S("すべての文字を小文字に変換"),
           .run = [&buffer] { buffer.SetText(lowerCaseText(buffer.text())); }});
    r.add({.id = S(cmd::IDM_TEXTNUMADD),
           .caption = S("選択テキストに行番号付加"),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_TEXTNUMADD),
           .contextCaption = S("選択テキストに行番号付加"),
           .run = [&buffer] { runNumberLines(buffer); }});
    r.add({.id = S(cmd::IDM_ANGOU),
           .caption = S("選択アドレス暗号化(&A)"),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_ANGOU),
           .contextCaption = S("選択アドレス暗号化(&A)"),
           .run = [&buffer] { runAngou(buffer); }});
    r.add({.id = S(cmd::IDM_TAGERACE),
           .caption = S("タグの消去"),
           .contextId = S(cmd::IDM_CONTEXT_TOOL_ERACETAG),
           .contextCaption = S("タグの消去"),
           .run = [&buffer] { runEraseTags(buffer); }});
    r.add({.id = S(cmd::IDM_INSERT_TIME),
           .caption = S("現在時刻"),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_NOWTIME),
           .contextCaption = S("現在時刻"),
           .run = [&buffer, timeText] { buffer.ReplaceSelection(timeText()); }});
    r.add({.id = S(cmd::IDM_RGB),
           .caption = S("RGB色入力(&C)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_RGB),
           .contextCaption = S("RGB色入力(&R)..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("color"),
           .run = [&buffer, platform] {
               if (const auto colour = platform.colours->pick())
                   buffer.ReplaceSelection(QLatin1Char('#') + ColourToHex(*colour));
           }});

    // Every command that only wraps the selection; the headings also stand on Toolbar3.
    for (const WrapCommand& w : wrapCommands()) {
        Command cmd{.id = w.id,
                    .caption = w.caption,
                    .shortcut = w.shortcut,
                    .contextId = w.contextId,
                    .contextCaption = w.contextCaption,
                    .run = [&buffer, w] { runWrapCommand(buffer, w); }};
        if (const QString key = toolbar1Key(w.id); !key.isEmpty()) {
            cmd.toolBar = S("Toolbar1");
            cmd.toolKey = key;
        }
        for (const ToolButtonDef& b : toolbar3Buttons()) {
            if (toolbar3Command(b.key) == w.id) {
                cmd.toolBar = S("Toolbar3");
                cmd.toolKey = b.key;
            }
        }
        r.add(cmd);
    }
    // Toolbar2's buttons insert entities and short tags of their own.
    for (const ToolButtonDef& b : toolbar2Buttons()) {
        const QString key = b.key;
        r.add({.id = S("Toolbar2_") + key, .toolBar = S("Toolbar2"), .toolKey = key, .run = [&buffer, key, timeText] {
                   runToolbar2Key(buffer, key, timeText());
               }});
    }
}

}  // namespace tw
