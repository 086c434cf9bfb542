#include "editor/tags/search.h"

#include "editor/tags/editbuffer.h"

namespace tw {

QString searchEnterTextsMessage()
{
    return QStringLiteral("検索・置換文字列を入力して下さい");
}

QString searchNotFoundMessage()
{
    return QStringLiteral("検索文字が見つかりませんでした");
}

SearchRun::SearchRun(EditBuffer& buffer)
    : m_buffer(buffer)
{
}

SearchOutcome SearchRun::start(const QString& find, const QString& replacement)
{
    close();
    const QString text = m_buffer.text();
    if (text.isEmpty() || find.isEmpty()) {
        SearchOutcome o;
        o.message = searchEnterTextsMessage();
        return o;
    }
    m_find = find;
    m_replacement = replacement;
    m_working = text;
    m_from = 0;
    m_handled = 0;
    return findNext();
}

SearchOutcome SearchRun::request(SearchRequest r)
{
    if (!m_waiting || r == SearchRequest::None) {
        SearchOutcome o;
        o.waiting = m_waiting;
        if (m_waiting) {
            o.selectionStart = m_at;
            o.selectionLength = m_find.size();
        }
        return o;
    }
    m_waiting = false;
    ++m_handled;
    if (r == SearchRequest::Next) {
        m_from = m_at + m_find.size();
    } else {
        m_working.replace(m_at, m_find.size(), m_replacement);
        m_from = m_at + m_replacement.size();
    }
    m_buffer.SetText(m_working);
    m_buffer.SetSelection(0, 0);
    return findNext();
}

void SearchRun::close()
{
    m_waiting = false;
    m_at = -1;
}

SearchOutcome SearchRun::findNext()
{
    SearchOutcome o;
    m_at = m_working.indexOf(m_find, m_from, Qt::CaseSensitive);
    if (m_at < 0) {
        if (m_handled == 0)
            o.message = searchNotFoundMessage();
        else
            m_buffer.SetText(m_working);
        return o;
    }
    m_buffer.SetSelection(m_at, m_find.size());
    m_waiting = true;
    o.waiting = true;
    o.selectionStart = m_at;
    o.selectionLength = m_find.size();
    return o;
}

}  // namespace tw
