// What the main window does with the selected items: transfers with the
// progress window, delete, new folder, rename and permissions.

#include "ftp/ui/frm_main.h"

#include "ftp/client/mdl_main.h"
#include "ftp/session/ftpoperations.h"
#include "ftp/ui/frm_pms.h"
#include "ftp/ui/frm_state.h"
#include "ftp/ui/frm_sync.h"
#include "ftp/ui/panelist.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>

namespace tw {

void Frm_Main::runWithProgress(const std::function<void(Frm_State&)>& work)
{
    // Only the transfer buttons go grey: the local pane, scrolling and the
    // window stay usable, and commands that need the connection say why
    // they cannot run.
    m_busy = true;
    for (QPushButton* b : m_trsBtn)
        b->setEnabled(false);
    m_syncBtn->setEnabled(false);
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
    m_busy = false;
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

void Frm_Main::transfer(bool upload)
{
    if (!m_ftp || busyRefused())
        return;
    const int source = upload ? Local : Remote;
    const int destination = upload ? Remote : Local;
    const QList<PaneEntry> items = selectedEntries(source);
    const QString from = folderOf(source);
    const QString to = folderOf(destination);
    const TransferType type = m_profile.TransMode;
    TransferOutcome outcome;
    runWithProgress([&](Frm_State&) {
        std::function<void(const DirEntry&)> patch;
        if (m_settings.ListCache) {
            patch = [this, destination, to](const DirEntry& found) {
                // The user may have moved the pane to another folder meanwhile.
                if (folderOf(destination) != to)
                    return;
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
    // A failed transfer may have left the destination other than patched.
    if (!m_settings.ListCache || !outcome.ok) {
        if (upload)
            ListRemote(shownFolder(Remote));
        else
            ListLocal(shownFolder(Local));
    }
    if (!outcome.ok) {
        const QString reason = describeFtpError(outcome.error);
        showError(
            (upload ? QStringLiteral("ファイルの送信に失敗しました") : QStringLiteral("ファイルの受信に失敗しました"))
            + QStringLiteral("\r\n") + outcome.failedFile
            + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
    }
    QStringList notes;
    auto note = [&](const QStringList& names, const QString& why) {
        if (!names.isEmpty())
            notes.append(why + QStringLiteral("\r\n") + names.join(QStringLiteral("\r\n")));
    };
    note(outcome.skipped, QStringLiteral("フォルダの外を指すリンクのため、次のファイルは送信しませんでした:"));
    note(outcome.repeated, QStringLiteral("上のフォルダと同じ内容を示すため、次のフォルダはたどりませんでした:"));
    note(outcome.tooDeep, QStringLiteral("階層が深すぎるため、次のフォルダはたどりませんでした:"));
    if (!notes.isEmpty())
        m_setup.platform.messages->show(notes.join(QStringLiteral("\r\n\r\n")), frmMainCaption(), MsgIcon::Information,
                                        MsgButtons::Ok);
}

void Frm_Main::syncUpload()
{
    if (!m_ftp || busyRefused())
        return;
    QString local = folderOf(Local);
    const QList<PaneEntry> chosen = selectedEntries(Local);
    if (chosen.size() == 1 && chosen.first().folder)
        local += chosen.first().name + u'/';
    const TransferType type = m_profile.TransMode;
    SyncPlan plan;
    bool planned = false;
    runWithProgress([&](Frm_State&) { planned = PlanSync(*m_ftp, local, folderOf(Remote), type, plan); });
    if (!planned) {
        const QString reason = describeFtpError(m_ftp->lastError());
        showError(QStringLiteral("変更分を調べられませんでした\r\n") + local
                  + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
        return;
    }
    if (plan.files.isEmpty() && plan.extra.isEmpty()) {
        m_setup.platform.messages->show(QStringLiteral("変更されたファイルはありません"), frmMainCaption(),
                                        MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    Frm_Sync dialog(plan, m_setup.platform, this);
    emit dialogOpened(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SyncOutcome outcome;
    runWithProgress([&](Frm_State&) { outcome = RunSync(*m_ftp, plan, type, dialog.deleteExtra()); });
    ListRemote(shownFolder(Remote));
    if (!outcome.ok) {
        const QString reason = describeFtpError(outcome.error);
        showError(QStringLiteral("変更分のアップロードを途中で終えました (%1 ファイル送信済み)\r\n").arg(outcome.sent)
                  + outcome.failedFile + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
    } else if (!outcome.timeNotSet.isEmpty()) {
        m_setup.platform.messages->show(
            QStringLiteral("次のファイルは送信しましたが、サーバが更新日時の設定を受け付けませんでした。"
                           "次回も変更分として送信されることがあります:\r\n")
                + outcome.timeNotSet.join(QStringLiteral("\r\n")),
            frmMainCaption(), MsgIcon::Information, MsgButtons::Ok);
    }
}

void Frm_Main::deleteSelected()
{
    const int pane = m_activePane;
    if (pane == Remote && (!m_ftp || busyRefused()))
        return;
    if (m_setup.platform.messages->show(QStringLiteral("選択したファイルを全て削除しますが\r\nよろしいですか？"),
                                        frmMainCaption(), MsgIcon::Question, MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    const QList<PaneEntry> items = selectedEntries(pane);
    const QString folder = folderOf(pane);
    QStringList failed;
    if (m_busy) {
        // Local files, while a transfer runs: its progress window is shown.
        failed = DeleteEntries(nullptr, folder, items);
    } else {
        runWithProgress([&](Frm_State& state) {
            if (pane == Local)
                state.setLabel(0, QStringLiteral("削除中です..."));
            failed = DeleteEntries(pane == Remote ? m_ftp.get() : nullptr, folder, items);
        });
    }
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
    const int pane = m_activePane;
    if (pane == Remote && (!m_ftp || busyRefused()))
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
    if (m_activePane == Remote && (!m_ftp || busyRefused()))
        return;
    m_lv[m_activePane]->editSelected();
}

void Frm_Main::renameRequested(int pane, int row, const QString& newName)
{
    if (pane == Remote && (!m_ftp || busyRefused()))
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
    const QString command = dialog.digits().chmodCommand(dialog.strFilename());
    if (!FtpSendCommand(*m_ftp, command)) {
        showError(QStringLiteral("パーミッションを変更出来ませんでした\r\n") + describeFtpError(m_ftp->lastError()));
        return;
    }
    if (m_settings.ListCache) {
        if (const int row = FindListItem(Remote, item.name)) {
            ListItem changed = m_lv[Remote]->item(row);
            changed.accessText = dialog.strPms();
            m_lv[Remote]->setItem(row, changed);
        }
    } else {
        ListRemote(shownFolder(Remote));
    }
}

// ---- exit -------------------------------------------------------------------

}  // namespace tw
