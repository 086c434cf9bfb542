#include "ftp/client/jobrunner.h"

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
    m_progress.pumpEvents();
    work(c);
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
