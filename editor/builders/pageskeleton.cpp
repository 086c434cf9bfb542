#include "editor/builders/pageskeleton.h"

namespace tw {

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString frameSet(int kind)
{
    const QString textA = QStringLiteral("  <P>このページの閲覧には、フレームの表示に対応したブラウザが必要です。</P>");
    const QString textB = textA.mid(1);
    auto frame = [](const char* indent, int n) {
        return QString::fromLatin1(indent) + QStringLiteral("<FRAME src=\"page%1.htm\">").arg(n) + CRLF;
    };
    auto noFrames = [](const QString& text) {
        return QStringLiteral(" <NOFRAMES>") + CRLF + QStringLiteral(" <BODY>") + CRLF + text + CRLF
               + QStringLiteral(" </BODY>") + CRLF + QStringLiteral(" </NOFRAMES>") + CRLF
               + QStringLiteral("</FRAMESET>");
    };
    auto open = [](const char* indent, const char* attr, const char* split) {
        return QString::fromLatin1(indent) + QStringLiteral("<FRAMESET ") + QLatin1String(attr) + QLatin1Char('=')
               + quoted(QLatin1String(split)) + QLatin1Char('>') + CRLF;
    };
    switch (kind) {
        case 0:
            return open("", "cols", "50%,50%") + frame(" ", 1) + frame(" ", 2) + noFrames(textA);
        case 1:
            return open("", "rows", "50%,50%") + frame(" ", 1) + frame(" ", 2) + noFrames(textA);
        case 2:
            return open("", "cols", "33%,*,33%") + frame(" ", 1) + frame(" ", 2) + frame(" ", 3) + noFrames(textB);
        case 3:
            return open("", "rows", "30%,*,30%") + frame(" ", 1) + frame(" ", 2) + frame(" ", 3) + noFrames(textB);
        case 4:
        case 5: {
            const bool rowsFirst = kind == 4;
            return open("", rowsFirst ? "rows" : "cols", "100,*") + frame(" ", 1)
                   + open(" ", rowsFirst ? "cols" : "rows", "100,*") + frame("  ", 2) + frame("  ", 3)
                   + QStringLiteral(" </FRAMESET>") + CRLF + noFrames(textB);
        }
        default:
            return QString();
    }
}
}  // namespace

QString colourNotSet()
{
    return QStringLiteral("なし");
}

const QStringList& skeletonColourNames()
{
    static const QStringList names = {
        colourNotSet(),           QStringLiteral("red"),     QStringLiteral("blue"),  QStringLiteral("skyblue"),
        QStringLiteral("green"),  QStringLiteral("black"),   QStringLiteral("pink"),  QStringLiteral("yellow"),
        QStringLiteral("aqua"),   QStringLiteral("fuchsia"), QStringLiteral("gray"),  QStringLiteral("lime"),
        QStringLiteral("maroon"), QStringLiteral("navy"),    QStringLiteral("olive"), QStringLiteral("purple"),
        QStringLiteral("silver"), QStringLiteral("teal"),
    };
    return names;
}

QString BuildPageSkeleton(const PageSkeletonOptions& o)
{
    const QString none = colourNotSet();
    const bool hover = o.pointColor != none;
    QString s = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">") + CRLF
                + QStringLiteral("<HTML>") + CRLF + QStringLiteral("<HEAD>") + CRLF
                + QStringLiteral("<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">") + CRLF
                + QStringLiteral("<TITLE>") + o.title + QStringLiteral("</TITLE>") + CRLF;
    if (!o.css.isEmpty())
        s += QStringLiteral("<link rel=\"stylesheet\" href=") + quoted(o.css) + QLatin1Char('>') + CRLF;
    if (!o.searchWords.isEmpty())
        s += QStringLiteral("<META HTTP-EQUIV=\"keyword\" CONTENT=") + quoted(o.searchWords) + QLatin1Char('>') + CRLF;
    if (hover)
        s += QStringLiteral("<META HTTP-EQUIV=\"content-style-type\" CONTENT=\"text/css\">") + CRLF;
    const std::pair<const char*, const QString*> metas[] = {{"description", &o.pageIntroduce},
                                                            {"author", &o.pageMaker},
                                                            {"copyright", &o.tyosakuInfo},
                                                            {"reply-to", &o.mailAddress}};
    for (const auto& [name, value] : metas) {
        if (!value->isEmpty())
            s += QStringLiteral("<META NAME=") + quoted(QLatin1String(name)) + QStringLiteral(" CONTENT=")
                 + quoted(*value) + QLatin1Char('>') + CRLF;
    }
    if (hover) {
        s += QStringLiteral("<STYLE TYPE=\"text/css\">") + CRLF + QStringLiteral("<!--") + CRLF
             + QStringLiteral("A:hover { color: ") + o.pointColor + QStringLiteral(" }") + CRLF + QStringLiteral("-->")
             + CRLF + QStringLiteral("</STYLE>") + CRLF;
    }
    s += QStringLiteral("</head>") + CRLF;
    if (!o.frame) {
        s += QStringLiteral("<body");
        const std::pair<const char*, QString> attrs[] = {
            {" bgcolor=", o.bgColor != none ? o.bgColor : QString()},
            {" text=", o.textColor != none ? o.textColor : QString()},
            {" background=", o.backPic},
            {" LINK=", o.linkColor != none ? o.linkColor : QString()},
            {" ALINK=", o.clickColor != none ? o.clickColor : QString()},
            {" VLINK=", o.linkZumiColor != none ? o.linkZumiColor : QString()},
        };
        // A colour erased to nothing is still written (only "なし" is unset),
        // the background only when there is one.
        const bool set[] = {o.bgColor != none,   o.textColor != none,  !o.backPic.isEmpty(),
                            o.linkColor != none, o.clickColor != none, o.linkZumiColor != none};
        for (int i = 0; i < 6; ++i) {
            if (set[i])
                s += QLatin1String(attrs[i].first) + quoted(attrs[i].second);
        }
        s += QLatin1Char('>') + CRLF + CRLF + QStringLiteral("</BODY>");
    } else {
        s += frameSet(o.frameKind);
    }
    s += CRLF + QStringLiteral("</HTML>");
    return s;
}

}  // namespace tw
