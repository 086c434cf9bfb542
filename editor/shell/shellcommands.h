#pragma once
// The File, View and Tools commands of the editor shell.

#include "common/platform.h"

namespace tw {

class CommandRegistry;
class Document;
class EditorWindow;
struct EditorSettings;

struct ShellCommandContext {
    Document& document;
    EditorSettings& settings;
    const Platform& platform;
    EditorWindow& window;
};

void registerShellCommands(CommandRegistry& registry, const ShellCommandContext& context);

}  // namespace tw
