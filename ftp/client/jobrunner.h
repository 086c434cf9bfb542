#pragma once
// Runs the window's long operations (transfers, deletions, the sync) one at
// a time, each to its end, on a thread of their own while the window's
// events go on: the caller gets control back only when the job is done. The
// progress relay keeps what the job last told; started() and finished() tell
// the window to show and close its progress window and to grey and free the
// buttons that would start another.

#include "ftp/client/progressrelay.h"
#include "ftp/session/ftpconnection.h"

#include <QObject>

#include <atomic>
#include <functional>

namespace tw {

class JobRunner : public QObject {
    Q_OBJECT
public:
    // How a job can be stopped: not at all (local work), at once (the file
    // being sent is left as it was), or once the file being sent is whole.
    enum class StopMode { None, Now, AfterFile };
    Q_ENUM(StopMode)

    explicit JobRunner(QObject* parent = nullptr);

    // The connection jobs run on (null while disconnected).
    void setConnection(FtpConnection* connection) { m_connection = connection; }
    FtpConnection* connection() const { return m_connection; }
    bool busy() const { return m_busy; }
    ProgressRelay* progress() { return &m_progress; }

    // Runs work (on the connection when withConnection) to its end. False,
    // with nothing run, while another job runs. stop says what cancel() does
    // to it (no stop without a connection).
    bool run(const std::function<void(FtpConnection*)>& work, bool withConnection, StopMode stop = StopMode::Now);
    // Asks the running job to stop as its StopMode says.
    void cancel();
    // For a job stopped after its file: whether it was asked to stop.
    bool stopRequested() const { return m_stopRequested.load(); }

signals:
    void started(JobRunner::StopMode stop);
    void finished();

private:
    FtpConnection* m_connection = nullptr;
    bool m_busy = false;
    StopMode m_stop = StopMode::None;
    std::atomic<bool> m_stopRequested = false;
    ProgressRelay m_progress;
};

}  // namespace tw
