#include "editor/builders/scriptlibrary.h"

#include "common/appfolder.h"
#include "common/textfile.h"

#include <QFile>

namespace tw {

QString scriptLibraryPath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("javascript.csv"));
}

QList<ScriptFragment> parseScriptLibrary(const QString& text)
{
    QList<ScriptFragment> fragments;
    const QString separator = QStringLiteral(",,");
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = text.indexOf(QStringLiteral("\r\n"), at);
        if (end < 0)
            end = text.size();
        if (end == at)
            break;  // the first empty line ends the library
        const QStringView line = QStringView(text).mid(at, end - at);
        at = end + 2;
        const qsizetype split = line.indexOf(separator);
        ScriptFragment f;
        f.name = (split < 0 ? line : line.left(split)).toString();
        if (split >= 0) {
            const QStringView rest = line.mid(split + separator.size());
            const qsizetype next = rest.indexOf(separator);
            f.content = (next < 0 ? rest : rest.left(next)).toString();
        }
        // A blank name gives a row nobody could see or choose.
        if (!f.name.trimmed().isEmpty())
            fragments.append(f);
    }
    return fragments;
}

QList<ScriptFragment> LoadScriptLibrary(const QString& path)
{
    if (!QFile::exists(path))
        return {};
    const ReadResult read = readTextFile(path, TextKind::Data);
    return read.ok ? parseScriptLibrary(read.text) : QList<ScriptFragment>{};
}

QString expandScriptContent(const QString& content)
{
    QString s = content;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    s.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    return s;
}

QString defaultScriptLibraryText()
{
    QFile f(QStringLiteral(":/javascript.csv"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return normaliseLineBreaks(QString::fromUtf8(f.readAll()));
}

}  // namespace tw
