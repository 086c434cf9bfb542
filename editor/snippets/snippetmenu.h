#pragma once
// What the snippet items of the main menu (IDM_TEIGATA_MENU, "定型文(&C)")
// and of the edit box's context menu show for a given store.

#include "editor/snippets/snippetstore.h"

#include <QList>
#include <QString>

namespace tw {

inline constexpr int kSnippetMenuItemCount = 10;

struct SnippetMenuItem {
    QString id;     // IDM_TEIGATA_3 / IDM_CONTEXT_TEIGATA_3
    int index = 0;  // 1-based entry number, the argument of Teigata_Insert
    bool visible = false;
    QString caption;  // the title as menu text ("&" doubled so it shows literally); empty when hidden
};

struct SnippetMenuState {
    QList<SnippetMenuItem> mainItems;      // IDM_TEIGATA_1 … IDM_TEIGATA_10
    QList<SnippetMenuItem> contextItems;   // IDM_CONTEXT_TEIGATA_1 … IDM_CONTEXT_TEIGATA_10
    bool separatorAVisible = false;        // separatorA, below the main-menu items
    bool contextSeparatorVisible = false;  // IDM_CONTEXT_TEIGATA_S1, below the context items
};

// Items 1 to min(10, size) visible with their entry's title; both separators
// visible when the store has an entry. Everything else hidden.
SnippetMenuState snippetMenuState(const SnippetStore& store);

// A title as a menu caption: the title alone, every "&" doubled so the
// toolkit shows it instead of taking it for a mnemonic marker.
QString snippetMenuCaption(const QString& title);

QString snippetMenuId(int index);         // IDM_TEIGATA_<index>
QString snippetContextMenuId(int index);  // IDM_CONTEXT_TEIGATA_<index>
// 1..10 for IDM_TEIGATA_n or IDM_CONTEXT_TEIGATA_n, else 0.
int snippetIndexFromMenuId(const QString& id);

}  // namespace tw
