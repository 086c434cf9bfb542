#include "editor/tags/tagcompletion.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace tw {

namespace {

QStringList words(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const QSet<QString>& voidElements()
{
    static const QSet<QString> names = [] {
        const QStringList w = words("area base br col embed hr img input link meta param source track wbr");
        return QSet<QString>(w.begin(), w.end());
    }();
    return names;
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':') || c == QLatin1Char('_');
}

bool startsUpper(const QString& s)
{
    return !s.isEmpty() && s.front().isUpper();
}

QStringList inCase(QStringList items, bool upper)
{
    for (QString& s : items)
        s = upper ? s.toUpper() : s;
    return items;
}

QStringList startingWith(const QStringList& items, const QString& prefix)
{
    QStringList out;
    for (const QString& s : items)
        if (s.startsWith(prefix, Qt::CaseInsensitive))
            out << s;
    return out;
}

}  // namespace

const QStringList& htmlElementNames()
{
    static const QStringList names = words(
        "a abbr address area article aside audio b base bdi bdo blockquote body br button canvas caption cite code "
        "col colgroup data datalist dd del details dfn dialog div dl dt em embed fieldset figcaption figure footer "
        "form h1 h2 h3 h4 h5 h6 head header hgroup hr html i iframe img input ins kbd label legend li link main map "
        "mark menu meta meter nav noscript object ol optgroup option output p picture pre progress q rp rt ruby s "
        "samp script search section select slot small source span strong style sub summary sup table tbody td "
        "template textarea tfoot th thead time title tr track u ul var video wbr");
    return names;
}

QStringList htmlAttributeNames(const QString& element)
{
    static const QStringList global = words(
        "accesskey class contenteditable dir draggable hidden id lang spellcheck style tabindex title translate "
        "onclick onchange oninput onkeydown onkeyup onload onmouseover onmouseout onsubmit");
    static const QHash<QString, QStringList> own = {
        {QStringLiteral("a"), words("href target rel download hreflang type name")},
        {QStringLiteral("area"), words("alt coords shape href target rel")},
        {QStringLiteral("audio"), words("src controls autoplay loop muted preload")},
        {QStringLiteral("base"), words("href target")},
        {QStringLiteral("blockquote"), words("cite")},
        {QStringLiteral("body"), words("bgcolor text link vlink alink background")},
        {QStringLiteral("button"), words("type name value disabled form")},
        {QStringLiteral("col"), words("span width")},
        {QStringLiteral("del"), words("cite datetime")},
        {QStringLiteral("details"), words("open")},
        {QStringLiteral("font"), words("size color face")},
        {QStringLiteral("form"), words("action method enctype target name autocomplete novalidate")},
        {QStringLiteral("iframe"), words("src srcdoc name width height allow loading sandbox")},
        {QStringLiteral("img"), words("src alt width height srcset sizes loading decoding usemap border align")},
        {QStringLiteral("input"), words("type name value placeholder checked disabled readonly required maxlength "
                                        "min max step size pattern autocomplete autofocus list multiple accept form")},
        {QStringLiteral("ins"), words("cite datetime")},
        {QStringLiteral("label"), words("for")},
        {QStringLiteral("li"), words("value type")},
        {QStringLiteral("link"), words("rel href type media sizes hreflang crossorigin")},
        {QStringLiteral("meta"), words("name content charset http-equiv")},
        {QStringLiteral("meter"), words("value min max low high optimum")},
        {QStringLiteral("object"), words("data type width height name")},
        {QStringLiteral("ol"), words("start type reversed")},
        {QStringLiteral("option"), words("value selected disabled label")},
        {QStringLiteral("progress"), words("value max")},
        {QStringLiteral("q"), words("cite")},
        {QStringLiteral("script"), words("src type async defer crossorigin integrity nomodule")},
        {QStringLiteral("select"), words("name multiple size disabled required form")},
        {QStringLiteral("source"), words("src srcset type media sizes")},
        {QStringLiteral("style"), words("media type")},
        {QStringLiteral("table"), words("border cellpadding cellspacing width align bgcolor summary")},
        {QStringLiteral("td"), words("colspan rowspan headers width height align valign bgcolor nowrap")},
        {QStringLiteral("textarea"), words("name rows cols placeholder disabled readonly required maxlength wrap")},
        {QStringLiteral("th"), words("colspan rowspan headers scope abbr width align valign bgcolor")},
        {QStringLiteral("time"), words("datetime")},
        {QStringLiteral("tr"), words("align valign bgcolor")},
        {QStringLiteral("track"), words("src kind srclang label default")},
        {QStringLiteral("video"), words("src poster width height controls autoplay loop muted playsinline preload")},
    };
    QStringList list = own.value(element.toLower()) + global;
    list.removeDuplicates();
    return list;
}

QStringList openElements(const QString& text)
{
    // Tags, comments and the raw text of scripts and styles, left to right.
    static const QRegularExpression token(
        QStringLiteral("<!--.*?-->|<(/?)([A-Za-z][A-Za-z0-9:-]*)(?:[^>\"']|\"[^\"]*\"|'[^']*')*?(/?)>"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList open;
    auto it = token.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(2);
        if (name.isEmpty())
            continue;  // a comment
        const QString lower = name.toLower();
        if (m.capturedLength(1) > 0) {
            for (qsizetype i = open.size() - 1; i >= 0; --i) {
                if (open[i].compare(name, Qt::CaseInsensitive) == 0) {
                    open.erase(open.begin() + i, open.end());
                    break;
                }
            }
        } else if (m.capturedLength(3) == 0 && !voidElements().contains(lower)) {
            open << name;
        }
    }
    return open;
}

Completion completeAt(const QString& text)
{
    Completion c;
    const QString before = text.right(kCompletionWindow);
    const qsizetype lt = before.lastIndexOf(QLatin1Char('<'));
    if (lt < 0 || before.indexOf(QLatin1Char('>'), lt) >= 0)
        return c;
    // A "<" typed inside a quoted value of a tag still open is no tag.
    const qsizetype outer = lt > 0 ? before.lastIndexOf(QLatin1Char('<'), lt - 1) : -1;
    if (outer >= 0 && before.indexOf(QLatin1Char('>'), outer) < 0) {
        const QStringView between = QStringView(before).mid(outer, lt - outer);
        if (between.count(QLatin1Char('"')) % 2 != 0 || between.count(QLatin1Char('\'')) % 2 != 0)
            return c;
    }
    const QString tag = before.mid(lt + 1);
    if (tag.startsWith(QLatin1Char('/'))) {
        const QString prefix = tag.mid(1);
        if (!std::all_of(prefix.begin(), prefix.end(), isNameChar))
            return c;
        QStringList open = openElements(before.left(lt));
        std::reverse(open.begin(), open.end());
        open.removeDuplicates();
        QStringList items = startingWith(open, prefix);
        if (!prefix.isEmpty())
            items = inCase(items, startsUpper(prefix));
        for (QString& s : items)
            s += QLatin1Char('>');
        c.kind = CompletionKind::Closing;
        c.prefix = prefix;
        c.items = items;
        return c;
    }
    qsizetype nameEnd = 0;
    while (nameEnd < tag.size() && isNameChar(tag[nameEnd]))
        ++nameEnd;
    if (nameEnd == tag.size()) {
        if (!tag.isEmpty() && !tag.front().isLetter())
            return c;
        c.kind = CompletionKind::Element;
        c.prefix = tag;
        c.items = inCase(startingWith(htmlElementNames(), tag), startsUpper(tag));
        return c;
    }
    if (nameEnd == 0 || !tag[nameEnd].isSpace())
        return c;
    // Inside the start tag: no completion within a quoted value.
    const QString rest = tag.mid(nameEnd);
    if (rest.count(QLatin1Char('"')) % 2 != 0 || rest.count(QLatin1Char('\'')) % 2 != 0)
        return c;
    qsizetype from = rest.size();
    while (from > 0 && isNameChar(rest[from - 1]))
        --from;
    if (from == 0 || !rest[from - 1].isSpace())
        return c;
    const QString element = tag.left(nameEnd);
    c.kind = CompletionKind::Attribute;
    c.prefix = rest.mid(from);
    c.items = inCase(startingWith(htmlAttributeNames(element), c.prefix),
                     c.prefix.isEmpty() ? startsUpper(element) : startsUpper(c.prefix));
    return c;
}

}  // namespace tw
