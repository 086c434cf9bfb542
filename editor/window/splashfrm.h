#pragma once
// The splash window frmSplash: logo, product, platform and version. A click
// anywhere on it or a key closes it.

#include <QDialog>
#include <QPixmap>

namespace tw {

// The program's logo, drawn at any size (splash, about box, window icon).
QPixmap quilletLogo(int size);

class SplashFrm : public QDialog {
    Q_OBJECT
public:
    explicit SplashFrm(QWidget* parent = nullptr);

    // The start-up step: shows the splash, lets pending events run, keeps it
    // up until at least minimumMs have passed (a click or key ends it
    // earlier), then closes it.
    static void showAtStart(int minimumMs);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace tw
