#include "editor/snippets/snippetcommands.h"
#include "editor/commands/commandids.h"

#include "editor/commands/commandregistry.h"
#include "editor/commands/editorwindow.h"
#include "editor/snippets/snippetinsert.h"
#include "editor/snippets/snippetmenu.h"

namespace tw {

void registerSnippetCommands(CommandRegistry& r, const SnippetCommandContext& c)
{
    EditBuffer& buffer = c.buffer;
    const SnippetStore& store = c.store;
    EditorWindow& window = c.window;
    for (int n = 1; n <= kSnippetMenuItemCount; ++n) {
        // The captions stand until the store's titles replace them.
        const QString caption = n < 10 ? QStringLiteral("定型文%1(&%1)").arg(n) : QStringLiteral("定型文10((&10)");
        r.add({.id = snippetMenuId(n),
               .caption = caption,
               .contextId = snippetContextMenuId(n),
               .contextCaption = QStringLiteral("定型文%1(&%1)").arg(n),
               .run = [&buffer, &store, n] { Teigata_Insert(buffer, store, n); }});
    }
    r.add({.id = QString::fromLatin1(cmd::IDM_TEIGATA),
           .caption = QStringLiteral("定型文の挿入と登録(&E)..."),
           .contextId = QString::fromLatin1(cmd::IDM_CONTEXT_TEIGATA_EDIT),
           .contextCaption = QStringLiteral("定型文の編集(&E)..."),
           .run = [&window] { window.showSnippetEditor(); }});
}

}  // namespace tw
