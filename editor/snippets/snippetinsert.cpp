#include "editor/snippets/snippetinsert.h"

#include "editor/document/editbuffer.h"
#include "editor/snippets/keyname.h"
#include "editor/snippets/snippettext.h"

namespace tw {

bool Teigata_Insert(EditBuffer& buffer, const SnippetStore& store, int index)
{
    if (!store.isValidRow(index - 1))
        return false;
    const TeigataEntry& e = store.at(index - 1);
    buffer.WrapSelection(DecodeSnippetText(e.StartText), DecodeSnippetText(e.EndText));
    return true;
}

QList<TeigataEntry> hotKeySnippets(const SnippetStore& store, int keyCode, int shift)
{
    QList<TeigataEntry> matches;
    if (shift == 0)
        return matches;
    const QString name = KeyName(keyCode, shift);
    if (name.isEmpty())
        return matches;
    for (const TeigataEntry& e : store.entries()) {
        if (e.HotKey == name)
            matches.append(e);
    }
    return matches;
}

EditKeyResult handleEditBoxKey(EditBuffer& buffer, const SnippetStore& store, int keyCode, int shift)
{
    EditKeyResult result;
    for (const TeigataEntry& e : hotKeySnippets(store, keyCode, shift)) {
        buffer.ReplaceSelection(decodeHotKeyText(e.StartText));
        ++result.inserted;
    }
    if (keyCode == vk::Tab) {
        buffer.ReplaceSelection(QStringLiteral("\t"));
        result.consumed = true;
    }
    return result;
}

}  // namespace tw
