#pragma once
// The editor without its window: the document and its history, the
// settings, the snippet store, the preview pipeline and the command table.
// The main window owns the edit box and lays out widgets; everything it does
// beyond that goes through here.

#include "editor/commands/commandregistry.h"
#include "common/result.h"
#include "editor/document/document.h"
#include "editor/document/edithistory.h"
#include "editor/settings/editorsettings.h"
#include "editor/commands/editorwindow.h"
#include "editor/settings/options.h"
#include "editor/shell/printlayout.h"
#include "editor/shell/recentfiles.h"
#include "editor/shell/versioncheck.h"
#include "common/platform.h"
#include "editor/preview/preview.h"
#include "editor/snippets/snippetstore.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace tw {

class EditorSession {
public:
    EditorSession(EditBuffer& buffer, const Platform& platform, const QString& appFolder, EditorWindow& window);
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    EditBuffer& buffer() { return m_buffer; }
    EditHistory& history() { return m_history; }
    Document& document() { return m_document; }
    EditorSettings& settings() { return m_settings; }
    const EditorSettings& settings() const { return m_settings; }
    SnippetStore& snippets() { return m_snippets; }
    PreviewPipeline& preview() { return m_preview; }
    RecentFiles& recentFiles() { return m_recent; }
    CommandRegistry& commands() { return m_commands; }
    VersionCheck& versionCheck() { return m_versionCheck; }
    // Set at start from the printer; changed only by the page setup.
    PrintSettings& printSettings() { return m_printSettings; }
    const Platform& platform() const { return m_platform; }
    QString appFolder() const { return m_appFolder; }

    // Creates the folders (the user is told once when the settings folder
    // was missing), reads quillet.ini into the settings and placement, and
    // points the file panel at the stored folder.
    void loadSettings(WindowPlacement& placement);
    // The snippet file, read once at start; afterwards the store changes
    // only through the snippet dialog, which writes the file itself.
    void loadSnippets();
    // The framing texts from Header.txt / Futter.txt, and a new document.
    void startNewDocument();

    // The options dialog's values: the settings as they are now, and the
    // framing texts read again from their files.
    OptionValues optionValues();
    // Takes confirmed values: settings, panel folder, quillet.ini and the
    // framing files. placement is the window's, when it is in its normal
    // state. Failures to write come back as messages for the user.
    QStringList applyOptions(const OptionValues& values, const std::optional<WindowPlacement>& placement);
    // Writes quillet.ini; false with a message when it cannot be written.
    Result saveSettings(const std::optional<WindowPlacement>& placement);

    // The last start step: the version check when the settings ask for it.
    void checkVersionAtStart();

    // The edit box's change notification.
    void onTextChanged();
    void RefreshPreview(bool forced) { m_preview.RefreshPreview(forced, m_settings); }
    // The end of the program, after Save_Check said yes: the preview file goes.
    void close();

private:
    void registerCommands();
    void rememberRecent(const QString& path);

    EditBuffer& m_buffer;
    Platform m_platform;
    QString m_appFolder;
    EditorWindow& m_window;
    EditHistory m_history;
    Document m_document;
    EditorSettings m_settings;
    SnippetStore m_snippets;
    VersionCheck m_versionCheck;
    PreviewPipeline m_preview;
    PrintSettings m_printSettings;
    RecentFiles m_recent;
    bool m_recentWriteReported = false;
    CommandRegistry m_commands;
};

}  // namespace tw
