#pragma once
// "色の入力": mixes a colour from red, green and blue and hands it back as
// "#RRGGBB" when "挿入" is pressed.

#include <QDialog>

#include <array>

class QFrame;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tw::velmora {

class ColorSelect : public QDialog {
    Q_OBJECT
public:
    explicit ColorSelect(QWidget* parent = nullptr);

    // The colour of the three sliders, as inserted.
    QString colourText() const;

private:
    std::array<QSlider*, 3> Slider;
    QLineEdit* RTxt;
    QLineEdit* GTxt;
    QLineEdit* BTxt;
    QFrame* Picture1;
    QPushButton* Command1;

    void slidersChanged();
    void boxEdited(int index);

    std::array<QLineEdit*, 3> m_boxes;
};

}  // namespace tw::velmora
