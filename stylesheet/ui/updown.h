#pragma once
// A pair of arrow buttons that steps the number in a text box (its buddy)
// within a range, leaving the box free for any typed text.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tw::velmora {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);

    void stepBy(int steps);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    int m_min;
    int m_max;
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace tw::velmora
