#pragma once
// The folder dialog of the file panel: a list of mounted volumes and a
// folder tree.

#include "common/platform.h"

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace tw {

class FSelect : public QDialog {
    Q_OBJECT
public:
    FSelect(const QString& folder, MessageBoxes* messages, QWidget* parent = nullptr);

    // The folder the tree shows (its current item).
    QString selectedFolder() const;
    void selectFolder(const QString& folder);
    // Points the tree at a volume; false (and the user told) when it cannot be read.
    bool chooseDrive(const QString& root);

    static QStringList volumes();

private:
    QComboBox* Drive1;
    QTreeView* Dir1;
    QFileSystemModel* m_model;
    MessageBoxes* m_messages;
    QString m_drive;
};

}  // namespace tw
