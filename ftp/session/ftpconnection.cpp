#include "ftp/session/ftpconnection.h"

#include "ftp/session/progress.h"
#include "common/paths.h"
#include "common/textcodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTimeZone>
#include <QScopeGuard>

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <QSet>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <functional>
#include <mutex>

namespace tw {

namespace {

// A listing larger than this is not a listing but an attack on our memory.
constexpr qsizetype kMaxListingBytes = 64 * 1024 * 1024;
constexpr int kPumpIntervalMs = 40;

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool hasBreakOrNul(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    }
    return false;
}

// A name as bytes on the wire: UTF-8 when the server announced it, else
// CP932. CR, LF and NUL would end the command early, and a lone surrogate
// (a byte CP932 could not read) has no UTF-8 form.
EncodeResult encodeWireName(const QString& text, bool utf8)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (c == u'\r' || c == u'\n' || c == u'\0' || (utf8 && c.isSurrogate() && !pair)) {
            EncodeResult r;
            r.ok = false;
            r.badIndex = i;
            r.badChar = c;
            return r;
        }
        if (pair)
            ++i;
    }
    if (!utf8)
        return encodeCp932(text);
    EncodeResult r;
    r.bytes = text.toUtf8();
    return r;
}

bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// User names and passwords go out before the server has said anything about
// encodings: CP932 as the program always did, UTF-8 for what CP932 lacks.
QByteArray loginBytes(const QString& text)
{
    const EncodeResult r = encodeCp932(text);
    return r.ok ? r.bytes : text.toUtf8();
}

// Transfer state shared with curl's callbacks.
struct Transfer {
    QIODevice* device = nullptr;
    bool ascii = false;
    bool prevCr = false;
    bool failed = false;
    // Reading side of an ASCII upload: converted bytes not yet handed to curl.
    QByteArray pending;
    qsizetype pendingPos = 0;
    bool sourceDone = false;
    // Listing data.
    QByteArray* buffer = nullptr;
    // Progress.
    FtpProgressListener* listener = nullptr;
    bool upload = false;
    qint64 knownTotal = 0;
    qint64 lastDrawn = -1;
    QElapsedTimer sincePump;
    const std::atomic<bool>* cancelled = nullptr;
};

size_t writeToDevice(char* ptr, size_t size, size_t nmemb, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * nmemb;
    if (!t->ascii) {
        if (t->device->write(ptr, qint64(n)) != qint64(n)) {
            t->failed = true;
            return 0;
        }
        return n;
    }
    // Text is stored with CR LF, whether curl hands over the wire's CR LF or
    // has already turned it into LF.
    QByteArray out;
    out.reserve(qsizetype(n + n / 16 + 1));
    for (size_t i = 0; i < n; ++i) {
        const char c = ptr[i];
        if (c == '\n' && !t->prevCr)
            out.append('\r');
        out.append(c);
        t->prevCr = c == '\r';
    }
    if (t->device->write(out) != out.size()) {
        t->failed = true;
        return 0;
    }
    return n;
}

// A listing is collected as the server sent it (see rawListing below);
// what curl hands over here has been through its ASCII line-end conversion.
size_t countListing(char*, size_t size, size_t nmemb, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    return t->failed ? 0 : size * nmemb;
}

// An SFTP listing has no line-end conversion: it is taken as it comes.
size_t collectListing(char* ptr, size_t size, size_t nmemb, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * nmemb;
    if (t->failed || t->buffer->size() + qsizetype(n) > kMaxListingBytes) {
        t->failed = true;
        return 0;
    }
    t->buffer->append(ptr, qsizetype(n));
    return n;
}

size_t collectHeader(char* ptr, size_t size, size_t nmemb, void* user)
{
    static_cast<QByteArray*>(user)->append(ptr, qsizetype(size * nmemb));
    return size * nmemb;
}

// An argument of an SFTP quote command, quoted so that spaces and quotes
// in a name stay part of it.
QByteArray sftpArgument(const QByteArray& text)
{
    QByteArray out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

QString x509Name(X509_NAME* name)
{
    BIO* bio = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~XN_FLAG_DN_REV & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, n);
    BIO_free(bio);
    return text;
}

// Why a certificate did not verify, in words a user can act on.
QString certificateProblem(int code)
{
    switch (code) {
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return QStringLiteral("自己署名の証明書です (認証局の署名がありません)");
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return QStringLiteral("信頼された認証局の署名を確認出来ません");
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return QStringLiteral("証明書の有効期限が切れています");
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return QStringLiteral("証明書の有効期間がまだ始まっていません");
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return QStringLiteral("証明書が接続先のサーバ名のものではありません");
        default:
            return QStringLiteral("証明書を検証出来ません (%1)")
                .arg(QString::fromUtf8(X509_verify_cert_error_string(code)));
    }
}

QString asn1Time(const ASN1_TIME* time)
{
    struct tm t {};
    if (!time || ASN1_TIME_to_tm(time, &t) != 1)
        return QString();
    return QDateTime(QDate(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday), QTime(t.tm_hour, t.tm_min, t.tm_sec),
                     QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

size_t readFromDevice(char* buffer, size_t size, size_t nitems, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t room = size * nitems;
    if (!t->ascii) {
        const qint64 got = t->device->read(buffer, qint64(room));
        if (got < 0) {
            t->failed = true;
            return CURL_READFUNC_ABORT;
        }
        return size_t(got);
    }
    // Local text goes out with bare LF: curl turns every LF into CR LF on
    // the wire in ASCII mode, so a CR LF passed through would become CR CR LF.
    while (t->pending.size() - t->pendingPos < qsizetype(room) && !t->sourceDone) {
        char chunk[65536];
        const qint64 got = t->device->read(chunk, sizeof chunk);
        if (got < 0) {
            t->failed = true;
            return CURL_READFUNC_ABORT;
        }
        if (t->pendingPos > 0) {
            t->pending.remove(0, t->pendingPos);
            t->pendingPos = 0;
        }
        if (got == 0) {
            t->sourceDone = true;
            if (t->prevCr)
                t->pending.append('\r');
            t->prevCr = false;
            break;
        }
        for (qint64 i = 0; i < got; ++i) {
            const char c = chunk[i];
            // A CR waits for the next character: dropped before LF, kept otherwise.
            if (t->prevCr && c != '\n')
                t->pending.append('\r');
            t->prevCr = c == '\r';
            if (c != '\r')
                t->pending.append(c);
        }
    }
    const qsizetype give = std::min<qsizetype>(qsizetype(room), t->pending.size() - t->pendingPos);
    memcpy(buffer, t->pending.constData() + t->pendingPos, size_t(give));
    t->pendingPos += give;
    return size_t(give);
}

int onProgress(void* user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t ulnow)
{
    auto* t = static_cast<Transfer*>(user);
    if (t->cancelled && *t->cancelled)
        return 1;
    if (!t->listener)
        return 0;
    qint64 total = t->knownTotal;
    if (!t->upload && dltotal > 0)
        total = dltotal;
    const qint64 done = std::min<qint64>(t->upload ? ulnow : dlnow, total);
    const bool finished = total > 0 && done == total;
    if (!finished && t->sincePump.isValid() && t->sincePump.elapsed() < kPumpIntervalMs)
        return 0;
    // A zero-byte file draws no bar and shows no counter.
    if (total > 0 && done != t->lastDrawn) {
        t->listener->drawBar(done, total);
        t->listener->setLabel(2, formatTransferCounter(done, total));
        t->lastDrawn = done;
    }
    t->listener->pumpEvents();
    t->sincePump.restart();
    return t->cancelled && *t->cancelled ? 1 : 0;
}

}  // namespace

ServerAddress parseServerAddress(const QString& text)
{
    ServerAddress a;
    if (text.isEmpty())
        return a;
    for (const QChar c : text) {
        if (c.isSpace() || c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u'@' || c == u'?' || c == u'#')
            return a;
    }
    QString host = text;
    QString portText;
    bool hasPort = false;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 2)
            return a;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return a;
            portText = rest.mid(1);
            hasPort = true;
        }
        if (!host.contains(u':'))
            return a;
        a.ipv6 = true;
    } else {
        const qsizetype colons = text.count(u':');
        if (colons == 1) {
            const qsizetype c = text.indexOf(u':');
            host = text.left(c);
            portText = text.mid(c + 1);
            hasPort = true;
        } else if (colons > 1) {
            a.ipv6 = true;
        }
    }
    if (host.isEmpty() || host.contains(u'[') || host.contains(u']'))
        return a;
    if (hasPort) {
        if (!allDigits(portText) || portText.size() > 5)
            return a;
        const int port = portText.toInt();
        if (port < 1 || port > 65535)
            return a;
        a.port = port;
    }
    a.host = host;
    a.hasPort = hasPort;
    a.valid = true;
    return a;
}

struct FtpConnection::Impl {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    ServerAddress address;
    QByteArray user;
    QByteArray password;
    FtpOptions options;
    QByteArray baseUrl;  // "ftp://host:port/" or "sftp://host:port/"
    FtpSecurity security;
    bool sftp = false;
    // Certificates and host keys the user trusted for this session only.
    QSet<QString> trustedOnce;
    // The last certificate or host key that was refused, and the key blob.
    PeerIdentity refusedPeer;
    bool peerRefused = false;
    QByteArray refusedKeyBlob;
    char errorText[CURL_ERROR_SIZE] = {};
    X509_STORE* authorities = nullptr;
    bool utf8 = false;
    bool mlst = false;
    QString cwd = QStringLiteral("/");
    int connects = 0;
    bool busy = false;
    // Settings a server keeps per connection (OPTS); sent again on a new one.
    QList<QByteArray> setup;
    bool setupStale = false;
    bool inSetup = false;
    FtpProgressListener* listener = nullptr;
    int lastCode = 0;
    FtpError error;
    // Set by cancel() (from any thread); while held, a request waits in
    // cancelPending until the hold ends.
    std::atomic<bool> cancelled = false;
    std::mutex cancelMutex;
    int cancelHolds = 0;
    bool cancelPending = false;
    // The request moves file data (a slow one is a stall, not a lost server).
    bool inTransfer = false;
    // The transfer type curl believes the server is in: 'A', 'I', or 0 when
    // unknown (a new connection).
    char curlType = 0;
    // The bytes of a listing as they came from the server, and its transfer.
    QByteArray* rawListing = nullptr;
    Transfer* listingTransfer = nullptr;

    // Commands sent and replies received during one request.
    QList<FtpReply> transcript;
    QByteArray pendingCommand;
    FtpReply partial;
    bool inReply = false;

    ~Impl()
    {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        X509_STORE_free(authorities);
    }

    // Every TLS connection (control and data) is checked here: a
    // certificate the system's authorities (and caFile) vouch for, for this
    // host name, passes; otherwise only one the user trusted, by its SHA-256.
    static CURLcode onSslContext(CURL*, void* sslContext, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        auto* ctx = static_cast<SSL_CTX*>(sslContext);
        // The authorities are read once per session, not for every data connection.
        if (!d->authorities) {
            d->authorities = X509_STORE_new();
            X509_STORE_set_default_paths(d->authorities);
            if (!d->security.caFile.isEmpty())
                X509_STORE_load_file(d->authorities, QFile::encodeName(d->security.caFile).constData());
        }
        SSL_CTX_set1_cert_store(ctx, d->authorities);
        X509_VERIFY_PARAM* param = SSL_CTX_get0_param(ctx);
        const QByteArray host = d->address.host.toUtf8();
        const bool numeric = d->address.ipv6
                             || std::all_of(d->address.host.begin(), d->address.host.end(),
                                            [](QChar ch) { return ch == u'.' || (ch >= u'0' && ch <= u'9'); });
        if (numeric)
            X509_VERIFY_PARAM_set1_ip_asc(param, host.constData());
        else
            X509_VERIFY_PARAM_set1_host(param, host.constData(), 0);
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_cert_verify_callback(ctx, &Impl::verifyCertificate, d);
        return CURLE_OK;
    }

    static int verifyCertificate(X509_STORE_CTX* store, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        if (X509_verify_cert(store) == 1)
            return 1;
        X509* leaf = X509_STORE_CTX_get0_cert(store);
        if (!leaf)
            return 0;
        unsigned char md[EVP_MAX_MD_SIZE];
        unsigned int n = 0;
        if (X509_digest(leaf, EVP_sha256(), md, &n) != 1)
            return 0;
        const QString fingerprint =
            QString::fromLatin1(QByteArray(reinterpret_cast<char*>(md), int(n)).toHex(':').toUpper());
        const QString key = trustKey(d->address.host, d->address.port);
        const QString remembered = rememberedCertificate(d->security.trustedCertificates, key);
        if (d->trustedOnce.contains(key + u' ' + fingerprint) || remembered == fingerprint) {
            X509_STORE_CTX_set_error(store, X509_V_OK);
            return 1;
        }
        PeerIdentity& p = d->refusedPeer;
        p = PeerIdentity();
        p.host = d->address.host;
        p.port = d->address.port;
        p.subject = x509Name(X509_get_subject_name(leaf));
        p.issuer = x509Name(X509_get_issuer_name(leaf));
        p.validFrom = asn1Time(X509_get0_notBefore(leaf));
        p.validTo = asn1Time(X509_get0_notAfter(leaf));
        p.problem = certificateProblem(X509_STORE_CTX_get_error(store));
        p.fingerprint = fingerprint;
        p.changed = !remembered.isEmpty();
        d->peerRefused = true;
        return 0;
    }

    static int onHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        if (match == CURLKHMATCH_OK)
            return CURLKHSTAT_FINE;
        QByteArray blob = found ? QByteArray(found->key, qsizetype(found->len)) : QByteArray();
        if (found && found->len == 0)
            blob = QByteArray::fromBase64(QByteArray(found->key));
        PeerIdentity p;
        p.hostKey = true;
        p.host = d->address.host;
        p.port = d->address.port;
        p.keyType = hostKeyType(blob);
        p.fingerprint = hostKeyFingerprint(blob);
        p.changed = match == CURLKHMATCH_MISMATCH;
        if (!p.changed && d->trustedOnce.contains(trustKey(p.host, p.port) + u' ' + p.fingerprint))
            return CURLKHSTAT_FINE;
        d->refusedPeer = p;
        d->refusedKeyBlob = blob;
        d->peerRefused = true;
        return CURLKHSTAT_REJECT;
    }

    void onCommand(QByteArray line)
    {
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("PASS "))
            line = "PASS ******";
        // Each new control connection logs in once.
        if (line.startsWith("USER "))
            ++connects;
        pendingCommand = line;
    }

    void onReplyLine(const QByteArray& line)
    {
        auto isCode = [](const QByteArray& l) {
            return l.size() >= 3 && std::isdigit(uchar(l[0])) && std::isdigit(uchar(l[1])) && std::isdigit(uchar(l[2]));
        };
        if (!inReply) {
            if (!isCode(line))
                return;
            partial = FtpReply();
            partial.command = pendingCommand;
            partial.code = line.left(3).toInt();
            partial.lines = {line};
            if (line.size() > 3 && line[3] == '-') {
                inReply = true;
                return;
            }
        } else {
            partial.lines.append(line);
            if (!(isCode(line) && line.left(3).toInt() == partial.code && (line.size() == 3 || line[3] == ' ')))
                return;
        }
        inReply = false;
        lastCode = partial.code;
        transcript.append(partial);
        // A preliminary reply is followed by the final one to the same command.
        if (partial.code >= 200)
            pendingCommand.clear();
    }

    void onReplyData(const char* data, size_t size)
    {
        const QByteArray chunk(data, qsizetype(size));
        for (QByteArray line : chunk.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty() || inReply)
                onReplyLine(line);
        }
    }

    QString parsePwd(const QByteArray& line) const
    {
        const qsizetype first = line.indexOf('"');
        const qsizetype last = line.lastIndexOf('"');
        if (first < 0 || last <= first)
            return QStringLiteral("/");
        QByteArray path = line.mid(first + 1, last - first - 1);
        path.replace("\"\"", "\"");
        const QString p = decode(path);
        return p.startsWith(u'/') ? WithSeparator(p) : QStringLiteral("/");
    }

    QString decode(const QByteArray& bytes) const { return utf8 ? QString::fromUtf8(bytes) : decodeCp932(bytes); }

    static int debugCallback(CURL*, curl_infotype type, char* data, size_t size, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        if (type == CURLINFO_DATA_IN && d->rawListing) {
            if (d->rawListing->size() + qsizetype(size) > kMaxListingBytes)
                d->listingTransfer->failed = true;
            else
                d->rawListing->append(data, qsizetype(size));
        } else if (type == CURLINFO_HEADER_OUT)
            d->onCommand(QByteArray(data, qsizetype(size)));
        else if (type == CURLINFO_HEADER_IN)
            d->onReplyData(data, size);
        return 0;
    }

    // A URL for an absolute path in wire bytes. "%2F" makes the path absolute
    // (not relative to the login folder); every segment is escaped, so no
    // byte of a name is read as URL syntax.
    QByteArray urlFor(const QByteArray& absolutePath) const
    {
        QByteArray url = sftp ? baseUrl.chopped(1) + "/" : baseUrl + "%2F";
        const QList<QByteArray> segments = absolutePath.mid(1).split('/');
        for (qsizetype i = 0; i < segments.size(); ++i) {
            if (i > 0)
                url += '/';
            if (segments[i].isEmpty())
                continue;
            char* escaped = curl_easy_escape(easy, segments[i].constData(), int(segments[i].size()));
            url += escaped;
            curl_free(escaped);
        }
        return url;
    }

    void prepare(const QByteArray& url)
    {
        curl_easy_reset(easy);
        curl_easy_setopt(easy, CURLOPT_URL, url.constData());
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, sftp ? "sftp" : "ftp");
        errorText[0] = 0;
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
        if (security.protocol == FtpProtocol::Tls) {
            // AUTH TLS before the login, and every data connection protected.
            curl_easy_setopt(easy, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
            curl_easy_setopt(easy, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
            curl_easy_setopt(easy, CURLOPT_FTP_SSL_CCC, long(CURLFTPSSL_CCC_NONE));
            // The check is made by onSslContext below, on every connection.
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
            curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &Impl::onSslContext);
            curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, this);
        } else if (sftp) {
            if (!security.knownHosts.isEmpty())
                curl_easy_setopt(easy, CURLOPT_SSH_KNOWNHOSTS, QFile::encodeName(security.knownHosts).constData());
            curl_easy_setopt(easy, CURLOPT_SSH_KEYFUNCTION, &Impl::onHostKey);
            curl_easy_setopt(easy, CURLOPT_SSH_KEYDATA, this);
            if (!security.privateKey.isEmpty()) {
                curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
                curl_easy_setopt(easy, CURLOPT_SSH_PRIVATE_KEYFILE, QFile::encodeName(security.privateKey).constData());
                curl_easy_setopt(easy, CURLOPT_KEYPASSWD, password.constData());
            } else {
                curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
            }
        }
        curl_easy_setopt(easy, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeoutMs));
        curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(options.replyTimeoutSec));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, long(std::max(1, options.stallBytesPerSec)));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, long(options.idleTimeoutSec));
        // Paths are always absolute, so curl never needs to change folder and
        // the server stays in the folder the session entered.
        curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(easy, CURLOPT_FTP_USE_EPSV, 1L);
        curl_easy_setopt(easy, CURLOPT_FTP_SKIP_PASV_IP, 1L);
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Impl::debugCallback);
        curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
    }

    QString lastRefusalText() const
    {
        for (qsizetype i = transcript.size() - 1; i >= 0; --i) {
            if (transcript[i].code >= 400)
                return QString::fromUtf8(transcript[i].lines.join(' ')).trimmed();
        }
        return QString();
    }

    void noteResult(CURLcode result)
    {
        // A refusal of a call made from an event during this request is not
        // the outcome of this one.
        if (result == CURLE_OK) {
            error = {};
            return;
        }
        FtpErrorKind kind = FtpErrorKind::Network;
        QString reply;
        switch (result) {
            case CURLE_COULDNT_RESOLVE_HOST:
            case CURLE_URL_MALFORMAT:
                kind = FtpErrorKind::Address;
                break;
            case CURLE_LOGIN_DENIED:
                kind = FtpErrorKind::Login;
                break;
            case CURLE_SSH:
                // libssh2 reports a refused login or key this way.
                kind = QByteArray(errorText).contains("uthentication") ? FtpErrorKind::Login : FtpErrorKind::Network;
                break;
            case CURLE_ABORTED_BY_CALLBACK:
                kind = cancelled ? FtpErrorKind::Cancelled : FtpErrorKind::LocalFile;
                break;
            case CURLE_OPERATION_TIMEDOUT:
                kind = inTransfer ? FtpErrorKind::Stalled : FtpErrorKind::Network;
                break;
            case CURLE_REMOTE_ACCESS_DENIED:
            case CURLE_REMOTE_FILE_NOT_FOUND:
            case CURLE_FTP_COULDNT_RETR_FILE:
            case CURLE_UPLOAD_FAILED:
            case CURLE_QUOTE_ERROR:
            case CURLE_REMOTE_DISK_FULL:
            case CURLE_FTP_COULDNT_SET_TYPE:
                kind = FtpErrorKind::Refused;
                reply = lastRefusalText();
                break;
            default:
                break;
        }
        if (sftp && kind == FtpErrorKind::Refused)
            reply = QString::fromUtf8(errorText).trimmed();
        if (peerRefused) {
            kind = refusedPeer.changed && refusedPeer.hostKey ? FtpErrorKind::KeyChanged : FtpErrorKind::Untrusted;
            reply = refusedPeer.hostKey ? refusedPeer.fingerprint : refusedPeer.problem;
        }
        if (cancelled)
            kind = FtpErrorKind::Cancelled;
        error = {kind, reply};
    }

    CURLcode perform()
    {
        const int connectsBefore = connects;
        peerRefused = false;
        CURLcode result = cancelled ? CURLE_ABORTED_BY_CALLBACK : performOnce();
        if ((sftp || security.protocol == FtpProtocol::Tls) && result != CURLE_OK && result != CURLE_ABORTED_BY_CALLBACK
            && !peerRefused && !cancelled) {
            // An SSH or TLS connection the server closed while it was idle
            // fails the request that reuses it before anything moves (curl
            // retries only plain connections): made once more, on a new one.
            long opened = 0;
            curl_off_t up = 0, down = 0;
            curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &opened);
            curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
            curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
            const bool refusal = result == CURLE_QUOTE_ERROR || result == CURLE_REMOTE_FILE_NOT_FOUND
                                 || result == CURLE_REMOTE_ACCESS_DENIED || result == CURLE_COULDNT_CONNECT
                                 || result == CURLE_OPERATION_TIMEDOUT || result == CURLE_LOGIN_DENIED
                                 || result == CURLE_COULDNT_RESOLVE_HOST || !lastRefusalText().isEmpty();
            if (opened == 0 && up == 0 && down == 0 && !refusal)
                result = performOnce();
        }
        if (sftp && result != CURLE_ABORTED_BY_CALLBACK) {
            // No USER line to count: a new SSH connection is one login.
            long opened = 0;
            curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &opened);
            connects += int(opened);
        }
        noteResult(result);
        // curl opens a new connection by itself after one was lost (or closed
        // after a failure): that one has to be set up again.
        if (!inSetup && !setup.isEmpty() && (result != CURLE_OK || connects != connectsBefore))
            setupStale = true;
        if (result != CURLE_OK || connects != connectsBefore)
            curlType = 0;
        return result;
    }

    // A data connection that failed before a byte went over it, while the
    // control connection answered: a server that accepted the passive mode
    // and then refused or dropped the data connection, as a busy server
    // does now and then. Such a request is worth one more try.
    bool dataConnectionFailed(CURLcode result) const
    {
        if (sftp || cancelled || peerRefused)
            return false;
        switch (result) {
            case CURLE_COULDNT_CONNECT:
            case CURLE_SSL_CONNECT_ERROR:
            case CURLE_SEND_ERROR:
            case CURLE_RECV_ERROR:
            case CURLE_FTP_ACCEPT_FAILED:
                break;
            default:
                return false;
        }
        curl_off_t up = 0, down = 0;
        curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
        curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
        if (up != 0 || down != 0)
            return false;
        bool passive = false;
        for (const FtpReply& r : transcript) {
            if (r.code == 227 || r.code == 229)
                passive = true;
            else if (r.code >= 400 && r.code != 425 && r.code != 426)
                return false;  // refused, not a connection that failed
        }
        return passive;
    }

    // True when the setup is in place (sent again first when it is stale).
    bool ensureSetup()
    {
        if (!setupStale)
            return true;
        inSetup = true;
        const CURLcode rc = runQuote(setup, nullptr);
        inSetup = false;
        setupStale = rc != CURLE_OK;
        return !setupStale;
    }

    // Raw commands in order after login, on a request that transfers nothing.
    CURLcode runQuote(const QList<QByteArray>& commands, QList<FtpReply>* replies)
    {
        prepare(baseUrl);
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        curl_slist* quote = nullptr;
        for (const QByteArray& c : commands) {
            // "*": go on after a refusal, so the connection stays open; the
            // reply tells the outcome. SFTP commands go one at a time, and
            // a refusal fails the request.
            const QByteArray line = sftp ? c : "*" + c;
            quote = curl_slist_append(quote, line.constData());
        }
        curl_easy_setopt(easy, CURLOPT_QUOTE, quote);
        const CURLcode rc = perform();
        curl_easy_setopt(easy, CURLOPT_QUOTE, nullptr);
        curl_slist_free_all(quote);
        if (replies) {
            replies->clear();
            qsizetype from = 0;
            for (const QByteArray& c : commands) {
                FtpReply reply;
                reply.command = c;
                for (qsizetype i = from; i < transcript.size(); ++i) {
                    if (transcript[i].command == c && transcript[i].code >= 200) {
                        reply = transcript[i];
                        from = i + 1;
                        break;
                    }
                }
                replies->append(reply);
            }
        }
        return rc;
    }

    // How long to wait for curl's sockets. Around the data connection (after
    // the reply to EPSV, and again when it ends) curl waits on something it
    // does not show us, so a poll of curl's own timeout or 100 ms would add
    // that much to every file. After any activity curl is asked again at
    // once, and the wait grows while nothing happens; a busy socket wakes
    // the poll anyway, and an idle transfer ends up polling every 100 ms.
    int pollWaitMs(int idleRounds) const
    {
        const int backoff = idleRounds < 4 ? 0 : idleRounds < 8 ? 1 : std::min(100, 1 << std::min(idleRounds - 7, 7));
        long timeout = -1;
        curl_multi_timeout(multi, &timeout);
        return timeout >= 0 && timeout < backoff ? int(timeout) : backoff;
    }

    CURLcode performOnce()
    {
        transcript.clear();
        pendingCommand.clear();
        inReply = false;
        CURLcode result = CURLE_OK;
        if (curl_multi_add_handle(multi, easy) != CURLM_OK)
            return CURLE_FAILED_INIT;
        QElapsedTimer sincePump;
        int idleRounds = 0;
        sincePump.start();
        // The multi interface with its poll avoids the easy interface's
        // occasional one-second pause before a data connection.
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0)
                break;
            int events = 0;
            if (curl_multi_poll(multi, nullptr, 0, pollWaitMs(idleRounds), &events) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            idleRounds = events > 0 ? 0 : idleRounds + 1;
            if (listener && sincePump.elapsed() >= kPumpIntervalMs) {
                listener->pumpEvents();
                sincePump.restart();
            }
            if (cancelled.load()) {
                result = CURLE_ABORTED_BY_CALLBACK;
                break;
            }
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy && result == CURLE_OK)
                result = msg->data.result;
        }
        curl_multi_remove_handle(multi, easy);
        return result;
    }
};

namespace {

struct BusyGuard {
    // Starts an operation: refused while another runs; clears the last error.
    explicit BusyGuard(FtpConnection::Impl& d) : m_flag(d.busy), m_ok(!d.busy)
    {
        if (m_ok)
            d.error = {};
        else
            d.error = {FtpErrorKind::Busy, {}};
        m_flag = true;
    }
    ~BusyGuard()
    {
        if (m_ok)
            m_flag = false;
    }
    bool ok() const { return m_ok; }
    bool& m_flag;
    bool m_ok;
};

}  // namespace

FtpConnection::FtpConnection() : d(std::make_unique<Impl>()) {}
FtpConnection::~FtpConnection() = default;

std::unique_ptr<FtpConnection> FtpConnection::open(const QString& server, const QString& user, const QString& password,
                                                   const FtpOptions& options, FtpError* error,
                                                   const FtpSecurity& security)
{
    FtpError dummy;
    FtpError& err = error ? *error : dummy;
    err = {};
    ServerAddress address = parseServerAddress(server);
    if (!address.hasPort)
        address.port = defaultPort(security.protocol);
    if (!address.valid) {
        err.kind = FtpErrorKind::Address;
        return nullptr;
    }
    if (hasBreakOrNul(user) || hasBreakOrNul(password)) {
        err.kind = FtpErrorKind::Login;
        return nullptr;
    }
    initCurlOnce();
    std::unique_ptr<FtpConnection> c(new FtpConnection());
    Impl& d = *c->d;
    d.address = address;
    d.user = loginBytes(user);
    d.password = loginBytes(password);
    d.options = options;
    d.security = security;
    d.sftp = security.protocol == FtpProtocol::Sftp;
    const QByteArray host = address.ipv6 ? "[" + address.host.toUtf8() + "]" : address.host.toUtf8();
    d.baseUrl = (d.sftp ? "sftp://" : "ftp://") + host + ":" + QByteArray::number(address.port) + "/";
    d.easy = curl_easy_init();
    d.multi = curl_multi_init();
    if (!d.easy || !d.multi) {
        err.kind = FtpErrorKind::Network;
        return nullptr;
    }

    QList<FtpReply> replies;
    QByteArray sftpHeaders;
    // The first contact; a certificate or host key that is not trusted yet
    // is put to the user, and the contact made again with the answer.
    for (int attempt = 0;; ++attempt) {
        bool ok = false;
        if (d.sftp) {
            // The login folder is what "~" leads to.
            sftpHeaders.clear();
            d.prepare(d.baseUrl + "~/");
            curl_easy_setopt(d.easy, CURLOPT_NOBODY, 1L);
            curl_slist* quote = curl_slist_append(nullptr, "pwd");
            curl_easy_setopt(d.easy, CURLOPT_QUOTE, quote);
            curl_easy_setopt(d.easy, CURLOPT_HEADERFUNCTION, &collectHeader);
            curl_easy_setopt(d.easy, CURLOPT_HEADERDATA, &sftpHeaders);
            ok = d.perform() == CURLE_OK;
            curl_easy_setopt(d.easy, CURLOPT_QUOTE, nullptr);
            curl_slist_free_all(quote);
        } else {
            ok = c->sendCommands({QByteArrayLiteral("FEAT")}, &replies);
        }
        if (ok && d.connects > 0)
            break;
        err = d.error.kind == FtpErrorKind::None ? FtpError{FtpErrorKind::Network, {}} : d.error;
        const PeerIdentity peer = d.refusedPeer;
        if (!d.peerRefused || attempt > 0 || !security.ask || (peer.hostKey && peer.changed))
            return nullptr;
        const TrustAnswer answer = security.ask(peer);
        if (answer == TrustAnswer::Refuse) {
            err = {FtpErrorKind::Cancelled, {}};
            return nullptr;
        }
        const QString key = trustKey(peer.host, peer.port);
        d.trustedOnce.insert(key + u' ' + peer.fingerprint);
        if (answer == TrustAnswer::Always) {
            const bool saved = peer.hostKey ? rememberHostKey(security.knownHosts, address.host, address.port,
                                                              peer.keyType, d.refusedKeyBlob)
                                            : rememberCertificate(security.trustedCertificates, key, peer.fingerprint);
            if (!saved) {
                err = {FtpErrorKind::LocalFile, {}};
                return nullptr;
            }
        }
    }
    if (d.sftp) {
        d.utf8 = true;
        d.cwd = QStringLiteral("/");
        for (const QByteArray& line : sftpHeaders.split('\n')) {
            if (line.startsWith("257 "))
                d.cwd = d.parsePwd(line);
        }
        return c;
    }
    QByteArray mlstFacts;
    if (replies.value(0).completed()) {
        const QList<QByteArray> lines = replies[0].lines;
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            const QByteArray feature = lines[i].trimmed();
            const QByteArray upper = feature.toUpper();
            if (upper == "UTF8")
                d.utf8 = true;
            else if (upper == "MLST" || upper.startsWith("MLST ")) {
                d.mlst = true;
                mlstFacts = feature.mid(5).toLower();
            }
        }
    }
    if (d.utf8)
        d.setup.append(QByteArrayLiteral("OPTS UTF8 ON"));
    // Ask for the permission fact where the server has it but does not send it.
    // The identity fact, where offered, tells a folder that lists itself.
    if (d.mlst && mlstFacts.contains("unix.mode;") && !mlstFacts.contains("unix.mode*"))
        d.setup.append(QByteArrayLiteral("OPTS MLST type;size;modify;unix.mode;")
                       + (mlstFacts.contains("unique") ? "unique;" : ""));
    d.setupStale = !d.setup.isEmpty();
    if (!d.ensureSetup()) {
        err = {FtpErrorKind::Network, {}};
        return nullptr;
    }
    // The login folder, read now that the name encoding is known.
    d.cwd = QStringLiteral("/");
    QList<FtpReply> pwd;
    if (c->sendCommands({QByteArrayLiteral("PWD")}, &pwd) && pwd.value(0).code == 257)
        d.cwd = d.parsePwd(pwd[0].lines.value(0));
    return c;
}

QString FtpConnection::host() const
{
    return d->address.host;
}

int FtpConnection::port() const
{
    return d->address.port;
}

FtpProtocol FtpConnection::protocol() const
{
    return d->security.protocol;
}

bool FtpConnection::utf8Names() const
{
    return d->utf8;
}

bool FtpConnection::hasMlst() const
{
    return d->mlst;
}

int FtpConnection::connectionCount() const
{
    return d->connects;
}

bool FtpConnection::busy() const
{
    return d->busy;
}

void FtpConnection::setProgressListener(FtpProgressListener* listener)
{
    d->listener = listener;
}

FtpProgressListener* FtpConnection::progressListener() const
{
    return d->listener;
}

QString FtpConnection::currentFolder() const
{
    return d->cwd;
}

FtpError FtpConnection::lastError() const
{
    return d->error;
}

void FtpConnection::setLastError(FtpErrorKind kind, const QString& reply)
{
    d->error = {kind, reply};
}

void FtpConnection::setRefused(const FtpReply& reply)
{
    if (reply.code == 0 && d->error.kind != FtpErrorKind::None)
        return;  // no reply came: the reason is already recorded
    d->error = {FtpErrorKind::Refused, QString::fromUtf8(reply.lines.join(' ')).trimmed()};
}

void FtpConnection::cancel()
{
    std::lock_guard lock(d->cancelMutex);
    if (d->cancelHolds > 0)
        d->cancelPending = true;
    else
        d->cancelled = true;
}

void FtpConnection::clearCancel()
{
    std::lock_guard lock(d->cancelMutex);
    d->cancelled = false;
    d->cancelPending = false;
}

bool FtpConnection::cancelRequested() const
{
    std::lock_guard lock(d->cancelMutex);
    return d->cancelled || d->cancelPending;
}

void FtpConnection::holdCancel()
{
    std::lock_guard lock(d->cancelMutex);
    if (d->cancelHolds++ == 0 && d->cancelled) {
        d->cancelled = false;
        d->cancelPending = true;
    }
}

void FtpConnection::releaseCancel()
{
    std::lock_guard lock(d->cancelMutex);
    if (--d->cancelHolds == 0 && d->cancelPending) {
        d->cancelPending = false;
        d->cancelled = true;
    }
}

QString describeFtpError(const FtpError& error)
{
    switch (error.kind) {
        case FtpErrorKind::None:
            return QString();
        case FtpErrorKind::Address:
            return QStringLiteral("サーバ名が正しくないか、見つかりません");
        case FtpErrorKind::Network:
            return QStringLiteral("サーバとの通信に失敗しました");
        case FtpErrorKind::Login:
            return QStringLiteral("ユーザ名かパスワードが違います");
        case FtpErrorKind::Refused:
            return error.reply.isEmpty() ? QStringLiteral("サーバが拒否しました")
                                         : QStringLiteral("サーバが拒否しました: ") + error.reply;
        case FtpErrorKind::Busy:
            return QStringLiteral("ほかの処理を実行中です");
        case FtpErrorKind::LocalFile:
            return QStringLiteral("ローカルのファイルを読み書き出来ませんでした");
        case FtpErrorKind::Cancelled:
            return QStringLiteral("中止しました");
        case FtpErrorKind::Stalled:
            return QStringLiteral("転送が止まったため打ち切りました");
        case FtpErrorKind::BadName:
            return QStringLiteral("サーバが使えない名前を返しました: ") + error.reply;
        case FtpErrorKind::Untrusted:
            return QStringLiteral("サーバの証明書またはホスト鍵を信頼出来ないため、接続しませんでした")
                   + (error.reply.isEmpty() ? QString() : QStringLiteral(": ") + error.reply);
        case FtpErrorKind::Unencodable:
            return QStringLiteral("サーバの文字コードで表せない文字を含む名前です: ") + error.reply;
        case FtpErrorKind::KeyChanged:
            return QStringLiteral(
                       "サーバのホスト鍵が、以前に信頼したものと違います。\r\n"
                       "なりすましの恐れがあるため接続しませんでした。\r\n"
                       "サーバの管理者に鍵を変えたか確かめてください。\r\n新しい鍵の指紋: ")
                   + error.reply;
    }
    return QString();
}

QString FtpConnection::absolutePath(const QString& path) const
{
    return path.startsWith(u'/') ? path : d->cwd + path;
}

std::optional<QByteArray> FtpConnection::encodeName(const QString& text) const
{
    EncodeResult r = encodeWireName(text, d->utf8);
    if (!r.ok)
        return std::nullopt;
    return std::move(r.bytes);
}

std::optional<QByteArray> FtpConnection::wireName(const QString& text)
{
    EncodeResult r = encodeWireName(text, d->utf8);
    if (!r.ok) {
        d->error = {
            FtpErrorKind::Unencodable,
            QStringLiteral("%1 (%2 は %3 で送れません)")
                .arg(text, describeChar(r.badChar), d->utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS"))};
        return std::nullopt;
    }
    return std::move(r.bytes);
}

QString FtpConnection::decodeName(const QByteArray& bytes) const
{
    return d->decode(bytes);
}

bool FtpConnection::sendCommands(const QList<QByteArray>& commands, QList<FtpReply>* replies)
{
    BusyGuard guard(*d);
    if (!guard.ok())
        return false;
    for (const QByteArray& c : commands) {
        if (c.contains('\r') || c.contains('\n') || c.contains('\0') || c.isEmpty())
            return false;
    }
    d->ensureSetup();
    return d->runQuote(commands, replies) == CURLE_OK;
}

bool FtpConnection::sendCommandsInCurrentFolder(const QList<QByteArray>& commands, QList<FtpReply>* replies)
{
    // A connection curl had to open again starts in the login folder, so the
    // folder is entered right before the commands, on the same connection.
    const std::optional<QByteArray> folder = wireName(withoutSeparator(d->cwd));
    if (!folder)
        return false;
    QList<QByteArray> all = commands;
    all.prepend("CWD " + *folder);
    QList<FtpReply> got;
    const bool ok = sendCommands(all, &got);
    if (!got.value(0).completed()) {
        if (replies) {
            replies->clear();
            for (const QByteArray& c : commands)
                replies->append(FtpReply{c, 0, {}});
        }
        return false;
    }
    if (replies)
        *replies = got.mid(1);
    return ok;
}

bool FtpConnection::changeFolder(const QString& absoluteFolder)
{
    if (!absoluteFolder.startsWith(u'/'))
        return false;
    const std::optional<QByteArray> folder = wireName(withoutSeparator(absoluteFolder));
    if (!folder)
        return false;
    if (d->sftp) {
        // A folder can be entered when its names can be read.
        BusyGuard guard(*d);
        if (!guard.ok())
            return false;
        QByteArray names;
        Transfer t;
        t.buffer = &names;
        d->prepare(d->urlFor(*wireName(WithSeparator(absoluteFolder))));
        curl_easy_setopt(d->easy, CURLOPT_DIRLISTONLY, 1L);
        curl_easy_setopt(d->easy, CURLOPT_WRITEFUNCTION, &collectListing);
        curl_easy_setopt(d->easy, CURLOPT_WRITEDATA, &t);
        if (d->perform() != CURLE_OK)
            return false;
        d->cwd = WithSeparator(absoluteFolder);
        return true;
    }
    QList<FtpReply> replies;
    if (!sendCommands({"CWD " + *folder}, &replies))
        return false;
    if (!replies.value(0).completed()) {
        setRefused(replies.value(0));
        return false;
    }
    d->cwd = WithSeparator(absoluteFolder);
    return true;
}

bool FtpConnection::listFolder(const QString& absoluteFolder, ParsedListing& listing)
{
    listing = {};
    BusyGuard guard(*d);
    if (!guard.ok() || !absoluteFolder.startsWith(u'/'))
        return false;
    const std::optional<QByteArray> path = wireName(WithSeparator(absoluteFolder));
    if (!path)
        return false;
    QByteArray data;
    Transfer t;
    t.buffer = &data;
    t.cancelled = &d->cancelled;
    CURLcode rc = CURLE_OK;
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> binaryList(curl_slist_append(nullptr, "TYPE I"),
                                                                                 &curl_slist_free_all);
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> asciiAfter(curl_slist_append(nullptr, "TYPE A"),
                                                                                 &curl_slist_free_all);
    if (d->sftp) {
        d->prepare(d->urlFor(*path));
        curl_easy_setopt(d->easy, CURLOPT_WRITEFUNCTION, &collectListing);
        curl_easy_setopt(d->easy, CURLOPT_WRITEDATA, &t);
        if (d->perform() != CURLE_OK)
            return false;
        listing = parseListing(data, false, [this](const QByteArray& b) { return d->decode(b); });
        return true;
    }
    d->rawListing = &data;
    d->listingTransfer = &t;
    const auto stopCollecting = qScopeGuard([this] {
        d->rawListing = nullptr;
        d->listingTransfer = nullptr;
    });
    bool switchedToBinary = false;
    // A listing made on a connection curl had to open anew lacks the facts
    // asked for: it is made once more after the setup.
    for (int attempt = 0; attempt < 3; ++attempt) {
        d->ensureSetup();
        data.clear();
        d->prepare(d->urlFor(*path));
        if (d->mlst)
            curl_easy_setopt(d->easy, CURLOPT_CUSTOMREQUEST, "MLSD");
        // curl lists in ASCII mode and converts line ends, which turns a CR
        // inside a name into a line break. The bytes are taken before that
        // conversion; and where curl believes the server is in ASCII mode
        // already (it sends no TYPE then), the server is switched to binary
        // for the listing and back afterwards.
        switchedToBinary = d->curlType == 'A';
        if (switchedToBinary) {
            curl_easy_setopt(d->easy, CURLOPT_QUOTE, binaryList.get());
            curl_easy_setopt(d->easy, CURLOPT_POSTQUOTE, asciiAfter.get());
        }
        curl_easy_setopt(d->easy, CURLOPT_WRITEFUNCTION, &countListing);
        curl_easy_setopt(d->easy, CURLOPT_WRITEDATA, &t);
        rc = d->perform();
        if (rc != CURLE_OK && attempt == 0 && d->dataConnectionFailed(rc))
            continue;
        if (rc != CURLE_OK || !d->setupStale)
            break;
    }
    if (rc != CURLE_OK && switchedToBinary) {
        // The listing switched the server to binary and failed before it
        // could switch back; curl still believes it is in ASCII mode.
        const FtpError why = d->error;
        d->runQuote({QByteArrayLiteral("TYPE A")}, nullptr);
        d->error = why;
    }
    if (t.failed) {
        d->error = {FtpErrorKind::Network, {}};
        return false;
    }
    if (rc != CURLE_OK)
        return false;
    d->curlType = 'A';
    listing = parseListing(data, d->mlst, [this](const QByteArray& b) { return d->decode(b); });
    return true;
}

bool FtpConnection::findEntry(const QString& absolutePath, DirEntry& entry)
{
    if (!absolutePath.startsWith(u'/'))
        return false;
    const QString path = withoutSeparator(absolutePath);
    const QString name = path == u"/" ? QStringLiteral("/") : FileNameOf(path, u'/');
    if (d->mlst) {
        const std::optional<QByteArray> bytes = wireName(path);
        if (!bytes)
            return false;
        QList<FtpReply> replies;
        if (!sendCommands({"MLST " + *bytes}, &replies))
            return false;
        if (!replies.value(0).completed()) {
            setRefused(replies.value(0));
            return false;
        }
        for (const QByteArray& line : replies[0].lines) {
            DirEntry e;
            if (line.startsWith(' ')
                && parseMlsdLine(
                    line, [this](const QByteArray& b) { return d->decode(b); }, e)) {
                // The name is the one asked for, not whatever the server echoes.
                e.name = name;
                entry = e;
                return true;
            }
        }
        return false;
    }
    if (path == u"/") {
        entry = DirEntry();
        entry.name = name;
        entry.folder = true;
        return true;
    }
    ParsedListing listing;
    if (!listFolder(FolderPartOf(path), listing))
        return false;
    for (const DirEntry& e : listing.entries) {
        if (e.name == name) {
            entry = e;
            return true;
        }
    }
    return false;
}

// One file between the server and a device: the parts both directions share.
// direction sets curl's options for the reading or writing side.
static bool transferFile(CURL* easy, const std::function<void()>& prepare, const std::function<CURLcode()>& perform,
                         Transfer& t, const std::function<void()>& direction, FtpConnection::Impl& d)
{
    t.cancelled = &d.cancelled;
    d.inTransfer = true;
    const auto setUp = [&] {
        prepare();
        // SFTP has no text mode: the callbacks convert line ends themselves.
        curl_easy_setopt(easy, CURLOPT_TRANSFERTEXT, t.ascii && !d.sftp ? 1L : 0L);
        direction();
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &onProgress);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &t);
    };
    setUp();
    if (t.listener)
        t.listener->startBar();
    CURLcode rc = perform();
    if (rc != CURLE_OK && !t.failed && d.dataConnectionFailed(rc)
        && (t.upload ? t.device->seek(0) : t.device->pos() == 0) && d.ensureSetup()) {
        // Nothing went over the data connection: the same file once more,
        // from its start (on a connection set up again if curl opened one).
        t.pending.clear();
        t.pendingPos = 0;
        t.prevCr = false;
        t.sourceDone = false;
        t.lastDrawn = -1;
        setUp();
        rc = perform();
    }
    d.inTransfer = false;
    if (rc == CURLE_OK && !d.sftp)
        d.curlType = t.ascii ? 'A' : 'I';
    // The write and read callbacks record a local failure in t.failed, which
    // curl reports as an error of its own.
    if (t.failed && !d.cancelled)
        d.error = {FtpErrorKind::LocalFile, {}};
    return rc == CURLE_OK && !t.failed;
}

bool FtpConnection::retrieve(const QString& absoluteRemote, QIODevice& sink, bool ascii, qint64 knownSize)
{
    BusyGuard guard(*d);
    if (!guard.ok() || !absoluteRemote.startsWith(u'/') || absoluteRemote.endsWith(u'/'))
        return false;
    const std::optional<QByteArray> path = wireName(absoluteRemote);
    if (!path)
        return false;
    d->ensureSetup();
    Transfer t;
    t.device = &sink;
    t.ascii = ascii;
    t.listener = d->listener;
    t.knownTotal = std::max<qint64>(0, knownSize);
    return transferFile(
        d->easy, [&] { d->prepare(d->urlFor(*path)); }, [&] { return d->perform(); }, t,
        [&] {
            curl_easy_setopt(d->easy, CURLOPT_WRITEFUNCTION, &writeToDevice);
            curl_easy_setopt(d->easy, CURLOPT_WRITEDATA, &t);
            // With the size known from the listing, the SIZE command curl
            // sends before a binary RETR is one round trip per file too
            // many; the server's final reply still tells a whole transfer.
            if (!ascii && knownSize >= 0)
                curl_easy_setopt(d->easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        },
        *d);
}

bool FtpConnection::store(QIODevice& source, qint64 size, const QString& absoluteRemote, bool ascii,
                          const QString& renameTo, bool* renamed, const QDateTime& modified, bool* stamped)
{
    if (renamed)
        *renamed = false;
    if (stamped)
        *stamped = false;
    BusyGuard guard(*d);
    if (!guard.ok() || !absoluteRemote.startsWith(u'/') || absoluteRemote.endsWith(u'/'))
        return false;
    const std::optional<QByteArray> path = wireName(absoluteRemote);
    if (!path)
        return false;
    // The rename goes after the transfer on the same request: one round of
    // curl's machinery less for every file of a tree. "*": a refused rename
    // leaves the upload a success; the caller sees renamed false.
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> after(nullptr, &curl_slist_free_all);
    const std::optional<QByteArray> target = renameTo.isEmpty() || d->sftp ? std::nullopt : wireName(renameTo);
    if (target && renamed) {
        curl_slist* list = nullptr;
        if (modified.isValid() && stamped)
            list = curl_slist_append(
                list, ("*MFMT " + modified.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + ' ' + *path)
                          .constData());
        list = curl_slist_append(list, ("*RNFR " + *path).constData());
        after.reset(curl_slist_append(list, ("*RNTO " + *target).constData()));
    }
    d->ensureSetup();
    Transfer t;
    t.device = &source;
    t.ascii = ascii;
    t.listener = d->listener;
    t.upload = true;
    t.knownTotal = size;
    const bool ok = transferFile(
        d->easy, [&] { d->prepare(d->urlFor(*path)); }, [&] { return d->perform(); }, t,
        [&] {
            curl_easy_setopt(d->easy, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(d->easy, CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024);
            if (!ascii)
                curl_easy_setopt(d->easy, CURLOPT_INFILESIZE_LARGE, curl_off_t(size));
            curl_easy_setopt(d->easy, CURLOPT_READFUNCTION, &readFromDevice);
            curl_easy_setopt(d->easy, CURLOPT_READDATA, &t);
            if (after)
                curl_easy_setopt(d->easy, CURLOPT_POSTQUOTE, after.get());
        },
        *d);
    if (ok && after) {
        for (const FtpReply& r : std::as_const(d->transcript)) {
            if (r.command.startsWith("RNTO ") && r.completed())
                *renamed = true;
            if (stamped && r.command.startsWith("MFMT ") && r.completed())
                *stamped = true;
        }
    }
    return ok;
}

}  // namespace tw

namespace tw {

bool FtpConnection::pathCommand(const char* verb, const QString& absolutePath)
{
    if (absolutePath.isEmpty() || !absolutePath.startsWith(u'/'))
        return false;
    const std::optional<QByteArray> bytes = wireName(absolutePath);
    if (!bytes)
        return false;
    QByteArray command = QByteArray(verb) + ' ' + *bytes;
    if (d->sftp) {
        const QByteArray v(verb);
        command = (v == "DELE" ? "rm " : v == "RMD" ? "rmdir " : "mkdir ") + sftpArgument(*bytes);
    }
    QList<FtpReply> replies;
    const bool sent = sendCommands({command}, &replies);
    if (d->sftp)
        return sent;
    if (!sent)
        return false;
    if (!replies.value(0).completed()) {
        setRefused(replies.value(0));
        return false;
    }
    return true;
}

bool FtpConnection::renamePath(const QString& absoluteFrom, const QString& absoluteTo)
{
    const std::optional<QByteArray> a = wireName(absoluteFrom);
    const std::optional<QByteArray> b = wireName(absoluteTo);
    if (!a || !b || a->isEmpty() || b->isEmpty())
        return false;
    QList<FtpReply> replies;
    if (d->sftp)
        return sendCommands({"rename " + sftpArgument(*a) + ' ' + sftpArgument(*b)}, &replies);
    if (!sendCommands({"RNFR " + *a, "RNTO " + *b}, &replies))
        return false;
    if (replies.value(0).code != 350) {
        setRefused(replies.value(0));
        return false;
    }
    if (!replies.value(1).completed()) {
        setRefused(replies.value(1));
        return false;
    }
    return true;
}

bool FtpConnection::setMode(const QString& absolutePath, const QString& digits)
{
    const std::optional<QByteArray> path = wireName(absolutePath);
    if (!path || digits.isEmpty() || digits.size() > 4
        || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'7'; }))
        return false;
    QList<FtpReply> replies;
    if (d->sftp)
        return sendCommands({"chmod " + digits.toLatin1() + ' ' + sftpArgument(*path)}, &replies);
    if (!sendCommands({"SITE CHMOD " + digits.toLatin1() + ' ' + *path}, &replies))
        return false;
    if (!replies.value(0).completed()) {
        setRefused(replies.value(0));
        return false;
    }
    return true;
}

bool FtpConnection::setModifiedTime(const QString& absolutePath, const QDateTime& utc)
{
    const std::optional<QByteArray> path = wireName(absolutePath);
    if (!path || !utc.isValid())
        return false;
    const QDateTime t = utc.toUTC();
    QList<FtpReply> replies;
    if (d->sftp) {
        const QByteArray date = QLocale::c().toString(t, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'")).toLatin1();
        return sendCommands({"mtime " + sftpArgument(date) + ' ' + sftpArgument(*path)}, &replies);
    }
    const QByteArray stamp = t.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (!sendCommands({"MFMT " + stamp + ' ' + *path}, &replies))
        return false;
    if (!replies.value(0).completed()) {
        setRefused(replies.value(0));
        return false;
    }
    return true;
}

QDateTime FtpConnection::modifiedTime(const QString& absolutePath)
{
    const std::optional<QByteArray> path = wireName(absolutePath);
    if (!path)
        return {};
    if (!d->sftp) {
        QList<FtpReply> replies;
        if (!sendCommands({"MDTM " + *path}, &replies) || replies.value(0).code != 213)
            return {};
        const QByteArray stamp = replies[0].lines.value(0).mid(4, 14);
        QDateTime t = QDateTime::fromString(QString::fromLatin1(stamp), QStringLiteral("yyyyMMddHHmmss"));
        t.setTimeZone(QTimeZone::utc());
        return t;
    }
    BusyGuard guard(*d);
    if (!guard.ok())
        return {};
    d->prepare(d->urlFor(*path));
    curl_easy_setopt(d->easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(d->easy, CURLOPT_FILETIME, 1L);
    if (d->perform() != CURLE_OK)
        return {};
    curl_off_t seconds = -1;
    if (curl_easy_getinfo(d->easy, CURLINFO_FILETIME_T, &seconds) != CURLE_OK || seconds < 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(qint64(seconds), Qt::UTC);
}

}  // namespace tw
