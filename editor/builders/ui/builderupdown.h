#pragma once
// An up-down control: steps the number in its text box within a range.

#include <QWidget>

class QLineEdit;

namespace tw {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int min, int max, QWidget* parent = nullptr, int step = 1);
    // Moves n steps; a text that is no number steps from the range's lower end.
    void stepBy(int n);

private:
    QLineEdit* m_buddy;
    int m_min;
    int m_max;
    int m_step;
};

}  // namespace tw
