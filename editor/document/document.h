#pragma once
// The one document of the editor: where it lives, what it is called, whether
// it has unsaved changes (its text differs from the one last opened or saved), the window title,
// and the File menu operations that replace or store the text.

#include "common/platform.h"
#include "common/textfile.h"
#include "editor/document/documentload.h"
#include "editor/document/savedmark.h"

#include <QObject>
#include <QString>

#include <functional>

namespace tw {

class EditBuffer;
class EditHistory;

QString newDocumentName();     // 新規文書
QString documentFileFilter();  // shared by the four file dialogs
QString titlePrefix();         // "Tagwright - "
QString tempPreviewName();     // quillettmp.html

enum class SaveOutcome { Written, Cancelled, Failed };

class Document : public QObject {
    Q_OBJECT
public:
    Document(EditBuffer& buffer, EditHistory& history, const Platform& platform, const QString& appFolder);

    // State.
    QString WorkingFolder() const { return m_workingFolder; }
    QString DocumentName() const { return m_documentName; }
    QString PreviousFolder() const { return m_previousFolder; }
    QString title() const { return m_title; }
    FileFormat format() const { return m_format; }
    // The document's own file; for a new document or an opened template
    // (which have none) the name in the file panel's folder.
    QString fullPath() const;
    // The folder of the document's own file, empty while it has none.
    QString documentFolder() const { return m_documentFolder; }
    bool hasOwnFile() const { return !m_documentFolder.isEmpty(); }
    // Where the preview file goes: beside the document, so that its relative
    // links resolve, or in the file panel's folder for a new document.
    QString previewFolder() const { return hasOwnFile() ? m_documentFolder : m_panelFolder; }
    bool isModified() const;
    // isModified() when it can be told without reading the text; nothing otherwise.
    std::optional<bool> isModifiedAtOnce() const { return m_saved.differsAtOnce(m_buffer); }

    void setHeaderFooter(const QString& header, const QString& footer);
    QString header() const { return m_header; }
    QString footer() const { return m_footer; }
    void setPreviousFolder(const QString& folder) { m_previousFolder = folder; }
    void setDocumentName(const QString& name) { m_documentName = name; }
    // Points the file panel (and WorkingFolder) at a folder.
    void setPanelFolder(const QString& folder);
    QString panelFolder() const { return m_panelFolder; }

    // Operations.
    bool Save_Check();
    void FillNewDocument();
    void UpdateTitle();
    void Fpath_Change();
    void FollowDocumentFolder(const QString& fullPath);
    void deleteTempPreview(const QString& folder) const;

    // File menu commands.
    void newDocument();  // IDM_NEW
    // A generated page becomes a new, unchanged document (after Save_Check).
    void newFromText(const QString& text);
    void open();                   // IDM_OPEN
    SaveOutcome save();            // IDM_OVERSAVE
    SaveOutcome SaveDocumentAs();  // IDM_SAVE
    void openTemplate();           // IDM_FILE_TEMPLATEOPEN
    SaveOutcome saveTemplate();    // IDM_FILE_TEMPLATESAVE
    // A document named on the command line.
    bool openPath(const QString& fullPath);
    // A file clicked in the file panel: asks about unsaved changes first.
    bool openFromPanel(const QString& name);
    // A file dropped on the edit box: one undoable change, title with the path.
    bool dropFile(const QString& fullPath);
    // Reads the document's file again in the given encoding (asking first
    // when the text has unsaved changes); false when it stays as it was.
    bool reopenAs(TextEncoding encoding);
    // The encoding the next save writes.
    void setSaveEncoding(TextEncoding encoding);
    // How opening reads a file (piece size, progress, the memory it may take).
    LoadTuning& loadTuning() { return m_loadTuning; }

signals:
    void titleChanged(const QString& title);
    // The preview should show the text again (forced: even when real-time
    // preview is off).
    void refreshPreviewRequested(bool forced);
    void panelFolderChanged(const QString& folder);
    // A file was written (save, save as, template save).
    void fileWritten(const QString& path);
    // The preview file of the document being replaced can go (new, open).
    void discardPreviewRequested();
    // The document took a file as its own (opened, saved under a name, dropped).
    void documentFileTaken(const QString& path);
    // The encoding or line end the document is saved in changed.
    void formatChanged();

private:
    // Asks for the file with the save dialog, writes it and takes its name.
    SaveOutcome saveUnderName(const FileDialogRequest& request);
    bool readFile(const QString& path, ReadResult& result) const;  // reports a failure
    bool confirmBinary(const QString& path) const;
    // Reads a file for opening; reports a failure (not a cancel).
    bool loadFile(const QString& path, std::optional<TextEncoding> forced, LoadedDocument& loaded);
    // The loaded text becomes the document, unchanged.
    void takeLoaded(LoadedDocument& loaded);
    void takeText(const ReadResult& file);
    // Reports a failure, except a write-protected file (*writeProtected is
    // set, for the caller to offer another name); a written file is the saved text.
    bool writeTo(const QString& path, bool* writeProtected = nullptr);
    // Tells that a file is write-protected; true when the user wants to save under another name.
    bool offerSaveAs(const QString& path) const;
    void setTitle(const QString& title);
    void setFormat(const FileFormat& format);
    // Offers UTF-8 when the text holds a character the encoding cannot; the
    // result of the write that was made in the end.
    WriteResult writeOfferingUtf8(const QString& path, QString text, const WriteResult& failed);
    void refreshPreview(bool forced);
    void showError(const QString& text) const;
    void discardPreview();

    EditBuffer& m_buffer;
    EditHistory& m_history;
    Platform m_platform;
    QString m_appFolder;

    QString m_workingFolder;
    QString m_panelFolder;
    QString m_documentFolder;
    QString m_documentName;
    SavedMark m_saved;
    QString m_previousFolder;
    QString m_title;
    FileFormat m_format;
    QString m_header;
    QString m_footer;
    LoadTuning m_loadTuning;
};

}  // namespace tw
