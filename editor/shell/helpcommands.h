#pragma once
// The Help menu: the help pages, the maker's page, the version check and
// the about box.

#include "common/platform.h"

namespace tw {

class CommandRegistry;
class EditorWindow;
class VersionCheck;

struct HelpCommandContext {
    const Platform& platform;
    QString appFolder;
    VersionCheck& versionCheck;
    EditorWindow& window;
};

// app + /help/index.html: the table of contents of the help pages.
QString helpIndexPath(const QString& appFolder);

void registerHelpCommands(CommandRegistry& registry, const HelpCommandContext& context);

}  // namespace tw
