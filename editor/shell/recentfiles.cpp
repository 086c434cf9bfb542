#include "editor/shell/recentfiles.h"
#include "editor/commands/commandids.h"

#include "common/appfolder.h"
#include "common/platform.h"
#include "common/textfile.h"
#include "editor/commands/commandregistry.h"
#include "editor/commands/editorwindow.h"
#include "editor/document/document.h"

#include <QFile>
#include <QFileInfo>

namespace tw {

QString recentFilesPath(const QString& appFolder)
{
    return joinPath(settingsFolder(appFolder), QStringLiteral("recent.txt"));
}

void RecentFiles::load(const QString& path)
{
    m_file = path;
    m_paths.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    for (const QString& line : QString::fromUtf8(f.read(1 << 20)).split(QLatin1Char('\n'))) {
        const QString p = line.trimmed();
        if (!p.isEmpty() && !m_paths.contains(p) && m_paths.size() < kMax)
            m_paths << p;
    }
}

Result RecentFiles::add(const QString& path)
{
    if (!m_paths.isEmpty() && m_paths.front() == path)
        return Result::success();
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > kMax)
        m_paths.removeLast();
    return save();
}

Result RecentFiles::remove(const QString& path)
{
    return m_paths.removeAll(path) == 0 ? Result::success() : save();
}

Result RecentFiles::save() const
{
    if (m_file.isEmpty())
        return Result::success();
    QByteArray data;
    for (const QString& p : m_paths)
        data += p.toUtf8() + '\n';
    const WriteResult r = writeFileAtomic(m_file, data);
    return r.ok ? Result::success() : Result::failure(r.error);
}

QString recentCommandId(int index)
{
    return QStringLiteral("IDM_RECENT%1").arg(index + 1);
}

QString recentCaption(int index, const QString& path)
{
    const QString key = index < 9 ? QStringLiteral("&%1").arg(index + 1) : QStringLiteral("1&0");
    return key + QLatin1Char(' ') + QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void openRecentFile(RecentFiles& recent, int index, Document& document, const Platform& platform, EditorWindow& window)
{
    if (index < 0 || index >= recent.paths().size())
        return;
    const QString path = recent.paths()[index];
    if (!QFileInfo(path).isFile()) {
        const Result removed = recent.remove(path);
        window.recentFilesChanged();
        // The list in memory lost the entry even when the file could not be written.
        platform.messages->show(
            QStringLiteral("ファイルが見つかりません。最近使ったファイルの一覧から外しました。\n") + path
                + (removed ? QString() : QStringLiteral("\n") + removed.reason()),
            QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    if (document.Save_Check())
        document.openPath(path);
}

void registerRecentCommands(CommandRegistry& r, RecentFiles& recent, Document& document, const Platform& platform,
                            EditorWindow& window)
{
    for (int i = 0; i < RecentFiles::kMax; ++i) {
        r.add({.id = recentCommandId(i),
               .caption = recentCaption(i, QString()),
               .run = [&recent, &document, &platform, &window, i] {
                   openRecentFile(recent, i, document, platform, window);
               }});
    }
    r.add({.id = QString::fromLatin1(cmd::IDM_RECENT_NONE),
           .caption = QStringLiteral("（なし）"),
           .run = [] {},
           .enabled = [] { return false; }});
}

}  // namespace tw
