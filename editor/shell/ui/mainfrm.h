#pragma once
// The editor's main window: menus, tag tool bars, the edit box, start-up and
// exit.

#include "document.h"
#include "edithistory.h"
#include "editorsettings.h"
#include "platform.h"
#include "richtextbox.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QToolBar;

namespace tw {

struct QuilletContext {
    Platform platform;
    QString appFolder;
    QString commandLine;  // the whole command line: one document path
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
    // Places the work area after a change of the settings or the window.
    void ApplyLayout();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    struct MenuEntry {
        QString id;        // empty: a separator
        QString caption;
        QString shortcut;
        QList<MenuEntry> children;  // a submenu
    };

    void registerCommands();
    void buildMenus();
    QMenu* addMenu(QMenu* parent, const QString& objectName, const QString& caption, const QList<MenuEntry>& entries);
    void buildToolBars();
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
    QToolBar* m_toolbar2 = nullptr;
    QToolBar* m_toolbar3 = nullptr;
};

}  // namespace tw
