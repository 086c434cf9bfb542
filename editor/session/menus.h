#pragma once
// Where each command stands: the menu bar, the edit box's context menu and
// the tool bars. Captions and shortcuts come from the command table; an
// entry whose command nobody registered is left out when the menus are built.

#include "editor/tags/formatting.h"

#include <QList>
#include <QString>

namespace tw {

struct MenuNode {
    enum Kind { Entry, Separator, Submenu };
    Kind kind = Entry;
    QString id;       // the command (a context twin id in the context menu); a separator's name, if any
    QString caption;  // submenus only
    QList<MenuNode> children;
};

// The top-level menus of the menu bar, each a Submenu node.
QList<MenuNode> mainMenuBar();
// The edit box's context menu (IDM_CONTEXT).
QList<MenuNode> contextMenuLayout();

struct ToolBarDef {
    QString name;   // Toolbar1
    QString title;  // 標準ツールバー
    QList<ToolButtonDef> buttons;
};
// Toolbar1, Toolbar2, Toolbar3 in the order they stand.
QList<ToolBarDef> toolBars();

// A button of a customised tool bar: where it stands and whether it shows.
struct ToolButtonState {
    ToolButtonDef button;
    bool visible = true;
};

}  // namespace tw
