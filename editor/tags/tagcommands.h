#pragma once
// The edit, format, alignment and insert commands, the conversions and the
// tag tool bars.

#include "common/platform.h"

namespace tw {

class CommandRegistry;
class EditBuffer;
class EditHistory;
class EditorWindow;

struct TagCommandContext {
    EditBuffer& buffer;
    EditHistory& history;
    const Platform& platform;
    EditorWindow& window;
};

void registerTagCommands(CommandRegistry& registry, const TagCommandContext& context);

}  // namespace tw
