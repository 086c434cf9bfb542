#include "editor/window/splashfrm.h"

#include "editor/shell/versioncheck.h"
#include "common/gui/icons.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace tw {

QPixmap quilletLogo(int size)
{
    return appIcon(QStringLiteral("tagwright-quillet")).pixmap(QSize(size, size), qApp->devicePixelRatio());
}

SplashFrm::SplashFrm(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tagwright"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    frame->setStyleSheet(QStringLiteral("QFrame#Frame1 { background: white; }"));
    outer->addWidget(frame);

    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(28, 24, 36, 24);
    row->setSpacing(24);
    auto* logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(quilletLogo(128));
    row->addWidget(logo);

    auto* texts = new QVBoxLayout;
    auto label = [frame, texts](const char* name, const QString& text, int points, bool bold) {
        auto* l = new QLabel(text, frame);
        l->setObjectName(QString::fromLatin1(name));
        QFont f = l->font();
        f.setPointSize(points);
        f.setBold(bold);
        l->setFont(f);
        texts->addWidget(l);
        return l;
    };
    texts->addStretch();
    label("lblProductName", QStringLiteral("Tagwright"), 30, true);
    label("lblPlatform", QStringLiteral("Quillet"), 16, false);
    texts->addSpacing(12);
    label("lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + programVersion(), 11, false);
    texts->addStretch();
    row->addLayout(texts);

    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);
}

bool SplashFrm::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void SplashFrm::keyPressEvent(QKeyEvent*)
{
    accept();
}

void SplashFrm::mousePressEvent(QMouseEvent*)
{
    accept();
}

void SplashFrm::showAtStart(int minimumMs)
{
    SplashFrm splash;
    QElapsedTimer shown;
    splash.show();
    shown.start();
    splash.activateWindow();
    QCoreApplication::processEvents();
    const qint64 left = minimumMs - shown.elapsed();
    if (left > 0 && splash.isVisible()) {
        QEventLoop wait;
        QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
        connect(&splash, &QDialog::finished, &wait, &QEventLoop::quit);
        wait.exec();
    }
    splash.close();
}

}  // namespace tw
