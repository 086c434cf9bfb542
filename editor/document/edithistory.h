#pragma once
// The editor's own undo and redo history. It behaves as an array of 10,000
// full-text snapshots with a position and a top, but keeps for every state
// after the first only the edits the buffer reported for its change (and no
// copy of the text at all), so its work and memory per keystroke follow the
// change, not the document.

#include "editor/document/editbuffer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace tw {

class EditHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlots = 10000;

    explicit EditHistory(EditBuffer& buffer);

    // Empties the history and records the current text as its first state.
    void ResetHistory();
    // Stores the current text and caret as a new state (discarding redo
    // states); the change since the state before is what the buffer reports
    // for the change being notified.
    void RecordSnapshot();
    // The history's part of the change notification: called after every
    // change of the text.
    void onTextChanged();
    void UndoStep();
    void RedoStep();

    bool canUndo() const;
    bool canRedo() const;

    int HistoryPos() const { return m_pos; }
    int HistoryTop() const { return m_top; }
    bool AfterHistoryStep() const { return m_afterStep; }
    bool ApplyingHistory() const { return m_applying; }

    // The text and caret recorded at an index below HistoryTop (the text is
    // rebuilt from the one shown: for checks, not for the editor's work).
    QString textAt(int index) const;
    qsizetype caretAt(int index) const;

    // Characters held by the stored edits, for measuring memory.
    qsizetype storedChars() const;

signals:
    // The undo and redo states after every history operation; the main
    // window enables its menu items and gives the edit box the focus.
    void undoRedoChanged(bool canUndo, bool canRedo);

private:
    struct Delta {
        std::vector<TextEdit> edits;  // turn the state before into this one
        qsizetype caret = 0;
    };

    void RefreshUndoRedo();
    // Brings the document from the state it shows to state index.
    void showState(int index);

    EditBuffer& m_buffer;
    qsizetype m_baseCaret = 0;
    // m_deltas[i - 1] turns state i - 1 into state i.
    std::vector<Delta> m_deltas;
    // The state the document shows (its text, apart from m_unstored).
    int m_shown = 0;
    // Edits made after the history was full: not a state of their own, but
    // undone on the way back to the newest stored state.
    std::vector<TextEdit> m_unstored;

    int m_pos = 0;
    int m_top = 0;
    bool m_applying = false;
    bool m_afterStep = false;
};

}  // namespace tw
