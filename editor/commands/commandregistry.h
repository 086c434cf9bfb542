#pragma once
// Every command of the editor in one table: the menus, the context menu, the
// tool bars and the shortcuts are built from it, and each runs the command's
// one handler. Each subsystem adds its own commands.

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

namespace tw {

struct Command {
    QString id;         // IDM_FORMAT_B
    QString caption;    // the main menu's caption, 太字(&B); empty for tool-bar-only commands
    QString shortcut;   // Ctrl+B
    QString contextId;  // the context menu's twin, IDM_CONTEXT_FONT_B
    QString contextCaption;
    QString toolBar;  // Toolbar1 / Toolbar2 / Toolbar3, or empty
    QString toolKey;  // the button's key on that bar
    std::function<void()> run;
    std::function<bool()> enabled;  // empty: always enabled
    std::function<bool()> checked;  // empty: the entry carries no check mark
};

class CommandRegistry {
public:
    // Adds a command; an id or a twin id that is already taken is refused
    // (false), so two subsystems cannot claim one menu entry.
    bool add(Command command);

    // By main-menu id or context twin id; nullptr when unknown.
    const Command* find(const QString& id) const;
    // The command of a tool-bar button; nullptr for a key nobody claims.
    const Command* findToolKey(const QString& bar, const QString& key) const;
    // Runs a command by either of its ids; false when there is none.
    bool run(const QString& id) const;
    bool isEnabled(const QString& id) const;

    const QList<Command>& all() const { return m_commands; }

private:
    QList<Command> m_commands;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byKey;
};

}  // namespace tw
