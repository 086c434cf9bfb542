#include "editor/builders/buildercommands.h"
#include "editor/commands/commandids.h"

#include "editor/commands/commandregistry.h"
#include "editor/commands/editorwindow.h"
#include "editor/document/document.h"

namespace tw {

void registerBuilderCommands(CommandRegistry& r, const BuilderCommandContext& c)
{
    Document& doc = c.document;
    EditorWindow& window = c.window;
    auto S = [](const char* s) { return QString::fromUtf8(s); };
    auto show = [&window](const char* id) { return [&window, id] { window.showBuilder(QString::fromLatin1(id)); }; };

    // The skeleton replaces the whole document: unsaved changes are asked about first.
    r.add({.id = S(cmd::IDM_HTMLNEW), .caption = S("枠組みを新規作成..."), .run = [&doc, &window] {
               if (doc.Save_Check())
                   window.showBuilder(QString::fromLatin1(cmd::IDM_HTMLNEW));
           }});
    r.add({.id = S(cmd::IDM_GRADATION),
           .caption = S("グラデーション文字(&G)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_GRADATION),
           .contextCaption = S("グラデーション文字(&G)..."),
           .run = show(cmd::IDM_GRADATION)});
    r.add({.id = S(cmd::IDM_INSERT_CALENDAR),
           .caption = S("カレンダー(&C)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_CALENDER),
           .contextCaption = S("カレンダー(&C)..."),
           .run = show(cmd::IDM_INSERT_CALENDAR)});
    r.add({.id = S(cmd::IDM_TABLE),
           .caption = S("テーブル(&T)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_TABLE),
           .contextCaption = S("テーブル(&T)..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("table"),
           .run = show(cmd::IDM_TABLE)});
    r.add({.id = S(cmd::IDM_MARQUEE),
           .caption = S("マーキー(&M)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_MARQUEE),
           .contextCaption = S("マーキー(&M)..."),
           .run = show(cmd::IDM_MARQUEE)});
    r.add({.id = S(cmd::IDM_INSERT_LINK),
           .caption = S("リンク(&L)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_LINK),
           .contextCaption = S("リンク(&L)..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("link"),
           .run = show(cmd::IDM_INSERT_LINK)});
    // The script library is read afresh at every opening.
    r.add({.id = S(cmd::IDM_JAVA),
           .caption = S("JavaScript(&J)..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_JS),
           .contextCaption = S("JavaScript(&J)..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("js"),
           .run = show(cmd::IDM_JAVA)});
    r.add({.id = S(cmd::IDM_LIST),
           .caption = S("リスト..."),
           .contextId = S(cmd::IDM_CONTEXT_INSERT_LIST),
           .contextCaption = S("リスト..."),
           .toolBar = S("Toolbar1"),
           .toolKey = S("list"),
           .run = show(cmd::IDM_LIST)});
}

}  // namespace tw
