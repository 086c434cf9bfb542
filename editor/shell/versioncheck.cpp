#include "editor/shell/versioncheck.h"

#include "common/appfolder.h"
#include "common/profilefile.h"
#include "common/textcodec.h"

#include <QFile>

namespace tw {

namespace {
const QString kMarker = QStringLiteral("QUILLET_VERSION=\"");
const QString kTitle = QStringLiteral("最新版の確認");
}  // namespace

QString programVersion()
{
    return QStringLiteral(TW_VERSION);
}

WebPages defaultWebPages()
{
    return {QStringLiteral("https://tagwright.example.org/quillet/version.html"),
            QStringLiteral("https://tagwright.example.org/quillet/"), QStringLiteral("https://tagwright.example.org/")};
}

WebPages readWebPages(const QString& settingsFile)
{
    WebPages pages = defaultWebPages();
    const ProfileFile ini(settingsFile);
    const QString section = QStringLiteral("Web");
    for (auto [key, field] :
         {std::pair{"VersionPage", &WebPages::versionPage}, std::pair{"SoftwarePage", &WebPages::softwarePage},
          std::pair{"TopPage", &WebPages::topPage}}) {
        const QString v = ini.readString(section, QString::fromLatin1(key), QString()).trimmed();
        if (!v.isEmpty())
            pages.*field = v;
    }
    return pages;
}

void openMakerPage(const Platform& platform, const QString& url)
{
    const Result opened = platform.launcher->openWithDesktop(url);
    if (!opened)
        platform.messages->show(opened.reason(), QStringLiteral("Quillet"), MsgIcon::Warning, MsgButtons::Ok);
}

std::optional<QString> publishedVersion(const QByteArray& page)
{
    // The page joined again with CR LF before every line, as it was read.
    const QString text = decodeText(page, detectDocumentEncoding(page));
    QString joined;
    int lines = 0;
    qsizetype from = 0;
    while (from < text.size()) {
        if (++lines >= kVersionPageLineLimit)
            return std::nullopt;
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(from, end - from);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        joined += QLatin1String("\r\n");
        joined += line;
        from = end + 1;
    }
    // Without the marker a page is not a version page at all (an error
    // page, a moved site): it says nothing about a new version.
    const qsizetype marker = joined.indexOf(kMarker);
    if (marker < 0)
        return std::nullopt;
    const qsizetype start = marker + kMarker.size();
    const qsizetype quote = joined.indexOf(QLatin1Char('"'), start);
    if (quote < 0)
        return std::nullopt;
    return joined.mid(start, quote - start);
}

QString versionCheckFile(const QString& appFolder)
{
    return joinPath(appFolder, QStringLiteral("verchk.html"));
}

DownloadRequest versionPageRequest(const QString& url, const QString& appFolder)
{
    // A slow server must not hold the editor up for long.
    return {.url = url,
            .target = versionCheckFile(appFolder),
            .connectTimeoutMs = 3000,
            .totalTimeoutMs = 6000,
            .maxBytes = 1 << 20};
}

void VersionCheck::CheckForNewVersion(std::int16_t ShowIfCurrent)
{
    // Window events run during the download; a second request meanwhile
    // (the menu again) is the same check.
    if (m_running || !m_platform.downloader)
        return;
    m_running = true;
    const QString file = versionCheckFile(m_appFolder);
    // A file left by an earlier run must not stand in for a failed download.
    QFile::remove(file);
    const DownloadResult fetched =
        m_platform.downloader->download(versionPageRequest(m_pages.versionPage, m_appFolder));
    QByteArray page;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) {
        page = f.readAll();
        f.close();
    }
    QFile::remove(file);
    m_running = false;
    if (!m_platform.messages)
        return;

    const std::optional<QString> published = fetched.ok ? publishedVersion(page) : std::nullopt;
    if (!published) {
        // The user who asked from the menu is told; the check at start stays quiet.
        if (ShowIfCurrent == 1) {
            const QString why = fetched.ok ? QStringLiteral("バージョンの情報が見つかりませんでした。") : fetched.error;
            m_platform.messages->show(QStringLiteral("最新版の情報を確認できませんでした。\r\n") + why, kTitle,
                                      MsgIcon::Warning, MsgButtons::Ok);
        }
        return;
    }
    if (*published != programVersion()) {
        const MsgResult r = m_platform.messages->show(
            QStringLiteral("最新バージョンが見つかりました。\r\nソフトのページを確認しますか？"), kTitle,
            MsgIcon::Information, MsgButtons::YesNo);
        if (r == MsgResult::Yes && m_platform.launcher)
            openMakerPage(m_platform, m_pages.softwarePage);
    } else if (ShowIfCurrent == 1) {
        m_platform.messages->show(QStringLiteral("このソフトは現在最新版です"), kTitle, MsgIcon::Information,
                                  MsgButtons::Ok);
    }
}

}  // namespace tw
