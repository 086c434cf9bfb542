#pragma once
// The script library javascript.csv: one fragment a line, its name, ",,"
// and its content, in which backslash-n stands for a line break and
// backslash-t for a tab. The editor only reads it; the user edits it.

#include <QList>
#include <QString>

namespace tw {

struct ScriptFragment {
    QString name;
    QString content;  // as stored, escapes not yet expanded
};

// app + /tools/Setting/javascript.csv
QString scriptLibraryPath(const QString& appFolder);

// The fragments of the file's text (CR LF breaks), up to its first empty
// line. A line without ",," is a name without content; fields after the
// second are ignored; a line whose name is blank is skipped.
QList<ScriptFragment> parseScriptLibrary(const QString& text);
// The file's fragments; a missing or unreadable file gives none.
QList<ScriptFragment> LoadScriptLibrary(const QString& path);

// The content as inserted: backslash-n becomes CR LF, then backslash-t a tab.
QString expandScriptContent(const QString& content);

// The library shipped with the program, CR LF breaks.
QString defaultScriptLibraryText();

}  // namespace tw
