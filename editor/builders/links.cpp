#include "editor/builders/links.h"

#include "common/appfolder.h"
#include "common/paths.h"

namespace tw {

namespace {
QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}
}  // namespace

QString BuildLinkBarText(LinkBarButton button, const QString& name, const QString& selected)
{
    switch (button) {
        case LinkBarButton::Link:
            return QStringLiteral("<A href=") + quoted(name) + QLatin1Char('>') + selected + QStringLiteral("</A>");
        case LinkBarButton::Anchor:
            return QStringLiteral("<A name=") + quoted(name) + QLatin1Char('>') + selected + QStringLiteral("</a>");
        case LinkBarButton::Mail:
            return QStringLiteral("<A href=") + quoted(QStringLiteral("mailto:") + name) + QLatin1Char('>') + selected
                   + QStringLiteral("</A>");
        case LinkBarButton::Picture:
            return QStringLiteral("<IMG src=") + quoted(name) + QLatin1Char('>');
        case LinkBarButton::Throw:
            return name;
    }
    return QString();
}

const QStringList& linkTargetNames()
{
    static const QStringList names = {QStringLiteral("通常"), QStringLiteral("新しいウインドウ"),
                                      QStringLiteral("同一ウインドウ"), QStringLiteral("親ウインドウ"),
                                      QStringLiteral("全画面")};
    return names;
}

QString linkTargetPart(const QString& target)
{
    static const char* const values[] = {"", "_blank", "_self", "_parent", "_top"};
    const qsizetype i = linkTargetNames().indexOf(target);
    if (i == 0)
        return QString();
    return QStringLiteral(" target=") + quoted(i < 0 ? QString() : QLatin1String(values[i]));
}

QString BuildLink(const LinkOptions& o)
{
    QString open;
    switch (o.tab) {
        case 0:
            open = QStringLiteral("<A href=") + quoted(o.file) + linkTargetPart(o.fileTarget);
            break;
        case 1: {
            QString href = QStringLiteral("mailto:") + o.address;
            if (!o.subject.isEmpty())
                href += QStringLiteral("?Subject=") + o.subject;
            open = QStringLiteral("<A href=") + quoted(href);
            break;
        }
        case 2:
            open = QStringLiteral("<A href=") + quoted(QLatin1Char('#') + o.label) + linkTargetPart(o.labelTarget);
            break;
        default:
            return QString();
    }
    return open + QLatin1Char('>') + o.selected + QStringLiteral("</A>");
}

QString chooseLinkFile(FileDialogs& files, const QString& panelFolder, bool relativePaths)
{
    FileDialogRequest req;
    req.title = QStringLiteral("ファイルを選択");
    req.filter = QStringLiteral("HTML＆画像ファイル(*.html;*.htm;*.txt;*.gif;*.jpg)|*.html;*.htm;*.txt;*.gif;*.jpg");
    req.initialPath = joinPath(panelFolder, QString());
    const QString path = files.run(req);
    if (path.isEmpty() || !relativePaths)
        return path;
    return MakeRelativePath(panelFolder, path);
}

}  // namespace tw
