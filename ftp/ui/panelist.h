#pragma once
// The list of one pane: one model shown either as a report with columns or
// as icons, small icons or a list, sharing one selection. Sorting by a
// column header; in-place renaming hands the new name to the window
// instead of writing it.

#include "ftp/client/mdl_main.h"

#include <QStackedWidget>

class QListView;
class QSortFilterProxyModel;
class QTreeView;
class QModelIndex;

namespace tw {

class PaneModel;

class PaneList : public QStackedWidget {
    Q_OBJECT
public:
    enum ViewMode { Icons = 0, SmallIcons = 1, List = 2, Report = 3 };

    PaneList(bool remote, QWidget* parent = nullptr);

    void clear();
    void addItems(const QList<ListItem>& items);
    void addItem(const ListItem& item);
    // 1-based row (in list order) of the item with exactly that name, 0 when none.
    int findItem(const QString& name) const;
    // The item of a 1-based row, in list order.
    ListItem item(int row) const;
    void setItem(int row, const ListItem& item);
    void removeItem(int row);
    int count() const;
    QStringList names() const;
    // 1-based rows of the selected items, in list order.
    QList<int> selectedRows() const;

    void setViewMode(ViewMode mode);
    ViewMode viewMode() const { return m_mode; }
    QTreeView* report() const { return m_tree; }
    QListView* iconView() const { return m_icons; }
    // Starts editing the label of the first selected item.
    void editSelected();
    // The view that is shown.
    QWidget* currentView() const;

signals:
    void focused();
    void folderOpened(int row);
    void keyReleased(int key);
    void rightReleased(const QPoint& globalPos);
    void renameRequested(int row, const QString& newName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class RenameDelegate;
    QModelIndex proxyIndex(int row) const;
    void resort();
    void onEdited(const QModelIndex& proxy, const QString& text);

    bool m_remote;
    PaneModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTreeView* m_tree;
    QListView* m_icons;
    ViewMode m_mode = Icons;
};

}  // namespace tw
