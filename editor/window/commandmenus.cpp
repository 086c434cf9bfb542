#include "editor/window/commandmenus.h"
#include "editor/commands/commandids.h"

#include "common/gui/icons.h"
#include "editor/commands/commandregistry.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace tw {

CommandMenus::CommandMenus(const CommandRegistry& registry, QObject* parent) : QObject(parent), m_registry(registry) {}

void CommandMenus::buildMenuBar(QMenuBar* bar, const QList<MenuNode>& menus)
{
    for (const MenuNode& top : menus) {
        QMenu* menu = bar->addMenu(top.caption);
        menu->setObjectName(top.id);
        menu->menuAction()->setObjectName(top.id);
        addEntries(menu, top.children, false);
    }
}

QMenu* CommandMenus::buildContextMenu(const QList<MenuNode>& layout, QWidget* parent)
{
    auto* menu = new QMenu(QStringLiteral("コンテキストメニュー"), parent);
    menu->setObjectName(QString::fromLatin1(cmd::IDM_CONTEXT));
    addEntries(menu, layout, true);
    return menu;
}

void CommandMenus::addEntries(QMenu* menu, const QList<MenuNode>& nodes, bool context)
{
    menu->setSeparatorsCollapsible(true);
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Separator) {
            QAction* sep = menu->addSeparator();
            if (!n.id.isEmpty()) {  // shown and hidden by name
                sep->setObjectName(n.id);
                m_actions.insert(n.id, sep);
            }
            continue;
        }
        if (n.kind == MenuNode::Submenu) {
            auto* sub = new QMenu(n.caption, menu);
            sub->setObjectName(n.id);
            addEntries(sub, n.children, context);
            if (sub->actions().isEmpty()) {
                delete sub;
                continue;
            }
            menu->addMenu(sub)->setObjectName(n.id);
            continue;
        }
        const Command* c = m_registry.find(n.id);
        if (!c)
            continue;  // not built
        QAction* a = menu->addAction(context ? c->contextCaption : c->caption);
        a->setObjectName(n.id);
        if (!context && !c->shortcut.isEmpty())
            a->setShortcut(QKeySequence(c->shortcut));
        if (!context && c->checked)
            a->setCheckable(true);
        const QString id = n.id;
        connect(a, &QAction::triggered, this, [this, id] { m_registry.run(id); });
        m_actions.insert(id, a);
    }
}

QToolBar* CommandMenus::buildToolBar(QMainWindow* window, const ToolBarDef& def,
                                     const std::function<void()>& afterClick)
{
    QToolBar* bar = window->addToolBar(def.title);
    bar->setObjectName(def.name);
    bar->setAccessibleName(def.title);
    for (const ToolButtonDef& b : def.buttons) {
        const Command* c = m_registry.findToolKey(def.name, b.key);
        if (!c)
            continue;
        QAction* a = bar->addAction(b.caption);
        a->setObjectName(def.name + QLatin1Char('_') + b.key);
        a->setData(b.key);
        a->setToolTip(b.tip);
        if (!b.icon.isEmpty())
            a->setIcon(toolIcon(b.icon));
        if (QWidget* w = bar->widgetForAction(a))
            w->setAccessibleName(b.tip);
        const QString id = c->id;
        connect(a, &QAction::triggered, this, [this, id, afterClick] {
            m_registry.run(id);
            if (afterClick)
                afterClick();
        });
        m_actions.insert(a->objectName(), a);
    }
    return bar;
}

void CommandMenus::refreshStates()
{
    for (const Command& c : m_registry.all()) {
        for (const QString& id : {c.id, c.contextId}) {
            QAction* a = id.isEmpty() ? nullptr : m_actions.value(id);
            if (!a)
                continue;
            if (c.enabled)
                a->setEnabled(c.enabled());
            if (c.checked && a->isCheckable())
                a->setChecked(c.checked());
        }
    }
}

}  // namespace tw
