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
        writeWorking({});
    } else {
        m_working.replace(m_at, m_find.size(), m_replacement);
        writeWorking({TextEdit{m_at, m_find, m_replacement}});
        m_from = m_at + m_replacement.size();
    }
    m_buffer.SetSelection(0, 0);
    return findNext();
}

void SearchRun::writeWorking(const std::vector<TextEdit>& edits)
{
    // The document is the working text before this step (the dialog is
    // modal), so the step is written as the range it changed: one change,
    // costing the occurrence, not the document. A document changed behind
    // the run's back gets the whole working text, as each step promises.
    const qsizetype before = m_working.size() - (edits.empty() ? 0 : m_replacement.size() - m_find.size());
    if (m_buffer.length() == before)
        m_buffer.replaceRanges(edits);
    else
        m_buffer.SetText(m_working);
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
            writeWorking({});
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
