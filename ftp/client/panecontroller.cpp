#include "ftp/client/panecontroller.h"

#include "ftp/client/mdl_main.h"
#include "ftp/session/ftpoperations.h"

#include <QFileInfo>

namespace tw {

PaneController::PaneController(bool remote, JobRunner& runner, QObject* parent)
    : QObject(parent),
      m_runner(runner),
      m_remote(remote)
{
}

PaneListing PaneController::list(const QString& folder) const
{
    PaneListing out;
    out.folder = WithSeparator(folder, u'/');
    if (!m_remote) {
        if (!isUsableLocalPath(out.folder) || !QFileInfo(out.folder).isDir())
            out.result = Result::failure(QString());
        else
            out.entries = LocalFileList(out.folder);
        return out;
    }
    FtpConnection* c = paneConnection();
    if (!c) {
        out.result = Result::failure(QString());
        return out;
    }
    const auto failure = [&] {
        out.result =
            Result::failure(QStringLiteral("一覧を取得出来ませんでした\r\n") + describeFtpError(c->lastError()));
        return out;
    };
    if (FtpCurDir(*c, out.folder).isEmpty()) {
        const FtpErrorKind kind = c->lastError().kind;
        if (kind != FtpErrorKind::Refused && kind != FtpErrorKind::None)
            return failure();
        out.elsewhere = true;
        out.folder = c->currentFolder();
    }
    if (FtpFileList(*c, QStringLiteral("*.*"), out.entries) == 0 && c->lastError().kind != FtpErrorKind::None)
        return failure();
    return out;
}

void PaneController::sendTo(const QList<PaneEntry>& items, const QString& from, const QString& to, TransferType type,
                            bool patch)
{
    if (!m_runner.connection())
        return;
    const TransferDirection direction = m_remote ? TransferDirection::Download : TransferDirection::Upload;
    TransferOutcome outcome;
    outcome.direction = direction;
    if (!m_runner.run(
            [&](FtpConnection* c) {
                std::function<void(const DirEntry&)> arrived;
                if (patch)
                    arrived = [this, to](const DirEntry& found) { emit entryArrived(to, found); };
                outcome = RunTransfers(*c, direction, from, to, items, type, arrived);
            },
            true))
        return;
    emit transferFinished(outcome);
}

void PaneController::deleteEntries(const QString& folder, const QList<PaneEntry>& items)
{
    QStringList failed;
    if (!m_remote && m_runner.busy()) {
        failed = DeleteEntries(nullptr, folder, items);
    } else if (!m_runner.run(
                   [&](FtpConnection* c) {
                       if (!c)
                           m_runner.progress()->setLabel(0, QStringLiteral("削除中です..."));
                       failed = DeleteEntries(c, folder, items);
                   },
                   m_remote)) {
        return;
    }
    emit deleteFinished(items, failed);
}

Result PaneController::rename(const QString& folder, const QString& from, const QString& to)
{
    return RenameEntry(paneConnection(), folder, from, to);
}

Result PaneController::makeFolder(const QString& folder, const QStringList& shownNames)
{
    return MakeFolder(paneConnection(), folder, NewFolderName(shownNames, m_remote));
}

LocalPaneController::LocalPaneController(JobRunner& runner, QObject* parent) : PaneController(false, runner, parent) {}

void LocalPaneController::planSync(const QString& localFolder, const QString& remoteFolder, TransferType type)
{
    if (!m_runner.connection())
        return;
    SyncPlan plan;
    Result result;
    if (!m_runner.run(
            [&](FtpConnection* c) {
                if (!PlanSync(*c, localFolder, remoteFolder, type, plan)) {
                    const QString reason = describeFtpError(c->lastError());
                    result = Result::failure(QStringLiteral("変更分を調べられませんでした\r\n") + localFolder
                                             + (reason.isEmpty() ? QString() : QStringLiteral("\r\n") + reason));
                }
            },
            true))
        return;
    emit syncPlanned(result, plan);
}

void LocalPaneController::runSync(const SyncPlan& plan, TransferType type, bool deleteExtra)
{
    if (!m_runner.connection())
        return;
    SyncOutcome outcome;
    // A stop lets the file being sent arrive whole.
    if (!m_runner.run(
            [&](FtpConnection* c) {
                outcome = RunSync(*c, plan, type, deleteExtra, [this] { return m_runner.stopRequested(); });
            },
            true, JobRunner::StopMode::AfterFile))
        return;
    emit syncFinished(outcome);
}

ServerPaneController::ServerPaneController(JobRunner& runner, QObject* parent) : PaneController(true, runner, parent) {}

Result ServerPaneController::changePermissions(const QString& command)
{
    FtpConnection* c = paneConnection();
    if (!c)
        return Result::failure(describeFtpError({FtpErrorKind::Network, {}}));
    if (!FtpSendCommand(*c, command))
        return Result::failure(QStringLiteral("パーミッションを変更出来ませんでした\r\n")
                               + describeFtpError(c->lastError()));
    return {};
}

}  // namespace tw
