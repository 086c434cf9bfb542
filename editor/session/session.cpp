#include "editor/session/session.h"

#include "common/appfolder.h"
#include "editor/document/editbuffer.h"
#include "editor/builders/buildercommands.h"
#include "editor/settings/headerfooter.h"
#include "editor/shell/helpcommands.h"
#include "editor/preview/previewcommands.h"
#include "editor/shell/shellcommands.h"
#include "editor/snippets/snippetcommands.h"
#include "editor/snippets/snippetfile.h"
#include "editor/tags/tagcommands.h"

#include <QFileInfo>

namespace tw {

EditorSession::EditorSession(EditBuffer& buffer, const Platform& platform, const QString& appFolder,
                             EditorWindow& window)
    : m_buffer(buffer),
      m_platform(platform),
      m_appFolder(appFolder),
      m_window(window),
      m_history(buffer),
      m_document(buffer, m_history, platform, appFolder),
      m_versionCheck(platform, appFolder, defaultWebPages()),
      m_preview({[this] { return m_buffer.text(); }, [this] { return m_document.format(); },
                 [this] { return m_document.previewFolder(); }, [this] { return m_window.previewLoading(); },
                 [this] { return m_document.hasOwnFile() ? m_document.fullPath() : QString(); },
                 [this] { return m_buffer.length(); }})
{
    QObject::connect(&m_buffer, &EditBuffer::changed, [this] { onTextChanged(); });
    QObject::connect(&m_preview, &PreviewPipeline::pageReady,
                     [this](const QString& path) { m_window.showPreview(path); });
    QObject::connect(&m_preview, &PreviewPipeline::noticeChanged,
                     [this](const QString& notice) { m_window.previewNotice(notice); });
    QObject::connect(&m_history, &EditHistory::undoRedoChanged, [this](bool, bool) {
        m_window.historyChanged();
        m_window.focusEditBox();
    });
    QObject::connect(&m_document, &Document::titleChanged, [this](const QString& t) { m_window.titleChanged(t); });
    QObject::connect(&m_document, &Document::formatChanged, [this] { m_window.formatChanged(); });
    QObject::connect(&m_document, &Document::panelFolderChanged, [this](const QString& folder) {
        // A new document's preview file followed the panel; the one left
        // behind in the old folder goes, and so does a stale one there.
        m_preview.folderChanged();
        const QString previous = m_document.PreviousFolder();
        if (!previous.isEmpty() && previous != m_document.previewFolder())
            m_document.deleteTempPreview(previous);
        m_window.panelFolderChanged(folder);
    });
    // Another document (or a new name) shows at once, within the size limit.
    QObject::connect(&m_document, &Document::refreshPreviewRequested, [this](bool forced) {
        m_preview.refresh(forced ? PreviewCause::Document : PreviewCause::Change, m_settings);
    });
    QObject::connect(&m_document, &Document::discardPreviewRequested, [this] { m_preview.removeFile(); });
    QObject::connect(&m_document, &Document::documentFileTaken, [this](const QString& path) { rememberRecent(path); });
    QObject::connect(&m_document, &Document::fileWritten, [this](const QString& path) {
        rememberRecent(path);
        m_window.documentChanged();  // saved: the unsaved mark goes
        // A file saved into the listed folder shows up in the list.
        if (QFileInfo(path).absolutePath() == QFileInfo(m_document.panelFolder()).absoluteFilePath())
            m_window.refreshFileList();
    });
    registerCommands();
}

void EditorSession::registerCommands()
{
    registerShellCommands(m_commands, {m_document, m_settings, m_platform, m_window});
    registerHelpCommands(m_commands, {m_platform, m_appFolder, m_versionCheck, m_window});
    registerTagCommands(m_commands, {m_buffer, m_history, m_platform, m_window});
    registerSnippetCommands(m_commands, {m_buffer, m_snippets, m_window});
    registerPreviewCommands(m_commands, {m_preview, m_settings, m_document, m_platform, m_appFolder, m_window});
    registerBuilderCommands(m_commands, {m_document, m_window});
    registerRecentCommands(m_commands, m_recent, m_document, m_platform, m_window);
}

void EditorSession::rememberRecent(const QString& path)
{
    const Result added = m_recent.add(QFileInfo(path).absoluteFilePath());
    if (!added && !m_recentWriteReported) {
        // Said once: the list is kept in memory for this run all the same.
        m_recentWriteReported = true;
        m_platform.messages->show(QStringLiteral("最近使ったファイルの一覧を保存できませんでした。\n") + added.reason(),
                                  QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
    }
    m_window.recentFilesChanged();
}

void EditorSession::loadSettings(WindowPlacement& placement)
{
    if (ensureSettingsFolders(m_appFolder))
        m_platform.messages->show(missingSettingsFolderMessage(), QStringLiteral("Quillet"), MsgIcon::None,
                                  MsgButtons::Ok);
    QString stored = m_appFolder;
    readSettingsFile(settingsPath(m_appFolder), m_appFolder, m_settings, placement, stored);
    m_versionCheck.setPages(readWebPages(settingsPath(m_appFolder)));
    m_recent.load(recentFilesPath(m_appFolder));
    m_window.recentFilesChanged();
    m_document.setPanelFolder(startFolder(stored, m_appFolder));
    m_window.panelFolderChanged(m_document.panelFolder());
    m_window.browsersChanged();
}

void EditorSession::loadSnippets()
{
    LoadSnippetFile(m_snippets, snippetFilePath(m_appFolder));
    m_window.snippetsChanged();
}

void EditorSession::startNewDocument()
{
    m_document.setDocumentName(newDocumentName());
    m_document.setHeaderFooter(loadHeaderText(m_appFolder), loadFooterText(m_appFolder));
    m_document.FillNewDocument();
    m_history.ResetHistory();
    m_document.UpdateTitle();
}

OptionValues EditorSession::optionValues()
{
    // As the dialog's load step: the framing texts are read again and
    // become the ones new documents use.
    const QString header = loadHeaderText(m_appFolder);
    const QString footer = loadFooterText(m_appFolder);
    m_document.setHeaderFooter(header, footer);
    OptionValues v = optionValuesFrom(m_settings, m_document.WorkingFolder());
    v.Header = header;
    v.Footer = footer;
    v.PanelFolder = m_document.panelFolder();
    return v;
}

QStringList EditorSession::applyOptions(const OptionValues& values, const std::optional<WindowPlacement>& placement)
{
    QStringList problems;
    const OptionsOutcome r = applyOptionValues(values, m_settings);
    if (!r.ok) {
        problems << r.message;
        return problems;
    }
    if (values.browsed)
        m_document.setPreviousFolder(m_document.panelFolder());
    if (!r.workingFolder.isEmpty())
        m_document.setPanelFolder(r.workingFolder);
    if (const Result saved = saveSettings(placement); !saved)
        problems << saved.reason();
    m_window.applyLayout();
    m_window.browsersChanged();
    // The texts in memory stay as the dialog found them; the edited ones
    // apply from the next opening or the next start.
    for (const auto& [path, text] :
         {std::pair{headerPath(m_appFolder), values.Header}, std::pair{footerPath(m_appFolder), values.Footer}}) {
        if (const Result saved = saveHeaderFooterFile(path, text); !saved)
            problems << saved.reason();
    }
    return problems;
}

Result EditorSession::saveSettings(const std::optional<WindowPlacement>& placement)
{
    const Result written =
        writeSettingsFile(settingsPath(m_appFolder), m_appFolder, m_settings, placement, m_document.WorkingFolder());
    if (written)
        return written;
    return Result::failure(QStringLiteral("設定を保存できませんでした。\n") + written.reason());
}

void EditorSession::checkVersionAtStart()
{
    if (m_settings.NewVersionCheck == 1)
        m_versionCheck.CheckForNewVersion(0);
}

void EditorSession::onTextChanged()
{
    m_history.onTextChanged();
    m_window.documentChanged();
    if (m_settings.Preview == 1)
        RefreshPreview(false);
}

void EditorSession::close()
{
    m_document.Fpath_Change();
    // No refresh may write the temporary file again after it is gone.
    m_preview.removeFile();
    m_document.deleteTempPreview(m_document.WorkingFolder());
}

}  // namespace tw
