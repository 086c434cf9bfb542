#include "editor/builders/listskeleton.h"

#include "editor/builders/builderfields.h"

namespace tw {

namespace {
enum class Kind { Plain, Circle, Square, Disc, Ordered, Image, Definition, Unknown };

struct KindInfo {
    Kind kind;
    QString type;  // the ordered kinds' numbering
};

KindInfo kindOf(const QString& name)
{
    const QStringList& n = listKindNames();
    const qsizetype i = n.indexOf(name);
    static const char* const orderedTypes[] = {"1", "I", "i", "A", "a"};
    switch (i) {
        case 0:
            return {Kind::Plain, {}};
        case 1:
            return {Kind::Circle, {}};
        case 2:
            return {Kind::Square, {}};
        case 3:
            return {Kind::Disc, {}};
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            return {Kind::Ordered, QLatin1String(orderedTypes[i - 4])};
        case 9:
            return {Kind::Image, {}};
        case 10:
            return {Kind::Definition, {}};
        default:
            return {Kind::Unknown, {}};
    }
}

}  // namespace

const QStringList& listKindNames()
{
    static const QStringList names = {
        QStringLiteral("指定なし(・)"),
        QStringLiteral("○"),
        QStringLiteral("■"),
        QStringLiteral("●"),
        QStringLiteral("1,2,3,4,5"),
        QStringLiteral("Ⅰ,Ⅱ,Ⅲ,Ⅳ,Ⅴ"),
        QStringLiteral("ⅰ,ⅱ,ⅲ,ⅳ,ⅴ"),
        QStringLiteral("A,B,C,D,E"),
        QStringLiteral("a,b,c,d,e"),
        QStringLiteral("画像"),
        QStringLiteral("定義型リスト"),
    };
    return names;
}

ListRows listRowsFor(const QString& kind)
{
    switch (kindOf(kind).kind) {
        case Kind::Ordered:
            return {false, true, true};
        case Kind::Image:
            return {true, false, true};
        default:
            return {false, false, true};
    }
}

QString listInputProblem(const ListOptions& o)
{
    // The combo box takes typed text; a kind it does not list builds no list,
    // and inserting nothing would only delete the selection.
    if (kindOf(o.kind).kind == Kind::Unknown)
        return QStringLiteral("マークには一覧にある種類を選んでください。");
    const std::optional<double> count = typedNumber(o.count);
    if (!count)
        return QStringLiteral("項目数には数値を入力してください。");
    if (*count > kMaxListItems)
        return QStringLiteral("項目数は %1 以下にしてください。").arg(kMaxListItems);
    if (kindOf(o.kind).kind == Kind::Ordered && !typedNumber(o.start))
        return QStringLiteral("開始番号には数値を入力してください。");
    return QString();
}

QString BuildList(const ListOptions& o)
{
    const KindInfo k = kindOf(o.kind);
    if (!listInputProblem(o).isEmpty())
        return QString();
    const QString CRLF = QStringLiteral("\r\n");
    // The items run for i = 1, 2, ... while i <= count.
    const int items = int(loopCount(*typedNumber(o.count)));

    QString open;
    QString item = QStringLiteral(" <LI></LI>") + CRLF;
    QString close;
    switch (k.kind) {
        case Kind::Plain:
            open = QStringLiteral("<UL>");
            close = QStringLiteral("</UL>");
            break;
        case Kind::Circle:
            open = QStringLiteral("<UL type=\"circle\">");
            close = QStringLiteral("</UL>");
            break;
        case Kind::Square:
            // All items on one line; the break comes only before the closing tag.
            open = QStringLiteral("<UL type=\"square\">");
            item = QStringLiteral(" <LI></LI>");
            close = CRLF + QStringLiteral("</UL>");
            break;
        case Kind::Disc:
            open = QStringLiteral("<UL type=\"disc\">");
            close = QStringLiteral("</UL>");
            break;
        case Kind::Ordered:
            open = QStringLiteral("<OL type=\"") + k.type + QLatin1Char('"');
            if (*typedNumber(o.start) != 1)
                open += QStringLiteral(" start=\"") + o.start + QLatin1Char('"');
            open += QLatin1Char('>');
            close = QStringLiteral("</OL>");
            break;
        case Kind::Image:
            open = QStringLiteral("<UL style=\"list-style-image:url(") + o.picture + QStringLiteral(");\">");
            close = QStringLiteral("</UL>");
            break;
        case Kind::Definition:
            open = QStringLiteral("<DL>");
            item = QStringLiteral(" <DT>") + CRLF + QStringLiteral("  <DD>") + CRLF;
            close = QStringLiteral("</DL>");
            break;
        case Kind::Unknown:
            return QString();
    }
    QString s;
    s.reserve(open.size() + 2 + qsizetype(items) * item.size() + close.size());
    s += open + CRLF;
    for (int i = 0; i < items; ++i)
        s += item;
    s += close;
    return s;
}

}  // namespace tw
