#pragma once
// The settings files an installation ships with: the framing texts and the
// snippet file, exactly as the editor itself would write them, and the
// script library.

#include <QString>
#include <QStringList>

namespace tw {

struct ShippedFilesResult {
    QStringList written;  // files that were missing and are there now
    QString error;        // Japanese, naming the file, when one could not be written
};

// Creates app/tools/Setting and writes each default file that is missing.
// Files already there (the user's own) are never touched.
ShippedFilesResult installShippedSettingFiles(const QString& appFolder);

}  // namespace tw
