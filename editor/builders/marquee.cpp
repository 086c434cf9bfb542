#include "editor/builders/marquee.h"

#include "editor/builders/builderfields.h"

namespace tw {

const QStringList& marqueeColourNames()
{
    static const QStringList names = [] {
        QStringList n = skeletonColourNames();
        n.removeOne(QStringLiteral("black"));
        return n;
    }();
    return names;
}

const QStringList& marqueeMotionNames()
{
    static const QStringList names = {QStringLiteral("スクロール"), QStringLiteral("往復"), QStringLiteral("端で停止")};
    return names;
}

const QStringList& marqueeDirectionNames()
{
    static const QStringList names = {QStringLiteral("左から右"), QStringLiteral("右から左"),
                                      QStringLiteral("上から下"), QStringLiteral("下から上")};
    return names;
}

QString BuildMarquee(const MarqueeOptions& o)
{
    // Blanks around "=" for height, width, behavior and direction only.
    const auto spaced = [](const char* name, const QString& value) {
        return QLatin1Char(' ') + QLatin1String(name) + QStringLiteral(" = \"") + value + QLatin1Char('"');
    };
    QString s = QStringLiteral("<MARQUEE");
    if (o.bgColor != colourNotSet())
        s += QStringLiteral(" bgColor=") + o.bgColor;
    if (o.setHeight)
        s += spaced("height", sizeWithUnit(o.height, o.heightUnit));
    if (o.setWidth)
        s += spaced("width", sizeWithUnit(o.width, o.widthUnit));
    const QStringList& motions = marqueeMotionNames();
    if (o.motion == motions[1])
        s += spaced("behavior", QStringLiteral("alternate"));
    else if (o.motion == motions[2])
        s += spaced("behavior", QStringLiteral("slide"));
    const QStringList& directions = marqueeDirectionNames();
    if (o.direction == directions[0])
        s += spaced("direction", QStringLiteral("right"));
    else if (o.direction == directions[2])
        s += spaced("direction", QStringLiteral("down"));
    else if (o.direction == directions[3])
        s += spaced("direction", QStringLiteral("up"));
    if (o.scrollStep != QLatin1String("6"))
        s += QStringLiteral(" scrollAmount=\"") + o.scrollStep + QLatin1Char('"');
    return s + QLatin1Char('>') + o.text + QStringLiteral("</MARQUEE>");
}

}  // namespace tw
