#include "editor/session/shippedfiles.h"

#include "common/appfolder.h"
#include "common/textfile.h"
#include "editor/builders/scriptlibrary.h"
#include "editor/settings/headerfooter.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetstore.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace tw {

ShippedFilesResult installShippedSettingFiles(const QString& appFolder)
{
    ShippedFilesResult r;
    const QString folder = settingsFolder(appFolder);
    if (!QDir().mkpath(folder)) {
        r.error = QStringLiteral("フォルダを作成できませんでした: %1").arg(QDir::toNativeSeparators(folder));
        return r;
    }
    // Each missing file is written; the first failure stops the rest.
    const auto install = [&r](const QString& path, const std::function<WriteResult(const QString&)>& write) {
        if (QFileInfo::exists(path))
            return true;
        const WriteResult w = write(path);
        if (!w.ok) {
            r.error = w.error;
            return false;
        }
        r.written << path;
        return true;
    };
    const auto framing = [](const QString& text) {
        return [text](const QString& path) {
            WriteResult w;
            const Result saved = saveHeaderFooterFile(path, text);
            w.ok = saved.ok();
            w.error = saved.reason();
            return w;
        };
    };
    if (!install(headerPath(appFolder), framing(defaultHeaderText()))
        || !install(footerPath(appFolder), framing(defaultFooterText()))
        || !install(snippetFilePath(appFolder), [](const QString& p) { return SaveSnippetFile(defaultSnippets(), p); }))
        return r;
    install(scriptLibraryPath(appFolder),
            [](const QString& p) { return writeTextFile(p, defaultScriptLibraryText()); });
    return r;
}

}  // namespace tw
