#pragma once
// The snippet menu's numbered items and the snippet dialog command.

namespace tw {

class CommandRegistry;
class EditBuffer;
class EditorWindow;
class SnippetStore;

struct SnippetCommandContext {
    EditBuffer& buffer;
    const SnippetStore& store;
    EditorWindow& window;
};

void registerSnippetCommands(CommandRegistry& registry, const SnippetCommandContext& context);

}  // namespace tw
