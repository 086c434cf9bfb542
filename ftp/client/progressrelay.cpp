#include "ftp/client/progressrelay.h"

namespace tw {

void ProgressRelay::setLabel(int index, const QString& text)
{
    if (index < 0 || index > 3)
        return;
    std::lock_guard lock(m_mutex);
    if (m_state.labels[index] == text)
        return;
    m_state.labels[index] = text;
    ++m_state.serial;
}

void ProgressRelay::startBar()
{
    std::lock_guard lock(m_mutex);
    m_state.barShown = true;
    m_state.done = 0;
    m_state.total = 0;
    m_state.labels[2].clear();
    ++m_state.serial;
}

void ProgressRelay::drawBar(qint64 done, qint64 total)
{
    std::lock_guard lock(m_mutex);
    m_state.done = done;
    m_state.total = total;
    ++m_state.serial;
}

void ProgressRelay::reset()
{
    std::lock_guard lock(m_mutex);
    const quint64 serial = m_state.serial;
    m_state = ProgressSnapshot();
    m_state.serial = serial + 1;
}

ProgressSnapshot ProgressRelay::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

}  // namespace tw
