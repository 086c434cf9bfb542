#include "editor/tags/editbuffer.h"

#include <algorithm>

namespace tw {

void MemoryEditBuffer::ReplaceSelection(const QString& text)
{
    m_text.replace(m_start, m_length, text);
    m_start += text.size();
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetText(const QString& text)
{
    m_text = text;
    m_start = 0;
    m_length = 0;
    notifyChanged();
}

void MemoryEditBuffer::SetSelection(qsizetype start, qsizetype length)
{
    m_start = std::clamp<qsizetype>(start, 0, m_text.size());
    m_length = std::clamp<qsizetype>(length, 0, m_text.size() - m_start);
}

}  // namespace tw
