#pragma once
// The application folder: the folder of the running program, without a
// trailing separator. Every file of the suite is found below it.

#include <QString>

namespace tw {

QString appFolder();
// Tests run the programs in a temporary application folder.
void setAppFolder(const QString& folder);

// Folder + "/" + relative part, without doubling a separator.
QString joinPath(const QString& folder, const QString& name);
// app + /tools/Setting: every program's settings files.
QString settingsFolder(const QString& appFolder);

}  // namespace tw
