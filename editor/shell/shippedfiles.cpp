#include "editor/shell/shippedfiles.h"

#include "common/appfolder.h"
#include "editor/shell/headerfooter.h"
#include "editor/snippets/snippetfile.h"
#include "editor/snippets/snippetstore.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

ShippedFilesResult installShippedSettingFiles(const QString& appFolder)
{
    ShippedFilesResult r;
    const QString folder = settingsFolder(appFolder);
    if (!QDir().mkpath(folder)) {
        r.error = QStringLiteral("フォルダを作成できませんでした: %1").arg(QDir::toNativeSeparators(folder));
        return r;
    }
    const QString header = headerPath(appFolder);
    if (!QFileInfo::exists(header)) {
        if (!saveHeaderFooterFile(header, defaultHeaderText(), &r.error))
            return r;
        r.written << header;
    }
    const QString footer = footerPath(appFolder);
    if (!QFileInfo::exists(footer)) {
        if (!saveHeaderFooterFile(footer, defaultFooterText(), &r.error))
            return r;
        r.written << footer;
    }
    const QString snippets = snippetFilePath(appFolder);
    if (!QFileInfo::exists(snippets)) {
        const WriteResult w = SaveSnippetFile(defaultSnippets(), snippets);
        if (!w.ok) {
            r.error = w.error;
            return r;
        }
        r.written << snippets;
    }
    return r;
}

}  // namespace tw
