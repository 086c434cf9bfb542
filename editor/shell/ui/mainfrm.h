#pragma once
// The editor's main window: menus, tag tool bars, the edit box, start-up and
// exit.

#include "document.h"
#include "edithistory.h"
#include "editorsettings.h"
#include "platform.h"
#include "richtextbox.h"
#include "snippetstore.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QToolBar;

namespace tw {

class DesignBar;
class TeigataFrm;
class PreviewPipeline;
class PreviewView;
class PreviewWindowFrm;
class TagHighlighter;

struct QuilletContext {
    Platform platform;
    QString appFolder;
    QString commandLine;  // the whole command line: one document path
    bool browserEngine = true;  // false: the preview area stays empty (tests of other parts)
};

class MainFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainFrm(const QuilletContext& context, QWidget* parent = nullptr);
    ~MainFrm() override;

    // The load steps; run once after construction, before the window shows.
    void load();

    // Runs a command by its id (IDM_FORMAT_B, ...); false for an unknown id.
    bool runCommand(const QString& id);
    QAction* action(const QString& id) const { return m_actions.value(id); }

    EditBuffer& buffer() { return m_buffer; }
    EditHistory& history() { return m_history; }
    Document& document() { return m_document; }
    EditorSettings& settings() { return m_settings; }
    RichTextBox* editBox() const { return m_edit; }

    const Platform& platform() const { return m_ctx.platform; }
    QString appFolder() const { return m_ctx.appFolder; }

    // Public operations other windows call.
    bool Save_Check() { return m_document.Save_Check(); }
    void LoadSettings();
    void SaveSettings();
    // The snippet file, read once at start.
    void loadSnippets();
    // Places the work area after a change of the settings or the window.
    void ApplyLayout();
    void UpdateStatusBar();
    void TogglePreviewArea();
    // The folder dialog of the file panel.
    void changeFolder();
    // Turns the colouring of tags in the edit box on or off.
    void setTagColouring(bool on);

    DesignBar* designBar() const { return m_designBar; }
    PreviewView* browserArea() const { return m_browserArea; }
    PreviewPipeline& preview() { return *m_pipeline; }
    PreviewWindowFrm* previewWindow() const;
    void RefreshPreview(bool forced);
    void PreviewWindowShow();
    void ApplyBrowserMenus();
    void RefreshSnippetMenus();
    bool Teigata_Insert(int index);
    SnippetStore& snippets() { return m_snippets; }
    TeigataFrm* teigataFrm() const { return m_teigata; }
    QTabBar* tabs() const { return m_tabs; }
    QLineEdit* linkFileBox() const { return m_linkFile; }
    QMenu* contextMenu() const { return m_contextMenu; }
    QString statusText(int panel) const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct MenuEntry {
        QString id;        // empty: a separator
        QString caption;
        QString shortcut;
        QList<MenuEntry> children;  // a submenu
    };

    // An entry of the edit box's context menu: it runs its main-menu twin.
    struct ContextEntry {
        QString id;        // empty with an empty caption: a separator
        QString caption;
        QString runs;      // the main-menu command
        QList<ContextEntry> children;
    };

    void registerCommands();
    void buildMenus();
    void buildContextMenu();
    void addContextEntries(QMenu* menu, const QList<ContextEntry>& entries);
    QMenu* addMenu(QMenu* parent, const QString& objectName, const QString& caption, const QList<MenuEntry>& entries);
    void buildToolBars();
    void buildWorkArea();
    void buildStatusBar();
    void onPanelFolderChanged(const QString& folder);
    void openFromPanel(const QString& name);
    void runFontSetter();
    void selectLinkFile();
    void runOptions();
    void refreshViewChecks();
    void startBrowser(int n);
    void startCompanion(const QString& program);
    void onTextChanged();
    void applyPlacement(const WindowPlacement& p);
    WindowPlacement currentPlacement() const;
    QString timeText() const;

    QuilletContext m_ctx;
    RichTextBox* m_edit;
    PlainTextEditBuffer m_buffer;
    EditHistory m_history;
    Document m_document;
    EditorSettings m_settings;
    bool m_loaded = false;

    QHash<QString, std::function<void()>> m_commands;
    QHash<QString, QAction*> m_actions;
    QMenu* m_contextMenu = nullptr;
    SnippetStore m_snippets;
    TeigataFrm* m_teigata = nullptr;
    QToolBar* m_toolbar1 = nullptr;
    QToolBar* m_toolbar2 = nullptr;
    QToolBar* m_toolbar3 = nullptr;
    QToolBar* m_linkBar = nullptr;
    QLineEdit* m_linkFile = nullptr;
    QPushButton* m_fileSelectBtn = nullptr;
    QWidget* m_work = nullptr;
    DesignBar* m_designBar = nullptr;
    PreviewView* m_browserArea = nullptr;
    PreviewPipeline* m_pipeline = nullptr;
    QPointer<PreviewWindowFrm> m_previewWindow;
    QTabBar* m_tabs = nullptr;
    QLabel* m_panels[4] = {};
    TagHighlighter* m_highlighter = nullptr;
};

}  // namespace tw
