#include "editor/settings/headerfooter.h"

#include "common/appfolder.h"
#include "editor/settings/editorsettings.h"
#include "common/textfile.h"

#include <QFileInfo>

namespace tw {

namespace {
QString loadFramingText(const QString& path, const QString& def)
{
    if (!QFileInfo::exists(path))
        return def;
    ReadResult r = readTextFile(path, TextKind::Data);
    if (!r.ok)
        return def;
    if (r.text.endsWith(QStringLiteral("\r\n")))
        r.text.chop(2);
    return r.text;
}
}  // namespace

QString defaultHeaderText()
{
    return QStringLiteral(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
        "<HTML lang=\"ja\">\r\n"
        "<HEAD>\r\n"
        "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=SHIFT_JIS\">\r\n"
        "<TITLE>タイトル</TITLE>\r\n"
        "</HEAD>\r\n"
        "<BODY>");
}

QString defaultFooterText()
{
    return QStringLiteral("</BODY>\r\n</HTML>");
}

QString headerPath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("Header.txt"));
}

QString footerPath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("Futter.txt"));
}

QString loadHeaderText(const QString& appFolder)
{
    return loadFramingText(headerPath(appFolder), defaultHeaderText());
}

QString loadFooterText(const QString& appFolder)
{
    return loadFramingText(footerPath(appFolder), defaultFooterText());
}

Result saveHeaderFooterFile(const QString& path, const QString& text)
{
    const WriteResult w = writeTextFile(path, normaliseLineBreaks(text) + QStringLiteral("\r\n"));
    return w.ok ? Result::success() : Result::failure(w.error);
}

QString newDocumentText(const QString& header, const QString& footer)
{
    return header + QStringLiteral("\r\n\r\n") + footer;
}

}  // namespace tw
