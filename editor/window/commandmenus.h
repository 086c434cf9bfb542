#pragma once
// Menus, the context menu and tool bars built from the command table: each
// entry runs its command, shows its caption and shortcut, and follows the
// command's enabled and check rules.

#include "editor/session/menus.h"

#include <QHash>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace tw {

class CommandRegistry;

class CommandMenus : public QObject {
    Q_OBJECT
public:
    CommandMenus(const CommandRegistry& registry, QObject* parent);

    void buildMenuBar(QMenuBar* bar, const QList<MenuNode>& menus);
    QMenu* buildContextMenu(const QList<MenuNode>& layout, QWidget* parent);
    // A button for each key that has a command; afterClick runs after each.
    QToolBar* buildToolBar(QMainWindow* window, const ToolBarDef& def, const std::function<void()>& afterClick);

    // A menu entry or named separator by id.
    QAction* action(const QString& id) const { return m_actions.value(id); }
    // Enabled states and check marks from the commands' rules.
    void refreshStates();

private:
    void addEntries(QMenu* menu, const QList<MenuNode>& nodes, bool context);

    const CommandRegistry& m_registry;
    QHash<QString, QAction*> m_actions;
};

}  // namespace tw
