#include "ftp/ui/panelist.h"
#include "common/gui/icons.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace tw {

namespace {

constexpr int kSortRole = Qt::UserRole + 1;

// Looked up once: a theme lookup per item would make a large listing crawl.
const QIcon& iconFor(int index)
{
    static const QIcon icons[3] = {
        toolIcon(QStringLiteral("folder")),
        toolIcon(QStringLiteral("text-x-generic")),
        toolIcon(QStringLiteral("application-octet-stream")),
    };
    return icons[std::clamp(index, 1, 3) - 1];
}

constexpr int kFolderRole = Qt::UserRole + 2;

class PaneSortModel : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    // By name with folders first, until the user picks a column.
    bool foldersFirst = true;

protected:
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override
    {
        if (foldersFirst) {
            const bool fa = a.data(kFolderRole).toBool();
            const bool fb = b.data(kFolderRole).toBool();
            if (fa != fb)
                return sortOrder() == Qt::AscendingOrder ? fa : fb;
        }
        const QVariant x = a.data(kSortRole);
        const QVariant y = b.data(kSortRole);
        if (x.typeId() == QMetaType::LongLong)
            return x.toLongLong() < y.toLongLong();
        if (x.typeId() == QMetaType::QDateTime)
            return x.toDateTime() < y.toDateTime();
        return QString::compare(x.toString(), y.toString(), Qt::CaseInsensitive) < 0;
    }
};

}  // namespace

// The rows of a pane as list items; the views show them, nothing else.
class PaneModel : public QAbstractTableModel {
public:
    PaneModel(bool remote, QObject* parent) : QAbstractTableModel(parent), m_remote(remote) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_remote ? 5 : 4; }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        return index.column() == 0 ? f | Qt::ItemIsEditable : f;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* const kHeaders[5] = {"ﾌｧｲﾙ名", "ｻｲｽﾞ", "種類", "最終更新", "ｱｸｾｽ権"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
            return QString::fromUtf8(kHeaders[section]);
        return {};
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const ListItem& i = m_rows[index.row()];
        const int c = index.column();
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return c == 0 ? i.name : c == 1 ? i.sizeText : c == 2 ? i.typeText : c == 3 ? i.timeText : i.accessText;
            case Qt::DecorationRole:
                return c == 0 ? QVariant(iconFor(i.icon)) : QVariant();
            case Qt::TextAlignmentRole:
                return c == 1 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
            case kFolderRole:
                return i.folder;
            case kSortRole:
                if (c == 1)
                    return qint64(i.folder ? -1 : i.size);
                if (c == 3)
                    return i.lastWrite;
                return c == 0 ? i.name : c == 2 ? i.typeText : i.accessText;
            default:
                return {};
        }
    }

    void clear()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    void append(const QList<ListItem>& items)
    {
        if (items.isEmpty())
            return;
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + items.size() - 1));
        m_rows.append(items);
        endInsertRows();
    }
    const ListItem& at(int row) const { return m_rows[row]; }
    void set(int row, const ListItem& item)
    {
        m_rows[row] = item;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    void remove(int row)
    {
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    }

private:
    bool m_remote;
    QList<ListItem> m_rows;
};

// Hands the edited text to the pane instead of writing it into the model.
class RenameDelegate : public QStyledItemDelegate {
public:
    RenameDelegate(PaneList* pane) : QStyledItemDelegate(pane), m_pane(pane) {}
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            m_pane->onEdited(index, line->text());
    }

private:
    PaneList* m_pane;
};

PaneList::PaneList(bool remote, QWidget* parent) : QStackedWidget(parent), m_remote(remote)
{
    m_model = new PaneModel(remote, this);
    m_proxy = new PaneSortModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(kSortRole);
    m_proxy->setDynamicSortFilter(false);

    m_icons = new QListView(this);
    m_icons->setObjectName(QStringLiteral("IconView"));
    m_icons->setModel(m_proxy);
    // Large listings are laid out in steps, so the window stays usable.
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(2000);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("ReportView"));
    m_tree->setModel(m_proxy);
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSortingEnabled(true);
    m_tree->header()->setSortIndicatorShown(true);
    m_tree->header()->setSortIndicator(0, Qt::AscendingOrder);
    connect(m_tree->header(), &QHeaderView::sectionClicked, this, [this] {
        static_cast<PaneSortModel*>(m_proxy)->foldersFirst = false;
        resort();
    });
    m_tree->setColumnWidth(0, 170);
    m_tree->setColumnWidth(1, 70);
    m_tree->setColumnWidth(2, 70);
    m_tree->setColumnWidth(3, 140);
    m_icons->setSelectionModel(m_tree->selectionModel());
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(m_icons), static_cast<QAbstractItemView*>(m_tree)}) {
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // One delegate per view: a shared one would report its editors to both.
        v->setItemDelegate(new RenameDelegate(this));
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                emit folderOpened(index.row() + 1);
        });
    }
    addWidget(m_icons);
    addWidget(m_tree);
    setViewMode(Icons);
}

void PaneList::clear()
{
    m_model->clear();
}

void PaneList::addItems(const QList<ListItem>& items)
{
    m_model->append(items);
    resort();
}

void PaneList::addItem(const ListItem& item)
{
    m_model->append({item});
    resort();
}

void PaneList::resort()
{
    // A new listing or item keeps the sort order the user chose.
    const int column = m_tree->header()->sortIndicatorSection();
    m_proxy->sort(column >= 0 && column < m_model->columnCount() ? column : 0, m_tree->header()->sortIndicatorOrder());
}

QModelIndex PaneList::proxyIndex(int row) const
{
    return m_proxy->index(row - 1, 0);
}

int PaneList::findItem(const QString& name) const
{
    for (int r = 0; r < m_proxy->rowCount(); ++r) {
        if (m_proxy->index(r, 0).data(Qt::DisplayRole).toString() == name)
            return r + 1;
    }
    return 0;
}

ListItem PaneList::item(int row) const
{
    const QModelIndex index = proxyIndex(row);
    return index.isValid() ? m_model->at(m_proxy->mapToSource(index).row()) : ListItem();
}

void PaneList::setItem(int row, const ListItem& item)
{
    const QModelIndex index = proxyIndex(row);
    if (index.isValid())
        m_model->set(m_proxy->mapToSource(index).row(), item);
}

void PaneList::removeItem(int row)
{
    const QModelIndex index = proxyIndex(row);
    if (index.isValid())
        m_model->remove(m_proxy->mapToSource(index).row());
}

int PaneList::count() const
{
    return m_proxy->rowCount();
}

QStringList PaneList::names() const
{
    QStringList out;
    for (int r = 0; r < m_proxy->rowCount(); ++r)
        out.append(m_proxy->index(r, 0).data(Qt::DisplayRole).toString());
    return out;
}

QList<int> PaneList::selectedRows() const
{
    // The icon views select the name cell only, the report whole rows: a
    // row counts as selected when any of its cells is.
    QList<int> rows;
    for (const QModelIndex& i : m_tree->selectionModel()->selectedIndexes())
        rows.append(i.row() + 1);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void PaneList::setViewMode(ViewMode mode)
{
    m_mode = mode;
    const bool hadFocus = currentView()->hasFocus();
    if (mode == Report) {
        setCurrentWidget(m_tree);
    } else {
        m_icons->setViewMode(mode == Icons ? QListView::IconMode : QListView::ListMode);
        m_icons->setIconSize(mode == Icons ? QSize(32, 32) : QSize(16, 16));
        m_icons->setFlow(mode == List ? QListView::TopToBottom : QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setResizeMode(QListView::Adjust);
        m_icons->setMovement(QListView::Static);
        m_icons->setGridSize(mode == Icons ? QSize(96, 64) : QSize());
        m_icons->setWordWrap(mode == Icons);
        m_icons->setUniformItemSizes(false);
        setCurrentWidget(m_icons);
    }
    if (hadFocus)
        currentView()->setFocus();
}

QWidget* PaneList::currentView() const
{
    return currentWidget();
}

void PaneList::editSelected()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    auto* view = static_cast<QAbstractItemView*>(currentWidget());
    view->setFocus();
    view->setCurrentIndex(proxyIndex(rows.first()));
    view->edit(proxyIndex(rows.first()));
}

void PaneList::onEdited(const QModelIndex& proxy, const QString& text)
{
    if (!proxy.isValid())
        return;
    const int row = proxy.row() + 1;
    if (text.isEmpty() || text == proxy.data(Qt::DisplayRole).toString())
        return;
    emit renameRequested(row, text);
}

bool PaneList::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
        case QEvent::FocusIn:
            emit focused();
            break;
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() && (watched == m_tree || watched == m_icons))
                emit keyReleased(key->key());
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton)
                emit rightReleased(mouse->globalPosition().toPoint());
            break;
        }
        default:
            break;
    }
    return QStackedWidget::eventFilter(watched, event);
}

}  // namespace tw
