// What the main window does with the selected items: transfers with the
// progress window, delete, new folder, rename and permissions.

#include "ftp/ui/frm_main.h"

#include "ftp/client/mdl_main.h"
#include "ftp/session/ftpoperations.h"
#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/panelist.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>

namespace tw {

void Frm_Main::runWithProgress(const std::function<void(Frm_State&)>& work)
{
    m_busy = true;
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    Frm_State state(this);
    state.setAttribute(Qt::WA_DeleteOnClose, false);
    if (m_ftp) {
        m_ftp->clearCancel();
        m_ftp->setProgressListener(&state);
        state.setOnCancel([this] {
            if (m_ftp)
                m_ftp->cancel();
        });
    } else {
        state.stopButton()->setEnabled(false);
    }
    state.adjustSize();
    state.move(geometry().center() - state.rect().center());
    state.show();
    state.pumpEvents();
    work(state);
    if (m_ftp) {
        m_ftp->setProgressListener(nullptr);
        m_ftp->clearCancel();
    }
    state.finish();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    m_busy = false;
}

QList<PaneEntry> Frm_Main::selectedEntries(int pane) const
{
    QList<PaneEntry> out;
    for (int row : m_lv[pane]->selectedRows()) {
        const ListItem item = m_lv[pane]->item(row);
        out.append({item.name, item.icon == ListItem::FolderIcon, item.folder ? -1 : item.size});
    }
    return out;
}

void Frm_Main::transfer(bool upload)
{
    if (!m_ftp || m_busy)
        return;
    const int source = upload ? Local : Remote;
    const int destination = upload ? Remote : Local;
    const QList<PaneEntry> items = selectedEntries(source);
    const QString from = folderOf(source);
    const QString to = folderOf(destination);
    const TransferType type = m_profile.TransMode;
    TransferOutcome outcome;
    runWithProgress([&](Frm_State&) {
        for (QPushButton* b : m_trsBtn)
            b->setEnabled(false);
        std::function<void(const DirEntry&)> patch;
        if (m_settings.ListCache) {
            patch = [this, destination](const DirEntry& found) {
                const ListItem fresh = MakeListItem(found, destination == Remote);
                const int row = FindListItem(destination, found.name);
                if (row == 0) {
                    m_lv[destination]->addItem(fresh);
                    return;
                }
                ListItem item = m_lv[destination]->item(row);
                item.sizeText = fresh.sizeText;
                item.size = fresh.size;
                item.timeText = fresh.timeText;
                item.lastWrite = fresh.lastWrite;
                m_lv[destination]->setItem(row, item);
            };
        }
        outcome = RunTransfers(*m_ftp, upload ? TransferDirection::Upload : TransferDirection::Download, from, to,
                               items, type, patch);
    });
    if (!outcome.ok) {
        const QString reason = describeFtpError(outcome.error);
        showError((upload ? QStringLiteral("ファイルの送信に失敗しました") : QStringLiteral("ファイルの受信に失敗しました")) +
                  QStringLiteral("\r\n") + outcome.failedName +
                  (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
    }
    if (!m_settings.ListCache) {
        if (upload)
            ListRemote(shownFolder(Remote));
        else
            ListLocal(shownFolder(Local));
    }
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(isConnected());
}

void Frm_Main::deleteSelected()
{
    if (m_busy)
        return;
    const int pane = m_activePane;
    if (pane == Remote && !m_ftp)
        return;
    if (m_setup.platform.messages->show(QStringLiteral("選択したファイルを全て削除しますが\r\nよろしいですか？"),
                                        frmMainCaption(), MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    const QList<PaneEntry> items = selectedEntries(pane);
    const QString folder = folderOf(pane);
    QStringList failed;
    runWithProgress([&](Frm_State& state) {
        if (pane == Local)
            state.setLabel(0, QStringLiteral("削除中です..."));
        failed = DeleteEntries(pane == Remote ? m_ftp.get() : nullptr, folder, items);
    });
    if (m_settings.ListCache) {
        // What could not be deleted stays in the list.
        for (const PaneEntry& e : items) {
            if (!failed.contains(e.name)) {
                if (const int row = FindListItem(pane, e.name))
                    m_lv[pane]->removeItem(row);
            }
        }
    } else if (pane == Remote) {
        ListRemote(shownFolder(Remote));
    } else {
        ListLocal(shownFolder(Local));
    }
    if (!failed.isEmpty())
        showError(QStringLiteral("削除出来なかったファイルがあります\r\n") + failed.join(QStringLiteral("\r\n")));
}

void Frm_Main::makeFolder()
{
    if (m_busy)
        return;
    const int pane = m_activePane;
    if (pane == Remote && !m_ftp)
        return;
    const QString name = NewFolderName(m_lv[pane]->names(), pane == Remote);
    MakeFolder(pane == Remote ? m_ftp.get() : nullptr, folderOf(pane), name);
    if (pane == Remote)
        ListRemote(shownFolder(Remote));
    else
        ListLocal(shownFolder(Local));
}

void Frm_Main::renameSelected()
{
    if (m_busy || (m_activePane == Remote && !m_ftp))
        return;
    m_lv[m_activePane]->editSelected();
}

void Frm_Main::renameRequested(int pane, int row, const QString& newName)
{
    if (m_busy || (pane == Remote && !m_ftp))
        return;
    ListItem item = m_lv[pane]->item(row);
    if (!RenameEntry(pane == Remote ? m_ftp.get() : nullptr, folderOf(pane), item.name, newName)) {
        showError(QStringLiteral("ファイル名が重複しているか、有効ではありません\r\n名前を変更出来ません"));
        return;
    }
    DirEntry e;
    e.name = newName;
    e.folder = item.folder;
    e.size = item.size;
    e.lastWrite = item.lastWrite;
    ListItem renamed = MakeListItem(e, pane == Remote);
    renamed.accessText = item.accessText;
    m_lv[pane]->setItem(row, renamed);
}

void Frm_Main::changePermissions()
{
    if (m_busy || !m_ftp)
        return;
    const QList<int> rows = m_lv[Remote]->selectedRows();
    if (rows.isEmpty())
        return;
    const ListItem item = m_lv[Remote]->item(rows.first());
    Frm_Pms dialog(item.name, item.accessText, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.strFilename().isEmpty())
        return;
    const QString command = dialog.digits().chmodCommand(dialog.strFilename());
    if (!FtpSendCommand(*m_ftp, command)) {
        showError(QStringLiteral("パーミッションを変更出来ませんでした\r\n") + describeFtpError(m_ftp->lastError()));
        return;
    }
    if (m_settings.ListCache) {
        if (const int row = FindListItem(Remote, item.name)) {
            ListItem changed = m_lv[Remote]->item(row);
            changed.accessText = dialog.digits().text();
            m_lv[Remote]->setItem(row, changed);
        }
    } else {
        ListRemote(shownFolder(Remote));
    }
}

// ---- exit -------------------------------------------------------------------

}  // namespace tw
