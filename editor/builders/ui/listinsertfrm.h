#pragma once
// リストの挿入: the kind of list, its number of items, the start number of
// numbered lists and the bullet picture.

#include "common/platform.h"
#include "editor/builders/listskeleton.h"
#include "common/gui/updown.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tw {

class ListInsertFrm : public QDialog {
    Q_OBJECT
public:
    // panelFolder: where a picked picture is made relative to.
    ListInsertFrm(const ListOptions& values, const Platform& platform, const QString& panelFolder,
                  QWidget* parent = nullptr);

    // Shows the picture row, enables the start-number and item-count rows.
    void MarkSet(bool picture, bool start, bool count);
    ListOptions values() const;

private:
    void browse();
    void insert();

    Platform m_platform;
    QString m_panelFolder;
    QComboBox* m_kind;
    QLineEdit* m_count;
    QLineEdit* m_start;
    QLineEdit* m_picture;
    QLabel* m_countLabel;
    QLabel* m_startLabel;
    QLabel* m_pictureLabel;
    UpDown* m_countUpDown;
    UpDown* m_startUpDown;
    QPushButton* m_browse;
};

}  // namespace tw
