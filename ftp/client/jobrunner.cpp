#include "ftp/client/jobrunner.h"

#include <QEventLoop>

#include <thread>

namespace tw {

JobRunner::JobRunner(QObject* parent) : QObject(parent) {}

bool JobRunner::run(const std::function<void(FtpConnection*)>& work, bool withConnection, StopMode stop)
{
    if (m_busy)
        return false;
    FtpConnection* c = withConnection ? m_connection : nullptr;
    m_busy = true;
    m_stop = c ? stop : StopMode::None;
    m_stopRequested = false;
    m_progress.reset();
    if (c) {
        c->clearCancel();
        c->setProgressListener(&m_progress);
    }
    emit started(m_stop);
    // The job runs on a thread of its own: the window's thread only paints
    // the progress now and then and stays free for the user. What the job
    // reports to the window (signals of the controllers) is queued, and
    // arrives before the end of the job does.
    QEventLoop loop;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work(c);
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop ends early only when the program is leaving: the job is
    // stopped rather than waited for.
    if (!done && c)
        c->cancel();
    worker.join();
    if (c) {
        c->setProgressListener(nullptr);
        c->clearCancel();
    }
    m_busy = false;
    emit finished();
    return true;
}

void JobRunner::cancel()
{
    if (!m_busy || m_stop == StopMode::None)
        return;
    m_stopRequested = true;
    if (m_stop == StopMode::Now)
        m_connection->cancel();
}

}  // namespace tw
