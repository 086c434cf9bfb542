#include "common/download.h"

#include "common/textfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <curl/curl.h>

namespace tw {

namespace {
struct Transfer {
    QByteArray body;
    qint64 maxBytes = 0;
    bool tooLarge = false;
    QElapsedTimer sincePump;
};

size_t onData(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->body.size() + qint64(n) > t->maxBytes) {
        t->tooLarge = true;
        return 0;  // stops the transfer
    }
    t->body.append(data, qsizetype(n));
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    // The window stays alive while the server is slow.
    auto* t = static_cast<Transfer*>(user);
    if (t->sincePump.elapsed() >= 40) {
        QCoreApplication::processEvents();
        t->sincePump.restart();
    }
    return 0;
}
}  // namespace

DownloadResult CurlDownloader::download(const DownloadRequest& request)
{
    DownloadResult r;
    const QByteArray url = request.url.toUtf8();
    if (!url.startsWith("http://") && !url.startsWith("https://")) {
        r.error = QStringLiteral("アドレスが正しくありません: %1").arg(request.url);
        return r;
    }
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    CURL* curl = initialised ? curl_easy_init() : nullptr;
    if (!curl) {
        r.error = QStringLiteral("通信の準備ができませんでした。");
        return r;
    }
    Transfer t;
    t.maxBytes = request.maxBytes;
    t.sincePump.start();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(request.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(request.totalTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &r.status);
    curl_easy_cleanup(curl);

    if (t.tooLarge) {
        r.error = QStringLiteral("ダウンロードしたデータが大きすぎます。");
        return r;
    }
    if (code == CURLE_OPERATION_TIMEDOUT) {
        r.error = QStringLiteral("サーバーが時間内に応答しませんでした。");
        return r;
    }
    if (code != CURLE_OK) {
        r.error =
            QStringLiteral("サーバーに接続できませんでした（%1）。").arg(QString::fromUtf8(curl_easy_strerror(code)));
        return r;
    }
    if (r.status < 200 || r.status >= 300) {
        r.error = QStringLiteral("サーバーがエラーを返しました（HTTP %1）。").arg(r.status);
        return r;
    }
    const WriteResult w = writeFileAtomic(request.target, t.body);
    if (!w.ok) {
        r.error = w.error;
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace tw
