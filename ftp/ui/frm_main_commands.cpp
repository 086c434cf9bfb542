// What the main window does with the selected items: it collects them,
// hands them to the pane's controller, shows the progress window while the
// job runs, and shows what comes back: transfers, delete, new folder,
// rename, permissions and 変更分をアップロード.

#include "ftp/ui/frm_main.h"

#include "ftp/client/mdl_main.h"
#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/frm_sync.h"
#include "ftp/ui/panelist.h"

#include <QPushButton>

namespace tw {

// ---- the progress window ----------------------------------------------------

void Frm_Main::jobStarted(JobRunner::StopMode stop)
{
    // Only the transfer buttons go grey: the local pane, scrolling and the
    // window stay usable, and commands that need the connection say why
    // they cannot run.
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(false);
    m_syncBtn->setEnabled(false);
    m_state = new Frm_State(this);
    m_state->setAttribute(Qt::WA_DeleteOnClose, false);
    m_state->stopButton()->setEnabled(stop != JobRunner::StopMode::None);
    m_state->setStopsAfterFile(stop == JobRunner::StopMode::AfterFile);
    m_state->setOnCancel([this] { m_runner->cancel(); });
    m_state->follow(m_runner->progress());
    m_state->adjustSize();
    m_state->move(geometry().center() - m_state->rect().center());
    m_state->show();
}

void Frm_Main::jobFinished()
{
    if (m_state) {
        m_state->finish();
        delete m_state;
        m_state = nullptr;
    }
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(isConnected());
    m_syncBtn->setEnabled(isConnected());
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

void Frm_Main::listPane(int pane)
{
    if (pane == Remote)
        ListRemote(shownFolder(Remote));
    else
        ListLocal(shownFolder(Local));
}

void Frm_Main::showInformation(const QString& text)
{
    m_setup.platform.messages->show(text, frmMainCaption(), MsgIcon::Information, MsgButtons::Ok);
}

// ---- transfers --------------------------------------------------------------

void Frm_Main::transfer(bool upload)
{
    if (!m_ftp || busyRefused())
        return;
    const int source = upload ? Local : Remote;
    const int destination = upload ? Remote : Local;
    m_paneCtl[source]->sendTo(selectedEntries(source), folderOf(source), folderOf(destination), m_profile.TransMode,
                              m_settings.ListCache);
}

void Frm_Main::entryArrived(int pane, const QString& folder, const DirEntry& found)
{
    // The user may have moved the pane to another folder meanwhile.
    if (folderOf(pane) != folder)
        return;
    const ListItem fresh = MakeListItem(found, pane == Remote);
    const int row = FindListItem(pane, found.name);
    if (row == 0) {
        m_lv[pane]->addItem(fresh);
        return;
    }
    ListItem item = m_lv[pane]->item(row);
    item.sizeText = fresh.sizeText;
    item.size = fresh.size;
    item.timeText = fresh.timeText;
    item.lastWrite = fresh.lastWrite;
    m_lv[pane]->setItem(row, item);
}

void Frm_Main::transferFinished(const TransferOutcome& outcome)
{
    // A failed transfer may have left the destination other than patched.
    if (!m_settings.ListCache || !outcome.ok)
        listPane(outcome.direction == TransferDirection::Upload ? Remote : Local);
    if (!outcome.ok)
        showError(transferFailureText(outcome));
    const QString notes = transferNotesText(outcome);
    if (!notes.isEmpty())
        showInformation(notes);
}

// ---- 変更分をアップロード ----------------------------------------------------

void Frm_Main::syncUpload()
{
    if (!m_ftp || busyRefused())
        return;
    QString local = folderOf(Local);
    const QList<PaneEntry> chosen = selectedEntries(Local);
    if (chosen.size() == 1 && chosen.first().folder)
        local += chosen.first().name + u'/';
    m_syncType = m_profile.TransMode;
    m_localPane->planSync(local, folderOf(Remote), m_syncType);
}

void Frm_Main::syncPlanned(const Result& result, const SyncPlan& plan)
{
    if (!result) {
        showError(result.reason());
        return;
    }
    if (plan.files.isEmpty() && plan.extra.isEmpty()) {
        showInformation(QStringLiteral("変更されたファイルはありません"));
        return;
    }
    Frm_Sync dialog(plan, m_setup.platform, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() == QDialog::Accepted)
        m_localPane->runSync(plan, m_syncType, dialog.deleteExtra());
}

void Frm_Main::syncFinished(const SyncOutcome& outcome)
{
    ListRemote(shownFolder(Remote));
    if (outcome.stopped) {
        showInformation(syncEndText(outcome));
    } else if (!outcome.ok) {
        showError(syncEndText(outcome));
    } else if (!outcome.timeNotSet.isEmpty()) {
        showInformation(QStringLiteral("次のファイルは送信しましたが、サーバが更新日時の設定を受け付けませんでした。"
                                       "次回も変更分として送信されることがあります:\r\n")
                        + outcome.timeNotSet.join(QStringLiteral("\r\n")));
    }
}

// ---- file management --------------------------------------------------------

void Frm_Main::deleteSelected()
{
    const int pane = m_activePane;
    if (pane == Remote && (!m_ftp || busyRefused()))
        return;
    if (m_setup.platform.messages->show(QStringLiteral("選択したファイルを全て削除しますが\r\nよろしいですか？"),
                                        frmMainCaption(), MsgIcon::Question, MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    m_paneCtl[pane]->deleteEntries(folderOf(pane), selectedEntries(pane));
}

void Frm_Main::deleteFinished(int pane, const QList<PaneEntry>& items, const QStringList& failed)
{
    if (m_settings.ListCache) {
        // What could not be deleted stays in the list.
        for (const PaneEntry& e : items) {
            if (!failed.contains(e.name)) {
                if (const int row = FindListItem(pane, e.name))
                    m_lv[pane]->removeItem(row);
            }
        }
    } else {
        listPane(pane);
    }
    if (!failed.isEmpty())
        showError(QStringLiteral("削除出来なかったファイルがあります\r\n") + failed.join(QStringLiteral("\r\n")));
}

void Frm_Main::makeFolder()
{
    const int pane = m_activePane;
    if (pane == Remote && (!m_ftp || busyRefused()))
        return;
    // Errors are not told: the listing shows what is there.
    (void)m_paneCtl[pane]->makeFolder(folderOf(pane), m_lv[pane]->names());
    listPane(pane);
}

void Frm_Main::renameSelected()
{
    if (m_activePane == Remote && (!m_ftp || busyRefused()))
        return;
    m_lv[m_activePane]->editSelected();
}

void Frm_Main::renameRequested(int pane, int row, const QString& newName)
{
    if (pane == Remote && (!m_ftp || busyRefused()))
        return;
    ListItem item = m_lv[pane]->item(row);
    const Result renamed = m_paneCtl[pane]->rename(folderOf(pane), item.name, newName);
    if (!renamed) {
        showError(QStringLiteral("ファイル名が重複しているか、有効ではありません\r\n名前を変更出来ません")
                  + (renamed.reason().isEmpty() ? QString() : QStringLiteral("\r\n") + renamed.reason()));
        return;
    }
    DirEntry e;
    e.name = newName;
    e.folder = item.folder;
    e.size = item.size;
    e.lastWrite = item.lastWrite;
    ListItem fresh = MakeListItem(e, pane == Remote);
    fresh.accessText = item.accessText;
    m_lv[pane]->setItem(row, fresh);
}

void Frm_Main::changePermissions()
{
    if (!m_ftp || busyRefused())
        return;
    const QList<int> rows = m_lv[Remote]->selectedRows();
    if (rows.isEmpty())
        return;
    const ListItem item = m_lv[Remote]->item(rows.first());
    Frm_Pms dialog(item.name, item.accessText, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.strFilename().isEmpty())
        return;
    const Result changed = m_serverPane->changePermissions(dialog.digits().chmodCommand(dialog.strFilename()));
    if (!changed) {
        showError(changed.reason());
        return;
    }
    if (m_settings.ListCache) {
        if (const int row = FindListItem(Remote, item.name)) {
            ListItem fresh = m_lv[Remote]->item(row);
            fresh.accessText = dialog.strPms();
            m_lv[Remote]->setItem(row, fresh);
        }
    } else {
        ListRemote(shownFolder(Remote));
    }
}

}  // namespace tw
