#pragma once
// The texts that frame every new document, kept in Header.txt and Futter.txt
// in the settings folder.

#include <QString>

namespace tw {

QString defaultHeaderText();
QString defaultFooterText();
QString headerPath(const QString& appFolder);
QString footerPath(const QString& appFolder);

// The file's text without its final CR LF, or the default when the file does
// not exist. An empty file is an empty text.
QString loadHeaderText(const QString& appFolder);
QString loadFooterText(const QString& appFolder);

// header + CR LF + CR LF + footer.
QString newDocumentText(const QString& header, const QString& footer);

}  // namespace tw
