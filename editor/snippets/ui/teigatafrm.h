#pragma once
// The snippet dialog (定型文設定): lists the SnippetStore, edits, copies and
// deletes its entries, loads and saves snippet files and inserts a
// snippet's start text into the document. One object lives for the whole
// run; closing it only hides it.

#include "common/platform.h"
#include "editor/snippets/snippetedit.h"

#include <QDialog>
#include <QLineEdit>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tw {

class EditBuffer;
class SnippetStore;

// KeyTxt: shows the name of the key combination pressed in it (KeyName) and
// nothing else. Tab and Shift+Tab still move the focus.
class HotKeyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit HotKeyBox(QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TeigataFrm : public QDialog {
    Q_OBJECT
public:
    TeigataFrm(SnippetStore& store, EditBuffer& buffer, const Platform& platform, const QString& appFolder,
               QWidget* parent = nullptr);

    // Rebuilds ListView1 from the store, keeping the selected row when it
    // still exists. The dialog calls it after each of its own operations;
    // whoever else changes the store calls it too.
    void refreshList();
    // Before a new entry is typed: empties TitleTxt, DataTxt and KeyTxt.
    // Data2Txt keeps its text.
    void clearForNewEntry();

    // The list's selected row (0-based), or -1.
    int selectedRow() const;
    SnippetBoxes boxes() const;
    void setBoxes(const SnippetBoxes& boxes);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

signals:
    // The snippets were saved or loaded: the snippet menu items follow them.
    void snippetsSaved();

private:
    void buildControls();
    // Fills ListView1 from the store and selects the row (none for -1)
    // without touching the boxes.
    void rebuildList(int selectRow);
    void showSelectedEntry();
    void warn(const QString& text);

    void addEntry();
    void changeEntry();
    void deleteEntry();
    void copyEntry();
    void clearBoxes();
    void insertEntry();
    void closeAndSave();
    void loadFile();
    void saveFile();

    SnippetStore& m_store;
    EditBuffer& m_buffer;
    Platform m_platform;
    QString m_appFolder;
    bool m_refreshing = false;

    QTreeWidget* m_list = nullptr;
    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_start = nullptr;
    QPlainTextEdit* m_end = nullptr;
    HotKeyBox* m_key = nullptr;
};

}  // namespace tw
