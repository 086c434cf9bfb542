#include "panelist.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace tw {

namespace {

constexpr int kIconRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kFolderRole = Qt::UserRole + 2;
constexpr int kSizeRole = Qt::UserRole + 3;
constexpr int kTimeRole = Qt::UserRole + 4;

QIcon iconFor(int index)
{
    QStyle* style = QApplication::style();
    switch (index) {
    case ListItem::FolderIcon:
        return QIcon::fromTheme(QStringLiteral("folder"), style->standardIcon(QStyle::SP_DirIcon));
    case ListItem::TextIcon:
        return QIcon::fromTheme(QStringLiteral("text-x-generic"), style->standardIcon(QStyle::SP_FileIcon));
    default:
        return QIcon::fromTheme(QStringLiteral("application-octet-stream"), style->standardIcon(QStyle::SP_FileIcon));
    }
}

// Folders and files sort apart from nothing else: a plain column order.
class PaneSortModel : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& a, const QModelIndex& b) const override
    {
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
    m_model = new QStandardItemModel(0, remote ? 5 : 4, this);
    QStringList headers = {QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("ｻｲｽﾞ"), QStringLiteral("種類"),
                           QStringLiteral("最終更新")};
    if (remote)
        headers << QStringLiteral("ｱｸｾｽ権");
    m_model->setHorizontalHeaderLabels(headers);
    m_proxy = new PaneSortModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(kSortRole);
    m_proxy->setDynamicSortFilter(false);

    m_icons = new QListView(this);
    m_icons->setObjectName(QStringLiteral("IconView"));
    m_icons->setModel(m_proxy);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("ReportView"));
    m_tree->setModel(m_proxy);
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSortingEnabled(true);
    m_tree->header()->setSortIndicatorShown(true);
    m_tree->header()->setSortIndicator(-1, Qt::AscendingOrder);
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
    m_model->removeRows(0, m_model->rowCount());
}

void PaneList::addItems(const QList<ListItem>& items)
{
    m_tree->setUpdatesEnabled(false);
    m_icons->setUpdatesEnabled(false);
    for (const ListItem& i : items)
        addItem(i);
    // A new listing keeps the sort order the user chose.
    const int column = m_tree->header()->sortIndicatorSection();
    if (column >= 0 && column < m_model->columnCount())
        m_proxy->sort(column, m_tree->header()->sortIndicatorOrder());
    m_tree->setUpdatesEnabled(true);
    m_icons->setUpdatesEnabled(true);
}

namespace {

QList<QStandardItem*> rowFor(const ListItem& i, bool remote)
{
    auto cell = [](const QString& text, const QVariant& sortKey) {
        auto* item = new QStandardItem(text);
        item->setData(sortKey, kSortRole);
        item->setEditable(false);
        return item;
    };
    auto* name = cell(i.name, i.name);
    name->setEditable(true);
    name->setIcon(iconFor(i.icon));
    name->setData(i.icon, kIconRole);
    name->setData(i.folder, kFolderRole);
    name->setData(i.size, kSizeRole);
    name->setData(i.lastWrite, kTimeRole);
    QList<QStandardItem*> row = {name, cell(i.sizeText, qint64(i.folder ? -1 : i.size)), cell(i.typeText, i.typeText),
                                 cell(i.timeText, i.lastWrite)};
    row[1]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (remote)
        row.append(cell(i.accessText, i.accessText));
    return row;
}

}  // namespace

void PaneList::addItem(const ListItem& item)
{
    m_model->appendRow(rowFor(item, m_remote));
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
    ListItem i;
    const QModelIndex index = proxyIndex(row);
    if (!index.isValid())
        return i;
    auto text = [&](int column) { return m_proxy->index(row - 1, column).data(Qt::DisplayRole).toString(); };
    i.name = text(0);
    i.sizeText = text(1);
    i.typeText = text(2);
    i.timeText = text(3);
    if (m_remote)
        i.accessText = text(4);
    i.icon = index.data(kIconRole).toInt();
    i.folder = index.data(kFolderRole).toBool();
    i.size = index.data(kSizeRole).toLongLong();
    i.lastWrite = index.data(kTimeRole).toDateTime();
    return i;
}

void PaneList::setItem(int row, const ListItem& item)
{
    const QModelIndex index = proxyIndex(row);
    if (!index.isValid())
        return;
    const int source = m_proxy->mapToSource(index).row();
    const QList<QStandardItem*> cells = rowFor(item, m_remote);
    for (int c = 0; c < cells.size(); ++c)
        m_model->setItem(source, c, cells[c]);
}

void PaneList::removeItem(int row)
{
    const QModelIndex index = proxyIndex(row);
    if (index.isValid())
        m_model->removeRow(m_proxy->mapToSource(index).row());
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
    QList<int> rows;
    for (const QModelIndex& i : m_tree->selectionModel()->selectedRows(0))
        rows.append(i.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PaneList::selectRow(int row, bool add)
{
    const QModelIndex index = proxyIndex(row);
    auto flags = QItemSelectionModel::Rows | (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    m_tree->selectionModel()->select(index, flags);
    m_tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
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
        m_icons->setUniformItemSizes(mode != Icons);
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
