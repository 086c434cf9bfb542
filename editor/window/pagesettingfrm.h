#pragma once
// The page setup PageSettingFrm: margins, title line and page number of the
// printout. The values are checked by the print layout's core before any
// is taken.

#include "common/platform.h"
#include "editor/shell/printlayout.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tw {

class PageSettingFrm : public QDialog {
    Q_OBJECT
public:
    // print runs the print command (Command1 "プリンタの設定").
    PageSettingFrm(const PrintSettings& current, MessageBoxes* messages, std::function<void()> print,
                   QWidget* parent = nullptr);

    // The confirmed values.
    const PrintSettings& settings() const { return m_settings; }
    // Each size box and its unit are usable exactly while its check is ticked.
    void ControlSet();

private:
    void confirm();
    QLineEdit* box(PageSettingField field) const;

    PrintSettings m_settings;
    MessageBoxes* m_messages;
    QLineEdit* m_left = nullptr;
    QLineEdit* m_right = nullptr;
    QLineEdit* m_top = nullptr;
    QLineEdit* m_bottom = nullptr;
    QCheckBox* m_title = nullptr;
    QLineEdit* m_titleSize = nullptr;
    QLabel* m_titleUnit = nullptr;
    QCheckBox* m_pageNum = nullptr;
    QLineEdit* m_pageNumSize = nullptr;
    QLabel* m_pageNumUnit = nullptr;
};

}  // namespace tw
