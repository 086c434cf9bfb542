// The main window's two panes: listing them, the path boxes, going up and
// into folders, the drive list, the view and the keys in a list.

#include "ftp/ui/frm_main.h"

#include "ftp/client/mdl_main.h"
#include "ftp/ui/panelist.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace tw {

bool Frm_Main::ListLocal(const QString& folder)
{
    m_lv[Local]->clear();
    WaitCursor wait;
    const PaneListing listing = m_localPane->list(folder);
    QList<ListItem> items;
    items.reserve(listing.entries.size());
    for (const DirEntry& e : listing.entries)
        items.append(MakeListItem(e, false));
    m_lv[Local]->addItems(items);
    return !items.isEmpty();
}

bool Frm_Main::ListRemote(const QString& folder)
{
    m_lv[Remote]->clear();
    if (!m_ftp)
        return false;
    WaitCursor wait;
    const PaneListing listing = m_serverPane->list(folder);
    if (listing.elsewhere) {
        // The folder cannot be entered: the box shows where the list is from,
        // so that nothing is sent to a folder the user did not see.
        m_dir[Remote]->clear();
        m_dir[Remote]->addItems(PathAncestors(listing.folder, u'/'));
        m_dir[Remote]->setCurrentIndex(0);
    }
    if (!listing.result) {
        showError(listing.result.reason());
        return false;
    }
    QList<ListItem> items;
    items.reserve(listing.entries.size());
    for (const DirEntry& e : listing.entries)
        items.append(MakeListItem(e, true));
    m_lv[Remote]->addItems(items);
    return !items.isEmpty();
}

bool Frm_Main::SetLocalPath(const QString& path)
{
    if (!isUsableLocalPath(path))
        return false;
    m_dir[Local]->clear();
    m_dir[Local]->addItems(PathAncestors(path, u'/'));
    m_dir[Local]->setCurrentIndex(0);
    ListLocal(path);
    m_trs->setCurrentIndex(int(m_profile.TransMode));
    moveDriveTo(path);
    return true;
}

bool Frm_Main::SetRemotePath(const QString& path)
{
    m_dir[Remote]->clear();
    m_dir[Remote]->addItems(PathAncestors(path, u'/'));
    m_dir[Remote]->setCurrentIndex(0);
    ListRemote(path);
    return true;
}

int Frm_Main::FindListItem(int pane, const QString& name) const
{
    return m_lv[pane]->findItem(name);
}

bool Frm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (int p = 0; p < 2; ++p) {
            if (watched == m_dir[p]->lineEdit() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                pathEntered(p);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frm_Main::pathEntered(int pane)
{
    const QString text = m_dir[pane]->lineEdit()->text();
    if (pane == Remote) {
        if (isConnected() && !busyRefused()) {
            // A relative name is taken in the folder shown.
            SetRemotePath(text.startsWith(u'/') ? text : folderOf(Remote) + text);
        }
        return;
    }
    if (!SetLocalPath(text)) {
        m_dir[Local]->setCurrentIndex(0);
        m_dir[Local]->setEditText(m_dir[Local]->itemText(0));
        ListLocal(m_dir[Local]->itemText(0));
    }
}

void Frm_Main::goUp(int pane)
{
    if (pane == Remote && busyRefused())
        return;
    m_up[pane]->setEnabled(false);
    const int index = m_dir[pane]->currentIndex();
    if (index >= 0 && index + 1 < m_dir[pane]->count()) {
        m_dir[pane]->setCurrentIndex(index + 1);
        if (pane == Remote)
            ListRemote(m_dir[pane]->currentText());
        else
            SetLocalPath(m_dir[pane]->currentText());
    }
    m_up[pane]->setEnabled(true);
}

void Frm_Main::openFolderItem(int pane, int row)
{
    const ListItem item = m_lv[pane]->item(row);
    if (item.icon != ListItem::FolderIcon || (pane == Remote && busyRefused()))
        return;
    m_dir[pane]->setEditText(folderOf(pane) + item.name + u'/');
    pathEntered(pane);
}

void Frm_Main::moveDriveTo(const QString& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drv->count(); ++i) {
        const QString root = WithSeparator(m_drv->itemText(i), u'/');
        if (WithSeparator(path, u'/').startsWith(root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0)
        m_drv->setCurrentIndex(best);
}

void Frm_Main::driveChosen(int index)
{
    if (!SetLocalPath(WithSeparator(m_drv->itemText(index), u'/')))
        moveDriveTo(shownFolder(Local));
}

void Frm_Main::refresh()
{
    if (m_activePane == Remote) {
        if (isConnected() && !busyRefused())
            ListRemote(shownFolder(Remote));
    } else {
        ListLocal(shownFolder(Local));
    }
}

void Frm_Main::setView(int mode)
{
    if (mode < 0 || mode > 3)
        mode = 0;
    for (PaneList* lv : m_lv)
        lv->setViewMode(PaneList::ViewMode(mode));
    for (int i = 0; i < 4; ++i)
        m_viewActs[i]->setChecked(i == mode);
    if (m_view->currentIndex() != mode)
        m_view->setCurrentIndex(mode);
}

void Frm_Main::setActivePane(int pane)
{
    m_activePane = pane;
    updateEditButtons(pane);
}

void Frm_Main::keyInList(int pane, int key)
{
    setActivePane(pane);
    if (key == Qt::Key_F2)
        renameSelected();
    else if (key == Qt::Key_F5)
        refresh();
    else if (key == Qt::Key_Delete)
        deleteSelected();
}

void Frm_Main::updateEditButtons(int pane)
{
    const bool on = pane == Local || isConnected();
    for (QPushButton* b : {m_reload, m_delFile, m_changeName, m_makeFolder})
        b->setEnabled(on);
    m_permision->setEnabled(pane == Remote && isConnected());
}

void Frm_Main::rightClickInList(int pane, const QPoint& at)
{
    setActivePane(pane);
    m_editMenu->popup(at);
}

}  // namespace tw
