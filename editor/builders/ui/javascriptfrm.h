#pragma once
// JavaScriptの挿入: the fragments of the script library by name. The dialog
// is made once and hidden when it closes; each opening fills it afresh.

#include "common/platform.h"
#include "editor/builders/scriptlibrary.h"

#include <QDialog>

class QTreeWidget;

namespace tw {

class JavaScriptFrm : public QDialog {
    Q_OBJECT
public:
    JavaScriptFrm(const Platform& platform, QWidget* parent = nullptr);

    // Clears the list and shows these fragments, the first one chosen.
    // libraryPath is named when the list is empty and 挿入 is pressed.
    void setFragments(const QList<ScriptFragment>& fragments, const QString& libraryPath);
    // The chosen fragment's content as inserted (escapes expanded); empty
    // when none is chosen.
    QString chosenText() const;

private:
    void insert();

    Platform m_platform;
    QString m_libraryPath;
    QTreeWidget* m_list;
};

}  // namespace tw
