#pragma once
// マーキーの挿入: the selected text in a marquee, with its colour, size,
// motion, direction and scroll step.

#include "editor/builders/marquee.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tw {

class MarqueeFrm : public QDialog {
    Q_OBJECT
public:
    MarqueeFrm(const MarqueeOptions& values, QWidget* parent = nullptr);

    MarqueeOptions values() const;

private:
    QString m_openedText;  // the selection, kept exactly (line breaks and all)
    QString m_shownText;   // how the one-line box shows it
    QLineEdit* m_text;
    QComboBox* m_colour;
    QCheckBox* m_heightOn;
    QLineEdit* m_height;
    QComboBox* m_heightUnit;
    QCheckBox* m_widthOn;
    QLineEdit* m_width;
    QComboBox* m_widthUnit;
    QComboBox* m_motion;
    QComboBox* m_direction;
    QLineEdit* m_step;
};

}  // namespace tw
