#pragma once
// The customise dialog of a tool bar: which buttons it shows and in which
// order, with a way back to the buttons it started with. The window applies
// the result for the running program only.

#include "editor/session/menus.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace tw {

class ToolbarCustomizeFrm : public QDialog {
    Q_OBJECT
public:
    // current: the bar's buttons as they stand; defaults: as the program starts.
    ToolbarCustomizeFrm(const QString& barTitle, const QList<ToolButtonState>& current,
                        const QList<ToolButtonState>& defaults, QWidget* parent = nullptr);

    // The list as confirmed: every button, in order, shown or not.
    QList<ToolButtonState> buttons() const;

private:
    void fill(const QList<ToolButtonState>& buttons);
    void move(int by);
    void updateButtons();

    QList<ToolButtonState> m_defaults;
    QList<ToolButtonDef> m_defs;  // by the key an item carries
    QListWidget* m_list = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
};

}  // namespace tw
