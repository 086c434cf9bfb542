#pragma once
// The check for a newer version: the version page is downloaded into the
// application folder, scanned for its marker and compared with the
// program's own version.

#include "common/platform.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tw {

// major.minor.revision as the build defines it.
QString programVersion();

// The maker's pages. An installation may name its own in quillet.ini,
// section "Web" (VersionPage, SoftwarePage, TopPage); the editor never
// writes that section.
struct WebPages {
    QString versionPage;
    QString softwarePage;  // opened after a newer version was found
    QString topPage;       // the maker's top page
};
WebPages defaultWebPages();
WebPages readWebPages(const QString& settingsFile);
// Opens one of them in the desktop's browser; a failure is told.
void openMakerPage(const Platform& platform, const QString& url);

// A page of this many lines or more is never compared.
inline constexpr int kVersionPageLineLimit = 100;

// The version a downloaded page publishes: the text between the marker
// QUILLET_VERSION=" and the next double quote. Nothing for a page of 100
// lines or more, without the marker, or without the closing quote.
std::optional<QString> publishedVersion(const QByteArray& page);

// The download of one check.
QString versionCheckFile(const QString& appFolder);  // app + /verchk.html
DownloadRequest versionPageRequest(const QString& url, const QString& appFolder);

class VersionCheck {
public:
    VersionCheck(const Platform& platform, const QString& appFolder, const WebPages& pages)
        : m_platform(platform),
          m_appFolder(appFolder),
          m_pages(pages)
    {
    }
    void setPages(const WebPages& pages) { m_pages = pages; }
    const WebPages& pages() const { return m_pages; }

    // ShowIfCurrent 1 also says that the program is current, and why no
    // version could be found (a failed download, a page without one);
    // otherwise only a differing version is reported. A check already
    // running ends without a message.
    void CheckForNewVersion(std::int16_t ShowIfCurrent);
    bool running() const { return m_running; }

private:
    Platform m_platform;
    QString m_appFolder;
    WebPages m_pages;
    bool m_running = false;
};

}  // namespace tw
