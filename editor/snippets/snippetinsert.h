#pragma once
// Putting snippets into the document: from the numbered menu items, by hot
// key in the edit box, and the edit box's Tab key.

#include "editor/snippets/snippetstore.h"

#include <QList>

namespace tw {

class EditBuffer;

// Wraps the selection in the decoded start and end texts of entry index
// (1-based, as the menu items number them). With no selection the caret ends
// behind the end text. An index outside the store does nothing (false).
bool Teigata_Insert(EditBuffer& buffer, const SnippetStore& store, int index);

// The entries, in store order, whose HotKey equals KeyName(keyCode, shift)
// exactly. Nothing when no modifier is held or the key has no name.
QList<TeigataEntry> hotKeySnippets(const SnippetStore& store, int keyCode, int shift);

struct EditKeyResult {
    int inserted = 0;       // snippets inserted by hot key
    bool consumed = false;  // true for Tab: the edit box must not handle the key itself
};

// The edit box's key-down step, run before the box handles the key:
// 1. every hot-key match is inserted in store order by ReplaceSelection with
//    its start text ("\n" as CR LF; "\t" and the end text unused), the first
//    replacing the selection, the next ones behind it; the key still goes on
//    to the box (Shift+Enter still breaks the line);
// 2. Tab (with or without modifiers) then replaces the selection by a tab
//    character and is consumed, so the focus never leaves the box by Tab.
EditKeyResult handleEditBoxKey(EditBuffer& buffer, const SnippetStore& store, int keyCode, int shift);

}  // namespace tw
