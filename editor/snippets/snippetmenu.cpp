#include "editor/snippets/snippetmenu.h"
#include "editor/commands/commandids.h"

#include <algorithm>

namespace tw {

namespace {

int indexAfter(const QString& id, const QString& prefix)
{
    if (!id.startsWith(prefix))
        return 0;
    const QStringView digits = QStringView(id).mid(prefix.size());
    // Only the plain decimal forms the menus use: no sign, no leading zero.
    if (digits.isEmpty() || digits.size() > 2 || digits.front() == u'0')
        return 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    const int n = digits.toInt();
    return n <= kSnippetMenuItemCount ? n : 0;
}

}  // namespace

QString snippetMenuCaption(const QString& title)
{
    QString caption = title;
    caption.replace(QStringLiteral("&"), QStringLiteral("&&"));
    return caption;
}

QString snippetMenuId(int index)
{
    return QStringLiteral("IDM_TEIGATA_%1").arg(index);
}

QString snippetContextMenuId(int index)
{
    return QStringLiteral("IDM_CONTEXT_TEIGATA_%1").arg(index);
}

int snippetIndexFromMenuId(const QString& id)
{
    if (const int n = indexAfter(id, QString::fromLatin1(cmd::IDM_CONTEXT_TEIGATA_)))
        return n;
    return indexAfter(id, QString::fromLatin1(cmd::IDM_TEIGATA_));
}

SnippetMenuState snippetMenuState(const SnippetStore& store)
{
    SnippetMenuState state;
    const qsizetype shown = std::min<qsizetype>(kSnippetMenuItemCount, store.size());
    for (int n = 1; n <= kSnippetMenuItemCount; ++n) {
        SnippetMenuItem item;
        item.index = n;
        item.visible = n <= shown;
        if (item.visible)
            item.caption = snippetMenuCaption(store.at(n - 1).Title);
        item.id = snippetMenuId(n);
        state.mainItems.append(item);
        item.id = snippetContextMenuId(n);
        state.contextItems.append(item);
    }
    state.separatorAVisible = !store.isEmpty();
    state.contextSeparatorVisible = !store.isEmpty();
    return state;
}

}  // namespace tw
