#pragma once
// The options dialog: the editor's settings and the texts that frame every
// new document. Created at each opening and destroyed when it closes; every
// opening shows the editor's current settings and reads both framing files.

#include "options.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace tw {

class MainFrm;

class Setting : public QDialog {
    Q_OBJECT
public:
    explicit Setting(MainFrm& mainFrm, QWidget* parent = nullptr);

    // Header.txt and Futter.txt (or the defaults) into the boxes and into
    // the document's in-memory copies.
    void HeaderFutter_Load();
    // The boxes into Header.txt and Futter.txt; the user is told of a file
    // that cannot be written.
    void HeaderFutter_Save();

private:
    void buildGeneralTab(QWidget* page);
    void buildTagsTab(QWidget* page);
    void fill(const OptionValues& v);
    OptionValues values() const;
    void confirm();
    void browse(QLineEdit* pathBox);

    MainFrm& m_main;
    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_preview = nullptr;
    QCheckBox* m_colorAdd = nullptr;
    QCheckBox* m_designBar = nullptr;
    QCheckBox* m_soutai = nullptr;
    QCheckBox* m_newVersionCheck = nullptr;
    QCheckBox* m_defaultMaxWin = nullptr;
    QCheckBox* m_realTimePreview = nullptr;
    QLineEdit* m_firstFolder = nullptr;
    QLineEdit* m_previewX = nullptr;
    QLineEdit* m_previewY = nullptr;
    QLineEdit* m_browser[3] = {};
    QLineEdit* m_browserName[3] = {};
    QPlainTextEdit* m_header = nullptr;
    QPlainTextEdit* m_footer = nullptr;
};

}  // namespace tw
