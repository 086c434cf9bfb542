#pragma once
// A pair of arrow buttons that steps the number in a text box (its buddy)
// within a range, leaving the box free for any typed text; the Up and Down
// keys in the box step it too.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tw {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr, int step = 1);

    // Moves n steps from the number in the box, keeping a unit typed after
    // it ("12px"); a box without a number steps from the range's lower end.
    void stepBy(int n);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    int m_min;
    int m_max;
    int m_step;
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace tw
