#pragma once
// グラデーション文字の作成: start and end colours (and sizes) for a line of
// text, with a live preview of the result.

#include "common/platform.h"
#include "editor/builders/gradation.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTextEdit;

namespace tw {

class GradationInsFrm : public QDialog {
    Q_OBJECT
public:
    GradationInsFrm(const GradationOptions& values, const Platform& platform, QWidget* parent = nullptr);

    // Rebuilds the text to insert and the preview from the controls.
    void PrintTxt();
    GradationOptions values() const;
    // What 挿入 inserts, as last built.
    QString builtText() const { return m_built; }

private:
    void colourChanged(int which);  // 0 start, 1 end
    void pickColour(int which);

    Platform m_platform;
    QString m_built;
    QLineEdit* m_text;
    QScrollBar* m_scr[2][3];
    QLabel* m_numbers[2][3];
    QLabel* m_swatch[2];
    QScrollBar* m_size[2];
    QLabel* m_sizeNumber[2];
    QCheckBox* m_fontSize;
    QCheckBox* m_br;
    QTextEdit* m_preview;
};

}  // namespace tw
