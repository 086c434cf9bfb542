#pragma once
// Runs the window's long operations (transfers, deletions, the sync) one at
// a time, each to its end, while the window's events go on: the caller gets
// control back only when the job is done. The progress relay hears what the
// job does; started() and finished() tell the window to show and close its
// progress window and to grey and free the buttons that would start another.

#include "ftp/client/progressrelay.h"
#include "ftp/session/ftpconnection.h"

#include <QObject>

#include <functional>

namespace tw {

class JobRunner : public QObject {
    Q_OBJECT
public:
    explicit JobRunner(QObject* parent = nullptr);

    // The connection jobs run on (null while disconnected).
    void setConnection(FtpConnection* connection) { m_connection = connection; }
    FtpConnection* connection() const { return m_connection; }
    bool busy() const { return m_busy; }
    ProgressRelay* progress() { return &m_progress; }

    // Runs work (on the connection when withConnection) to its end. False,
    // with nothing run, while another job runs.
    bool run(const std::function<void(FtpConnection*)>& work, bool withConnection);
    // Asks the running job to stop now: its file is left as it was.
    void cancel();

signals:
    // A job starts; stoppable tells whether cancel() can stop it.
    void started(bool stoppable);
    void finished();

private:
    FtpConnection* m_connection = nullptr;
    bool m_busy = false;
    ProgressRelay m_progress;
};

}  // namespace tw
