#pragma once
// The progress window of transfers and deletions: the file, the mode, the
// byte counter, the bar, the count of the whole transfer, and a button that
// stops the running job. It shows what the job's progress relay holds, at
// most ten times a second: a tree of small files would otherwise spend more
// time painting than sending.

#include "ftp/client/progressrelay.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tw {

class Frm_State : public QWidget {
    Q_OBJECT
public:
    explicit Frm_State(QWidget* owner = nullptr);

    // Called when the user asks to stop (the 中止 button or the close box).
    void setOnCancel(std::function<void()> onCancel) { m_onCancel = std::move(onCancel); }
    // A stop lets the file being sent finish: the window says so.
    void setStopsAfterFile(bool afterFile) { m_afterFile = afterFile; }

    // Shows what the relay holds now, and again whenever it changed, ten
    // times a second, until finish().
    void follow(const ProgressRelay* relay);
    // Shows the captions and the bar as the job last told them.
    void showProgress(const ProgressSnapshot& progress);

    QLabel* label(int index) const { return m_lbl[index]; }
    QProgressBar* bar() const { return m_prog; }
    QPushButton* stopButton() const { return m_stop; }
    // What the stop button has set going.
    QLabel* note() const { return m_note; }
    // The window shows the job's last word and may close.
    void finish();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCancel();

    QLabel* m_lbl[4];
    QLabel* m_note;
    QProgressBar* m_prog;
    QPushButton* m_stop;
    std::function<void()> m_onCancel;
    const ProgressRelay* m_relay = nullptr;
    quint64 m_shown = 0;  // the serial of the snapshot shown
    QTimer* m_timer;
    bool m_finished = false;
    bool m_stopping = false;
    bool m_afterFile = false;
};

}  // namespace tw
