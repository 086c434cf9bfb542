#pragma once
// The Insert menu's builders and the File menu's page skeleton. Each opens
// its dialog through the window; the dialog's text goes into the document.

namespace tw {

class CommandRegistry;
class Document;
class EditorWindow;

struct BuilderCommandContext {
    Document& document;
    EditorWindow& window;
};

void registerBuilderCommands(CommandRegistry& registry, const BuilderCommandContext& context);

}  // namespace tw
