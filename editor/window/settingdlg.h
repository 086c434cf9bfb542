#pragma once
// The options dialog: the editor's settings and the texts that frame every
// new document. It takes the values it shows and hands the edited ones back;
// the editor applies and stores them.

#include "editor/settings/options.h"
#include "common/platform.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace tw {

class Setting : public QDialog {
    Q_OBJECT
public:
    // Shows the values; they come back edited from values() once the
    // dialog was confirmed (a size that is not a number keeps it open).
    Setting(const OptionValues& values, const Platform& platform, QWidget* parent = nullptr);

    OptionValues values() const;

private:
    void buildGeneralTab(QWidget* page);
    void buildTagsTab(QWidget* page);
    void fill(const OptionValues& v);
    void confirm();
    void browse(QLineEdit* pathBox);

    Platform m_platform;
    QString m_panelFolder;
    bool m_browsed = false;
    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_preview = nullptr;
    QCheckBox* m_colorAdd = nullptr;
    QCheckBox* m_designBar = nullptr;
    QCheckBox* m_soutai = nullptr;
    QCheckBox* m_newVersionCheck = nullptr;
    QCheckBox* m_defaultMaxWin = nullptr;
    QCheckBox* m_realTimePreview = nullptr;
    QCheckBox* m_tagCompletion = nullptr;
    QLineEdit* m_firstFolder = nullptr;
    QLineEdit* m_previewX = nullptr;
    QLineEdit* m_previewY = nullptr;
    QLineEdit* m_browser[3] = {};
    QLineEdit* m_browserName[3] = {};
    QPlainTextEdit* m_header = nullptr;
    QPlainTextEdit* m_footer = nullptr;
};

}  // namespace tw
