#pragma once
// The about box frmAbout: the program's identity, the credits scrolling on
// a 40 ms timer, and the way to the maker's page.

#include <QDialog>

#include <functional>

class QTimer;

namespace tw {

class AboutFrm : public QDialog {
    Q_OBJECT
public:
    // openTopPage runs for hpbtn.
    explicit AboutFrm(std::function<void()> openTopPage, QWidget* parent = nullptr);

    // The credits, line by line in the order they roll.
    static QStringList creditLines();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void scrollCredits();

    QWidget* m_box = nullptr;      // the area the credits roll through
    QWidget* m_picture = nullptr;  // Picture1
    QWidget* m_icon = nullptr;
    QTimer* m_timer = nullptr;
};

}  // namespace tw
