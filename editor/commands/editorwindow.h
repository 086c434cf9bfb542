#pragma once
// What the editor's commands and its session ask of the main window. The
// window implements it; tests use a recording stand-in.

#include <QString>

namespace tw {

class EditorWindow {
public:
    virtual ~EditorWindow() = default;

    // Dialogs and windows the commands open.
    virtual void showSearch() = 0;
    virtual void showSnippetEditor() = 0;
    virtual void showOptions() = 0;
    virtual void chooseFolder() = 0;
    virtual void showPreviewWindow(const QString& file) = 0;
    // The dialog of an insert builder (IDM_LIST, IDM_HTMLNEW, ...); its text
    // goes into the document when confirmed.
    virtual void showBuilder(const QString& commandId) = 0;
    virtual void showAbout() = 0;
    virtual void showPageSetting() = 0;
    // Prints the whole text after the print dialog.
    virtual void printDocument() = 0;
    // The customise dialog of a tool bar (Toolbar1, Toolbar2); kept for this run only.
    virtual void customizeToolBar(const QString& toolBarName) = 0;

    // Arrangement and focus.
    virtual void applyLayout() = 0;
    virtual void selectSourceTab() = 0;
    virtual void refreshFileList() = 0;   // lists the panel's folder again
    virtual void applyFilePattern() = 0;  // takes Text5's pattern, then lists
    virtual void focusEditBox() = 0;
    virtual void closeWindow() = 0;

    // What changed in the session.
    virtual void titleChanged(const QString& title) = 0;
    virtual void formatChanged() {}  // the document's encoding or line end
    virtual void panelFolderChanged(const QString& folder) = 0;
    virtual void historyChanged() = 0;   // undo/redo states
    virtual void snippetsChanged() = 0;  // the snippet menus
    virtual void browsersChanged() = 0;  // the preview menus' browser entries
    virtual void showPreview(const QString& file) = 0;
    // True while the embedded browser is still loading the page it was given.
    virtual bool previewLoading() const { return false; }
    virtual void previewNotice(const QString& text) = 0;  // the line above the preview; empty hides it
    virtual void documentChanged() {}                     // the text changed (the unsaved mark)
    virtual void recentFilesChanged() {}                  // the File menu's recent list
};

}  // namespace tw
