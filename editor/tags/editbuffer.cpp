#include "editor/tags/editbuffer.h"

#include <algorithm>

namespace tw {

void MemoryEditBuffer::edit(qsizetype position, qsizetype length, const QString& inserted)
{
    position = std::clamp<qsizetype>(position, 0, m_text.size());
    length = std::clamp<qsizetype>(length, 0, m_text.size() - position);
    if (length == 0 && inserted.isEmpty())
        return;
    recordEdit(position, m_text.mid(position, length), inserted);
    m_text.replace(position, length, inserted);
}

void MemoryEditBuffer::ReplaceSelection(const QString& text)
{
    edit(m_start, m_length, text);
    m_start += text.size();
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetText(const QString& text)
{
    edit(0, m_text.size(), text);
    m_start = 0;
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetSelection(qsizetype start, qsizetype length)
{
    m_start = std::clamp<qsizetype>(start, 0, m_text.size());
    m_length = std::clamp<qsizetype>(length, 0, m_text.size() - m_start);
}

void MemoryEditBuffer::replaceRanges(const std::vector<TextEdit>& edits)
{
    for (const TextEdit& e : edits)
        edit(e.position, e.removed.size(), e.inserted);
    m_start = std::min(m_start, m_text.size());
    m_length = std::min(m_length, m_text.size() - m_start);
    notifyChanged();
}

}  // namespace tw
