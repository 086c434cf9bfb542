#pragma once
// The progress window of transfers and deletions: the file, the mode, the
// byte counter, the bar, the count of the whole transfer, and a button that
// stops the running transfer.

#include "ftp/session/progress.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tw {

class Frm_State : public QWidget, public FtpProgressListener {
    Q_OBJECT
public:
    explicit Frm_State(QWidget* owner = nullptr);

    // Called when the user asks to stop (the 中止 button or the close box).
    void setOnCancel(std::function<void()> onCancel) { m_onCancel = std::move(onCancel); }

    void setLabel(int index, const QString& text) override;
    void startBar() override;
    void drawBar(qint64 done, qint64 total) override;
    void pumpEvents() override;

    QLabel* label(int index) const { return m_lbl[index]; }
    QProgressBar* bar() const { return m_prog; }
    QPushButton* stopButton() const { return m_stop; }
    // The window may close at the end of the operation.
    void finish();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCancel();

    QLabel* m_lbl[4];
    QProgressBar* m_prog;
    QPushButton* m_stop;
    std::function<void()> m_onCancel;
    bool m_finished = false;
};

}  // namespace tw
