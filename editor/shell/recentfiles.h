#pragma once
// The documents opened or saved last, newest first, for ファイル →
// 最近使ったファイル. Kept in recent.txt beside quillet.ini as UTF-8, one full
// path a line, so a path with any character survives.

#include <QString>
#include "common/result.h"
#include <QStringList>

namespace tw {

class CommandRegistry;
class Document;
class EditorWindow;
struct Platform;

class RecentFiles {
public:
    static constexpr int kMax = 10;

    // Reads the list; a missing or damaged file gives an empty one.
    void load(const QString& path);
    const QStringList& paths() const { return m_paths; }

    // path moves to the top (added when new); the oldest beyond kMax goes.
    // Written at once; false with a message when the file cannot be written.
    Result add(const QString& path);
    Result remove(const QString& path);

private:
    Result save() const;

    QString m_file;
    QStringList m_paths;
};

QString recentFilesPath(const QString& appFolder);  // app + /tools/Setting/recent.txt

// The entry ids of the File menu's list, IDM_RECENT1 to IDM_RECENT10, and
// their captions ("&1 /path/page.html").
QString recentCommandId(int index);
QString recentCaption(int index, const QString& path);

// Opens the list's entry index: a file that is gone leaves the list with a
// message; otherwise Save_Check first, as 開く does.
void openRecentFile(RecentFiles& recent, int index, Document& document, const Platform& platform, EditorWindow& window);
void registerRecentCommands(CommandRegistry& registry, RecentFiles& recent, Document& document,
                            const Platform& platform, EditorWindow& window);

}  // namespace tw
