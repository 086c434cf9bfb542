#pragma once
// What the progress window shows, kept as the running job last told it: the
// four captions, the bar and whether the job is stopping. The job writes it
// through the listener interface; the window reads a snapshot of it.

#include "ftp/session/progress.h"

#include <QObject>
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

class ProgressRelay : public QObject, public FtpProgressListener {
    Q_OBJECT
public:
    explicit ProgressRelay(QObject* parent = nullptr);

    void setLabel(int index, const QString& text) override;
    void startBar() override;
    void drawBar(qint64 done, qint64 total) override;
    void pumpEvents() override;

    // Everything emptied, the bar hidden (a new job starts).
    void reset();
    ProgressSnapshot snapshot() const;

signals:
    // Something changed; the job is waiting for the window to show it.
    void changed();

private:
    mutable std::mutex m_mutex;
    ProgressSnapshot m_state;
};

}  // namespace tw
