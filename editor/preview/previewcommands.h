#pragma once
// The preview menu, the preview area's View entry and the companion programs.

#include "common/platform.h"

#include <QString>

namespace tw {

class CommandRegistry;
class Document;
class EditorWindow;
class PreviewPipeline;
struct EditorSettings;

struct PreviewCommandContext {
    PreviewPipeline& preview;
    EditorSettings& settings;
    Document& document;
    const Platform& platform;
    QString appFolder;
    EditorWindow& window;
};

void registerPreviewCommands(CommandRegistry& registry, const PreviewCommandContext& context);

// Starts browser n (1..3) on the preview file, telling the user when none is
// configured or it does not start.
void startBrowser(const PreviewCommandContext& context, int n);
// Starts a program of the tools folder; a missing or broken one is reported.
void startCompanion(const Platform& platform, const QString& appFolder, const QString& program);

}  // namespace tw
