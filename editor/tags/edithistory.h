#pragma once
// The editor's own undo and redo history. It behaves as an array of 10,000
// full-text snapshots with a position and a top, but stores each state as the
// difference from the one before it, so typing in a large document does not
// keep a copy of the whole text per keystroke.

#include <QString>

#include <functional>
#include <vector>

namespace tw {

class EditBuffer;

class EditHistory {
public:
    static constexpr int kSlots = 10000;

    explicit EditHistory(EditBuffer& buffer);

    // Empties the history and records the current text as its first state.
    void ResetHistory();
    // Stores the current text and caret as a new state (discarding redo states).
    void RecordSnapshot();
    // The history's part of the change notification: called after every
    // change of the text.
    void onTextChanged();
    void UndoStep();
    void RedoStep();

    bool canUndo() const;
    bool canRedo() const;

    // Told the undo and redo states after every history operation; the main
    // window enables its menu items and gives the edit box the focus.
    void setRefreshHandler(std::function<void(bool canUndo, bool canRedo)> handler)
    {
        m_refresh = std::move(handler);
    }

    int HistoryPos() const { return m_pos; }
    int HistoryTop() const { return m_top; }
    bool AfterHistoryStep() const { return m_afterStep; }
    bool ApplyingHistory() const { return m_applying; }

    // The text and caret recorded at an index below HistoryTop.
    QString textAt(int index);
    qsizetype caretAt(int index) const;

    // Characters held by the stored differences and the cached state, for
    // measuring memory.
    qsizetype storedChars() const;

private:
    struct Delta {
        qsizetype prefix = 0;  // characters kept at the start
        QString removed;       // text of the state before, replaced
        QString inserted;      // text of this state, put in its place
        qsizetype caret = 0;
    };

    void RefreshUndoRedo();
    void moveCacheTo(int index);
    void store(int index, const QString& text, qsizetype caret);

    EditBuffer& m_buffer;
    // State 0 in full, then one difference per later state: m_deltas[i - 1]
    // turns state i - 1 into state i.
    QString m_base;
    qsizetype m_baseCaret = 0;
    std::vector<Delta> m_deltas;
    // One state kept in full, next to where the user works.
    QString m_cache;
    int m_cacheIndex = 0;

    int m_pos = 0;
    int m_top = 0;
    bool m_applying = false;
    bool m_afterStep = false;
    std::function<void(bool, bool)> m_refresh;
};

}  // namespace tw
