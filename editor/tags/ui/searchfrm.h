#pragma once
// The search and replace dialog: steps through the occurrences of a text in
// the whole document, replacing them one by one on request, or replaces
// them all at once.

#include "common/platform.h"
#include "editor/tags/search.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tw {

class EditBuffer;

class SearchFrm : public QDialog {
    Q_OBJECT
public:
    SearchFrm(EditBuffer& buffer, MessageBoxes* messages, QWidget* parent = nullptr);
    ~SearchFrm() override;

    const SearchRun& run() const { return m_run; }

protected:
    void done(int r) override;

private:
    QLineEdit* SerchText;
    QLineEdit* ChangeText;
    QPushButton* SerchGo;
    QPushButton* SerchNext;
    QPushButton* TextChange;
    QPushButton* ReplaceAllBtn;
    QPushButton* CloseBtn;
    QCheckBox* RegexChk;
    QCheckBox* CaseChk;
    void report(const SearchOutcome& o);
    void report(const QString& message);
    SearchOptions options() const;
    void replaceAll();

    EditBuffer& m_buffer;
    SearchRun m_run;
    MessageBoxes* m_messages;
};

}  // namespace tw
