#include "editor/document/edithistory.h"

#include <algorithm>

namespace tw {

namespace {
void applyEdits(QString& text, const std::vector<TextEdit>& edits)
{
    for (const TextEdit& e : edits)
        text.replace(e.position, e.removed.size(), e.inserted);
}

// The edits that take the text after `edits` back to the text before them.
void appendInverse(std::vector<TextEdit>& out, const std::vector<TextEdit>& edits)
{
    for (auto it = edits.rbegin(); it != edits.rend(); ++it)
        out.push_back(TextEdit{it->position, it->inserted, it->removed});
}
}  // namespace

EditHistory::EditHistory(EditBuffer& buffer) : m_buffer(buffer) {}

void EditHistory::ResetHistory()
{
    m_pos = 0;
    m_top = 0;
    RecordSnapshot();
}

void EditHistory::RecordSnapshot()
{
    if (m_afterStep)
        ++m_pos;
    const std::vector<TextEdit>& edits = m_buffer.lastEdits();
    if (m_pos >= kSlots) {
        // Full: the state is not stored and the slots are not recycled. The
        // position is left one past the last slot so that undo still returns
        // to the newest stored state.
        m_unstored.insert(m_unstored.end(), edits.begin(), edits.end());
        m_pos = kSlots + 1;
        m_top = kSlots;
        RefreshUndoRedo();
        return;
    }
    if (m_pos == 0) {
        m_baseCaret = m_buffer.selectionStart();
        m_deltas.clear();
        m_unstored.clear();
    } else {
        m_deltas.resize(size_t(m_pos - 1));  // later states are gone
        m_deltas.push_back(Delta{edits, m_buffer.selectionStart()});
    }
    m_shown = m_pos;
    ++m_pos;
    m_top = m_pos;
    RefreshUndoRedo();
}

void EditHistory::onTextChanged()
{
    if (m_applying) {
        m_applying = false;
        m_afterStep = true;
    } else {
        RecordSnapshot();
        m_afterStep = false;
    }
}

bool EditHistory::canUndo() const
{
    return (m_pos > 1 && !m_afterStep) || (m_pos > 0 && m_afterStep);
}

bool EditHistory::canRedo() const
{
    return m_pos < m_top - 1;
}

void EditHistory::UndoStep()
{
    if (canUndo()) {
        m_pos -= m_afterStep ? 1 : 2;
        showState(m_pos);
    }
    RefreshUndoRedo();
}

void EditHistory::RedoStep()
{
    if (canRedo()) {
        ++m_pos;
        showState(m_pos);
    }
    RefreshUndoRedo();
}

void EditHistory::showState(int index)
{
    std::vector<TextEdit> edits;
    appendInverse(edits, m_unstored);
    m_unstored.clear();
    for (int i = m_shown; i > index; --i)
        appendInverse(edits, m_deltas[size_t(i - 1)].edits);
    for (int i = m_shown; i < index; ++i)
        edits.insert(edits.end(), m_deltas[size_t(i)].edits.begin(), m_deltas[size_t(i)].edits.end());
    m_shown = index;
    m_applying = true;
    m_buffer.replaceRanges(edits);
    m_buffer.SetSelection(caretAt(index), 0);
}

void EditHistory::RefreshUndoRedo()
{
    emit undoRedoChanged(canUndo(), canRedo());
}

QString EditHistory::textAt(int index) const
{
    // From the text shown, back or forward to the state asked for.
    QString text = m_buffer.text();
    std::vector<TextEdit> edits;
    appendInverse(edits, m_unstored);
    applyEdits(text, edits);
    index = std::clamp(index, 0, int(m_deltas.size()));
    for (int i = m_shown; i > index; --i) {
        edits.clear();
        appendInverse(edits, m_deltas[size_t(i - 1)].edits);
        applyEdits(text, edits);
    }
    for (int i = m_shown; i < index; ++i)
        applyEdits(text, m_deltas[size_t(i)].edits);
    return text;
}

qsizetype EditHistory::caretAt(int index) const
{
    if (index <= 0)
        return m_baseCaret;
    return m_deltas[size_t(index - 1)].caret;
}

qsizetype EditHistory::storedChars() const
{
    qsizetype n = 0;
    for (const Delta& d : m_deltas)
        for (const TextEdit& e : d.edits)
            n += e.removed.size() + e.inserted.size();
    for (const TextEdit& e : m_unstored)
        n += e.removed.size() + e.inserted.size();
    return n;
}

}  // namespace tw
