#include "editor/tags/edithistory.h"

#include "editor/tags/editbuffer.h"

#include <algorithm>

namespace tw {

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
    if (m_pos >= kSlots) {
        // Full: the state is not stored and the slots are not recycled. The
        // position is left one past the last slot so that undo still returns
        // to the newest stored state.
        m_pos = kSlots + 1;
        m_top = kSlots;
        RefreshUndoRedo();
        return;
    }
    store(m_pos, m_buffer.text(), m_buffer.selectionStart());
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
        m_applying = true;
        const QString text = textAt(m_pos);
        m_buffer.SetText(text);
        m_buffer.SetSelection(caretAt(m_pos), 0);
    }
    RefreshUndoRedo();
}

void EditHistory::RedoStep()
{
    if (canRedo()) {
        m_applying = true;
        ++m_pos;
        const QString text = textAt(m_pos);
        m_buffer.SetText(text);
        m_buffer.SetSelection(caretAt(m_pos), 0);
    }
    RefreshUndoRedo();
}

void EditHistory::RefreshUndoRedo()
{
    if (m_refresh)
        m_refresh(canUndo(), canRedo());
}

QString EditHistory::textAt(int index)
{
    moveCacheTo(index);
    return m_cache;
}

qsizetype EditHistory::caretAt(int index) const
{
    if (index <= 0)
        return m_baseCaret;
    return m_deltas[size_t(index - 1)].caret;
}

qsizetype EditHistory::storedChars() const
{
    qsizetype n = m_base.size() + m_cache.size();
    for (const Delta& d : m_deltas)
        n += d.removed.size() + d.inserted.size();
    return n;
}

void EditHistory::moveCacheTo(int index)
{
    while (m_cacheIndex < index) {
        const Delta& d = m_deltas[size_t(m_cacheIndex)];
        m_cache.replace(d.prefix, d.removed.size(), d.inserted);
        ++m_cacheIndex;
    }
    while (m_cacheIndex > index) {
        const Delta& d = m_deltas[size_t(m_cacheIndex - 1)];
        m_cache.replace(d.prefix, d.inserted.size(), d.removed);
        --m_cacheIndex;
    }
}

void EditHistory::store(int index, const QString& text, qsizetype caret)
{
    if (index == 0) {
        m_base = text;
        m_baseCaret = caret;
        m_deltas.clear();
        m_cache = text;
        m_cacheIndex = 0;
        return;
    }
    moveCacheTo(index - 1);
    m_deltas.resize(size_t(index - 1));  // later states are gone

    // The difference from the state before: common start and end kept.
    const QChar* a = m_cache.constData();
    const QChar* b = text.constData();
    const qsizetype na = m_cache.size();
    const qsizetype nb = text.size();
    const qsizetype limit = std::min(na, nb);
    qsizetype prefix = 0;
    while (prefix < limit && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < limit - prefix && a[na - 1 - suffix] == b[nb - 1 - suffix])
        ++suffix;

    Delta d;
    d.prefix = prefix;
    d.removed = m_cache.mid(prefix, na - prefix - suffix);
    d.inserted = text.mid(prefix, nb - prefix - suffix);
    d.caret = caret;
    m_deltas.push_back(std::move(d));
    m_cache = text;
    m_cacheIndex = index;
}

}  // namespace tw
