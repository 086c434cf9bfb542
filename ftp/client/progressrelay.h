#pragma once
// What the progress window shows, kept as the running job last told it: the
// four captions and the bar. The job writes it through the listener
// interface from its own thread; the window reads a snapshot of it when it
// paints, a few times a second, however fast the job goes.

#include "ftp/session/progress.h"

#include <QString>

#include <mutex>

namespace tw {

struct ProgressSnapshot {
    QString labels[4];
    bool barShown = false;
    qint64 done = 0;
    qint64 total = 0;
    // Counts every change, so a reader can tell whether anything is new.
    quint64 serial = 0;
};

class ProgressRelay : public FtpProgressListener {
public:
    void setLabel(int index, const QString& text) override;
    void startBar() override;
    void drawBar(qint64 done, qint64 total) override;
    // The job's thread never runs the window's events.
    void pumpEvents() override {}

    // Everything emptied, the bar hidden (a new job starts).
    void reset();
    ProgressSnapshot snapshot() const;

private:
    mutable std::mutex m_mutex;
    ProgressSnapshot m_state;
};

}  // namespace tw
