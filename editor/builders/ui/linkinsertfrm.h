#pragma once
// リンクの挿入: a link to a file or address, to a mail address with an
// optional subject, or to a label in the page, wrapping the selected text.

#include "common/platform.h"
#include "editor/builders/links.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTabWidget;

namespace tw {

class LinkInsertFrm : public QDialog {
    Q_OBJECT
public:
    // panelFolder and relativePaths (SoutaiPath): how a picked file is written.
    LinkInsertFrm(const LinkOptions& values, const Platform& platform, const QString& panelFolder, bool relativePaths,
                  QWidget* parent = nullptr);

    // The values of the shown tab; selected stays as given.
    LinkOptions values() const;

private:
    void browse();

    Platform m_platform;
    QString m_panelFolder;
    bool m_relativePaths;
    QString m_selected;
    QTabWidget* m_tabs;
    QLineEdit* m_file;
    QComboBox* m_fileTarget;
    QLineEdit* m_address;
    QLineEdit* m_subject;
    QLineEdit* m_label;
    QComboBox* m_labelTarget;
};

}  // namespace tw
