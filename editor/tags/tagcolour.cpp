#include "editor/tags/tagcolour.h"

namespace tw {

namespace {

constexpr QStringView kCommentOpen = u"<!--";
constexpr QStringView kCommentClose = u"-->";
constexpr int kCommentColour = 3;

// The tag name of a tag whose "<" is at lt: after the "<" (and one "/" right
// behind it) up to the first blank, "<", ">", CR, LF or the end.
QStringView tagName(QStringView text, qsizetype lt)
{
    const qsizetype n = text.size();
    qsizetype from = lt + 1;
    if (from < n && text[from] == u'/')
        ++from;
    qsizetype to = from;
    while (to < n) {
        const char16_t c = text[to].unicode();
        if (c == u' ' || c == u'<' || c == u'>' || c == u'\r' || c == u'\n')
            break;
        ++to;
    }
    return text.sliced(from, to - from);
}

bool opensComment(QStringView text, qsizetype lt)
{
    return text.sliced(lt).startsWith(kCommentOpen);
}

// The closing "-->" of a comment opened at lt; its dashes may be those of
// the opener ("<!-->" is a whole comment).
qsizetype commentClose(QStringView text, qsizetype lt)
{
    return text.indexOf(kCommentClose, lt + 2);
}

void addRange(QList<ColourRange>& out, qsizetype start, qsizetype end, int colour)
{
    if (colour != 0 && end > start)
        out.append(ColourRange{start, end - start, colour});
}

}  // namespace

TagColourTable TagColourTable::defaultTable()
{
    TagColourTable t;
    t.groups[0] = QStringList{QStringLiteral("a")};
    t.groups[1] = QStringList{QStringLiteral("meta")};
    t.colours = {0x000000u, 0xFF0000u, 0x228B22u, 0x0000FFu};
    return t;
}

int TagColourTable::colourOfName(QStringView name) const
{
    if (name.isEmpty())
        return 0;
    const QString lower = name.toString().toLower();
    for (int g = 0; g < int(groups.size()); ++g)
        if (groups[size_t(g)].contains(lower))
            return g + 1;
    return 3;
}

QList<ColourRange> colourRanges(const QString& text, const TagColourTable& table)
{
    QList<ColourRange> out;
    const QStringView t(text);
    const qsizetype n = t.size();
    qsizetype from = 0;
    while (from < n) {
        const qsizetype lt = t.indexOf(u'<', from);
        if (lt < 0)
            break;
        qsizetype end;
        int colour;
        if (opensComment(t, lt)) {
            const qsizetype close = commentClose(t, lt);
            end = close < 0 ? n : close + kCommentClose.size();
            colour = kCommentColour;
        } else {
            const qsizetype gt = t.indexOf(u'>', lt + 1);
            end = gt < 0 ? n : gt + 1;
            colour = table.colourOfName(tagName(t, lt));
        }
        addRange(out, lt, end, colour);
        from = end;
    }
    return out;
}

int colourLine(QStringView line, int stateIn, const TagColourTable& table, QList<ColourRange>& out)
{
    const qsizetype n = line.size();
    qsizetype from = 0;

    // First finish what the line before left open.
    if (stateIn == kLineInComment) {
        const qsizetype close = line.indexOf(kCommentClose);
        if (close < 0) {
            addRange(out, 0, n, kCommentColour);
            return kLineInComment;
        }
        from = close + kCommentClose.size();
        addRange(out, 0, from, kCommentColour);
    } else if (stateIn >= lineInTag(0) && stateIn <= lineInTag(3)) {
        const int colour = stateIn - lineInTag(0);
        const qsizetype gt = line.indexOf(u'>');
        if (gt < 0) {
            addRange(out, 0, n, colour);
            return stateIn;
        }
        from = gt + 1;
        addRange(out, 0, from, colour);
    }

    while (from < n) {
        const qsizetype lt = line.indexOf(u'<', from);
        if (lt < 0)
            break;
        if (opensComment(line, lt)) {
            const qsizetype close = commentClose(line, lt);
            if (close < 0) {
                addRange(out, lt, n, kCommentColour);
                return kLineInComment;
            }
            from = close + kCommentClose.size();
            addRange(out, lt, from, kCommentColour);
        } else {
            // The name ends at the line's end at the latest, as at a line break.
            const int colour = table.colourOfName(tagName(line, lt));
            const qsizetype gt = line.indexOf(u'>', lt + 1);
            if (gt < 0) {
                addRange(out, lt, n, colour);
                return lineInTag(colour);
            }
            from = gt + 1;
            addRange(out, lt, from, colour);
        }
    }
    return kLineOutside;
}

}  // namespace tw
