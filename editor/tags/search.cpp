#include "editor/tags/search.h"

#include "editor/document/editbuffer.h"

#include <algorithm>

namespace tw {

QString searchEnterTextsMessage()
{
    return QStringLiteral("検索・置換文字列を入力して下さい");
}

QString searchNotFoundMessage()
{
    return QStringLiteral("検索文字が見つかりませんでした");
}

QString searchBadPatternMessage(const QString& reason)
{
    return QStringLiteral("正規表現が正しくありません。\n") + reason;
}

QString replaceAllDoneMessage(qsizetype count)
{
    return QStringLiteral("%1 個を置換しました。").arg(count);
}

namespace {

QRegularExpression patternFor(const QString& find, const SearchOptions& o)
{
    QRegularExpression::PatternOptions po =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!o.caseSensitive)
        po |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(o.regularExpression ? find : QRegularExpression::escape(find), po);
}

// The replacement with \0..\9 taken from the match and \\ as one backslash.
QString expanded(const QString& replacement, const QRegularExpressionMatch& m)
{
    if (!replacement.contains(QLatin1Char('\\')))
        return replacement;
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c == QLatin1Char('\\') && i + 1 < replacement.size()) {
            const QChar n = replacement[i + 1];
            if (n.isDigit()) {
                out += m.captured(n.digitValue());
                ++i;
                continue;
            }
            if (n == QLatin1Char('\\')) {
                out += n;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

ReplaceAllResult replaceAllIn(const QString& text, const QString& find, const QString& replacement,
                              const SearchOptions& options)
{
    ReplaceAllResult r;
    if (find.isEmpty()) {
        r.text = text;
        return r;
    }
    const bool plain = !options.regularExpression;
    const QRegularExpression pattern = plain ? QRegularExpression() : patternFor(find, options);
    if (!plain && !pattern.isValid()) {
        r.text = text;
        r.message = searchBadPatternMessage(pattern.errorString());
        return r;
    }
    const Qt::CaseSensitivity cs = options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    r.text.reserve(text.size());
    qsizetype from = 0;
    // Many edits cost the edit box more one by one than the new text whole.
    constexpr qsizetype kEditsUpTo = 256;
    auto take = [&](qsizetype at, qsizetype length, const QString& inserted) {
        r.text += QStringView(text).mid(from, at - from);
        if (r.count < kEditsUpTo)
            r.edits.push_back(TextEdit{r.text.size(), text.mid(at, length), inserted});
        r.text += inserted;
        from = at + length;
        ++r.count;
    };
    if (plain) {
        for (qsizetype at = text.indexOf(find, 0, cs); at >= 0; at = text.indexOf(find, from, cs))
            take(at, find.size(), replacement);
    } else {
        auto it = pattern.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            take(m.capturedStart(), m.capturedLength(), expanded(replacement, m));
        }
    }
    r.text += QStringView(text).mid(from);
    if (r.count > kEditsUpTo)
        r.edits.clear();
    return r;
}

SearchRun::SearchRun(EditBuffer& buffer) : m_buffer(buffer) {}

SearchOutcome SearchRun::start(const QString& find, const QString& replacement, const SearchOptions& options)
{
    close();
    const QString text = m_buffer.text();
    if (text.isEmpty() || find.isEmpty()) {
        SearchOutcome o;
        o.message = searchEnterTextsMessage();
        return o;
    }
    m_options = options;
    m_pattern = patternFor(find, options);
    if (!m_pattern.isValid()) {
        SearchOutcome o;
        o.message = searchBadPatternMessage(m_pattern.errorString());
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
            o.selectionLength = m_length;
        }
        return o;
    }
    m_waiting = false;
    ++m_handled;
    if (r == SearchRequest::Next) {
        // An empty match moves one character on, or the run would stay.
        m_from = m_at + std::max<qsizetype>(m_length, 1);
        writeWorking({});
    } else {
        const QString removed = m_working.mid(m_at, m_length);
        const QString inserted = m_options.regularExpression ? expanded(m_replacement, m_match) : m_replacement;
        m_working.replace(m_at, m_length, inserted);
        writeWorking({TextEdit{m_at, removed, inserted}});
        m_from = m_at + inserted.size() + (m_length == 0 ? 1 : 0);
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
    const qsizetype before =
        m_working.size() - (edits.empty() ? 0 : edits[0].inserted.size() - edits[0].removed.size());
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
    if (m_options.regularExpression || !m_options.caseSensitive) {
        m_match = m_from <= m_working.size() ? m_pattern.match(m_working, m_from) : QRegularExpressionMatch();
        m_at = m_match.hasMatch() ? m_match.capturedStart() : -1;
        m_length = m_match.capturedLength();
    } else {
        m_at = m_working.indexOf(m_find, m_from, Qt::CaseSensitive);
        m_length = m_find.size();
    }
    if (m_at < 0) {
        if (m_handled == 0)
            o.message = searchNotFoundMessage();
        else
            writeWorking({});
        return o;
    }
    m_buffer.SetSelection(m_at, m_length);
    m_waiting = true;
    o.waiting = true;
    o.selectionStart = m_at;
    o.selectionLength = m_length;
    return o;
}

}  // namespace tw
