#pragma once
// The texts that frame every new document, kept in Header.txt and Futter.txt
// in the settings folder.

#include <QString>
#include "common/result.h"

namespace tw {

QString defaultHeaderText();
QString defaultFooterText();
QString headerPath(const QString& appFolder);
QString footerPath(const QString& appFolder);

// The file's text without its final CR LF, or the default when the file does
// not exist. An empty file is an empty text.
QString loadHeaderText(const QString& appFolder);
QString loadFooterText(const QString& appFolder);

// Creates or replaces the file with the text followed by CR LF, in CP932;
// any line break in the text is written as CR LF. False with a Japanese
// message naming the file when it cannot be written.
Result saveHeaderFooterFile(const QString& path, const QString& text);

// header + CR LF + CR LF + footer.
QString newDocumentText(const QString& header, const QString& footer);

}  // namespace tw
