#pragma once
// The editor's main window: it owns the edit box, lays out the widgets,
// builds its menus and tool bars from the command table and forwards events
// to the editor session.

#include "editor/commands/editorwindow.h"
#include "common/platform.h"
#include "editor/document/ui/scintillaeditbuffer.h"
#include "editor/session/session.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QTimer;

namespace tw {

class CommandMenus;
class DesignBar;
class LinkBar;
class PreviewView;
class PreviewWindowFrm;
class TagAssist;
class TagHighlighter;
class PrintDialogs;
class TeigataFrm;

struct QuilletContext {
    Platform platform;
    QString appFolder;
    QString commandLine;                   // the whole command line: one document path
    bool browserEngine = true;             // false: the preview area stays empty (tests of other parts)
    int splashMs = 0;                      // the splash's least time at start; 0: no splash (tests)
    PrintDialogs* printDialogs = nullptr;  // nullptr: the print dialog on screen
};

class MainFrm : public QMainWindow, public EditorWindow {
    Q_OBJECT
public:
    explicit MainFrm(const QuilletContext& context, QWidget* parent = nullptr);
    ~MainFrm() override;

    // The load steps; run once after construction, before the window shows.
    void load();

    EditorSession& session() { return m_session; }
    // Runs a command by its id (IDM_FORMAT_B, ...); false for an unknown id.
    bool runCommand(const QString& id) { return m_session.commands().run(id); }
    // A menu entry, context entry, tool-bar button ("Toolbar1_New") or named separator.
    QAction* action(const QString& id) const;
    QString statusText(int panel) const;
    // Writes quillet.ini with the window's placement; a failure is reported.
    void SaveSettings();
    // A document handed over by a second start of the program (empty: none):
    // the window comes to the front, then opens it after Save_Check.
    void openFromOtherStart(const QString& path);
    void ApplyLayout();
    void UpdateStatusBar();

    // EditorWindow
    void showSearch() override;
    void showSnippetEditor() override;
    void showOptions() override;
    void chooseFolder() override;
    void showPreviewWindow(const QString& file) override;
    void showBuilder(const QString& commandId) override;
    void showAbout() override;
    void showPageSetting() override;
    void printDocument() override;
    void customizeToolBar(const QString& toolBarName) override;
    void applyLayout() override { ApplyLayout(); }
    void selectSourceTab() override;
    void refreshFileList() override;
    void applyFilePattern() override;
    void focusEditBox() override;
    void closeWindow() override { close(); }
    void titleChanged(const QString& title) override;
    void documentChanged() override;
    void recentFilesChanged() override;
    void formatChanged() override;
    void panelFolderChanged(const QString& folder) override;
    void historyChanged() override;
    void snippetsChanged() override;
    void browsersChanged() override;
    void showPreview(const QString& file) override;
    bool previewLoading() const override;
    void previewNotice(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildWorkArea();
    void halveSplitter();
    void buildMenusAndBars();
    void buildStatusBar();
    void openFromPanel(const QString& name);
    // The file panel highlights the document's own file, wherever the click went.
    void highlightDocumentFile();
    void runFontSetter(const QString& size, const QString& colour);
    void selectLinkFile();
    void applyPlacement(const WindowPlacement& p);
    std::optional<WindowPlacement> normalPlacement() const;
    void report(const QString& text, MsgIcon icon = MsgIcon::Warning);
    // Colouring, word wrap and completion as the settings say.
    void applyEditView();
    void showModifiedMark(bool modified);

    QuilletContext m_ctx;
    RichTextBox* m_edit;
    ScintillaEditBuffer m_buffer;
    EditorSession m_session;
    bool m_loaded = false;

    CommandMenus* m_menus = nullptr;
    QMenu* m_contextMenu = nullptr;
    TeigataFrm* m_teigata = nullptr;
    LinkBar* m_linkBar = nullptr;
    QWidget* m_work = nullptr;
    DesignBar* m_designBar = nullptr;
    PreviewView* m_browserArea = nullptr;
    QPointer<PreviewWindowFrm> m_previewWindow;
    QTabBar* m_tabs = nullptr;
    QSplitter* m_split = nullptr;  // the edit box and the preview
    int m_arrangement = -1;        // the arrangement the splitter was last halved for
    bool m_dividerMoved = false;   // dragged by the user since
    QLabel* m_panels[4] = {};
    QLabel* m_formatPanel = nullptr;  // the document's encoding and line end
    TagHighlighter* m_highlighter = nullptr;
    TagAssist* m_assist = nullptr;
    QTimer* m_markCheck = nullptr;  // the unsaved mark when only reading the text can tell
};

}  // namespace tw
