#include "ftp/ui/frm_state.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tw {

namespace {
constexpr int kBarSteps = 1000;
// Ten pictures a second look smooth and cost next to nothing.
constexpr int kPaintIntervalMs = 100;
}  // namespace

Frm_State::Frm_State(QWidget* owner) : QWidget(owner, Qt::Window | Qt::Dialog)
{
    setObjectName(QStringLiteral("Frm_State"));
    setWindowTitle(QStringLiteral("処理中です..."));
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 4; ++i) {
        m_lbl[i] = new QLabel(this);
        m_lbl[i]->setObjectName(QStringLiteral("Lbl_%1").arg(i));
        m_lbl[i]->setMinimumWidth(320);
        layout->addWidget(m_lbl[i]);
        if (i == 1) {
            m_prog = new QProgressBar(this);
            m_prog->setObjectName(QStringLiteral("Prog"));
            m_prog->setAccessibleName(QStringLiteral("進行状況"));
            m_prog->setRange(0, kBarSteps);
            m_prog->setTextVisible(false);
            m_prog->setVisible(false);
            layout->addWidget(m_prog);
        }
    }
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Lbl_Note"));
    m_note->setVisible(false);
    layout->addWidget(m_note);
    m_stop = new QPushButton(QStringLiteral("中止"), this);
    m_stop->setObjectName(QStringLiteral("Btn_Stop"));
    layout->addWidget(m_stop, 0, Qt::AlignRight);
    connect(m_stop, &QPushButton::clicked, this, &Frm_State::requestCancel);
    m_timer = new QTimer(this);
    m_timer->setInterval(kPaintIntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        const ProgressSnapshot now = m_relay->snapshot();
        if (now.serial != m_shown)
            showProgress(now);
    });
}

void Frm_State::follow(const ProgressRelay* relay)
{
    m_relay = relay;
    showProgress(relay->snapshot());
    m_timer->start();
}

void Frm_State::showProgress(const ProgressSnapshot& progress)
{
    m_shown = progress.serial;
    for (int i = 0; i < 4; ++i) {
        // While stopping at once, label 2 says so instead of the counter.
        if ((i != 2 || !m_stopping || m_afterFile) && m_lbl[i]->text() != progress.labels[i])
            m_lbl[i]->setText(progress.labels[i]);
    }
    if (m_prog->isHidden() == progress.barShown)
        m_prog->setVisible(progress.barShown);
    const int value = progress.total > 0 ? int(double(progress.done) / double(progress.total) * kBarSteps + 0.5) : 0;
    if (m_prog->value() != value)
        m_prog->setValue(value);
}

void Frm_State::finish()
{
    m_timer->stop();
    if (m_relay)
        showProgress(m_relay->snapshot());
    m_finished = true;
    close();
}

void Frm_State::requestCancel()
{
    m_stop->setEnabled(false);
    m_stopping = true;
    if (m_afterFile) {
        m_note->setText(QStringLiteral("現在のファイルの転送が終わると中止します"));
        m_note->setVisible(true);
    } else {
        m_lbl[2]->setText(QStringLiteral("中止しています..."));
    }
    if (m_onCancel)
        m_onCancel();
}

void Frm_State::closeEvent(QCloseEvent* event)
{
    if (m_finished) {
        event->accept();
        return;
    }
    // Closing the window while it works means stop.
    event->ignore();
    if (m_stop->isEnabled())
        requestCancel();
}

}  // namespace tw
