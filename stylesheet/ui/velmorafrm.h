#pragma once
// Velmora's main window: the compose tab builds one CSS rule at a time into
// the output tab's text, which is saved as a style sheet or a sample page.

#include "common/platform.h"
#include "stylesheet/stylerule.h"
#include "stylesheet/styleoutput.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tw {
class UpDown;
}

namespace tw::velmora {

class MainFrm : public QWidget {
    Q_OBJECT
public:
    explicit MainFrm(const Platform& platform, QWidget* parent = nullptr);

    // The compose tab's choices, and the output text with CR LF breaks.
    StyleRuleValues ruleValues() const;
    QString outputText() const;
    void setOutputText(const QString& text);
    OutputFormat outputFormat() const;

    // Opens the colour picker for a combo: 0 is the text colour, 1 to 8 the
    // scroll-bar colours 0 to 7, 9 the background colour.
    void openColorSelect(int target);
    QComboBox* colourTargetCombo(int target) const;

    void SettingBtn_Click();
    void OutputBtn_Click();

private:
    QTabWidget* Tab;
    QListWidget* List1;
    std::array<QComboBox*, kScrollBarRows> ScrollBarColorCmb;
    std::array<QPushButton*, kScrollBarRows + 2> ColorSelectBtn;
    QComboBox* FontCmb;
    QComboBox* FontColorCmb;
    QComboBox* BackColorCmb;
    QLineEdit* FontSizeTxt;
    tw::UpDown* UpDown1;
    QComboBox* FontSizeScaleCmb;
    QCheckBox* BoldChk;
    QCheckBox* ItaricChk;
    QCheckBox* UnderLineChk;
    QCheckBox* OverLineChk;
    QCheckBox* UchikeshiChk;
    QCheckBox* BackImageChk;
    QLineEdit* BackImgTxt;
    QCheckBox* BackImgScrollChk;
    QComboBox* CursolCmb;
    QPushButton* SettingBtn;
    QPlainTextEdit* OutputTxt;
    std::array<QRadioButton*, 2> OutputFormatOpt;
    QPushButton* OutputBtn;

    QWidget* buildComposeTab();
    QWidget* buildOutputTab();
    void showMessage(const QString& text);
    void closeEvent(QCloseEvent* event) override;

    Platform m_platform;
    int m_colourTarget = 0;
    QString m_saveFolder;   // where the save dialog starts: the folder of the last save
    QString m_writtenText;  // the output text as the last 出力 wrote it
};

}  // namespace tw::velmora
