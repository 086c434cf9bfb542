#include "editor/document/documentload.h"

#include "common/textcodec.h"
#include "editor/document/boxdecoder.h"
#include "editor/document/savedmark.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace tw {

namespace {

// The box counts its bytes in int: a text must stay well below that.
constexpr qint64 kLargestText = INT_MAX - (64 << 20);
// What may be left over after a piece's end (see pieceEnd).
constexpr qsizetype kLongestTail = 65536 + 16;

qint64 megabytes(qint64 bytes)
{
    return (bytes + (1 << 20) - 1) >> 20;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

qint64 readNumber(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 n = f.readAll().trimmed().toLongLong(&ok);
    return ok ? n : -1;
}

// Where a piece of the read bytes may end: after the last byte below 0x40
// other than CR. Such a byte is a character of its own in UTF-8 and in
// CP932 (never a trail byte), so no character and no CR LF is cut; without
// one, after the last whole UTF-8 sequence or CP932 character.
qsizetype pieceEnd(QByteArrayView bytes, TextEncoding enc)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = n - 1; i >= 0 && i >= n - 65536; --i) {
        if (p[i] < 0x40 && p[i] != '\r')
            return i + 1;
    }
    qsizetype end = n;
    if (enc == TextEncoding::Cp932) {
        qsizetype i = 0;
        while (i < n) {
            const uchar b = p[i];
            const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
            if (lead && i + 1 >= n)
                break;
            i += lead ? 2 : 1;
        }
        end = i;
    } else {
        for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
            const uchar b = p[n - back];
            if ((b & 0xC0) == 0x80)
                continue;
            const int len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (len > back)
                end = n - back;
            break;
        }
    }
    if (end > 0 && p[end - 1] == '\r')
        --end;
    return end > 0 ? end : n;
}

}  // namespace

qint64 systemAvailableMemory()
{
    qint64 available = LLONG_MAX;
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("MemAvailable:"))
                available = line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    // A container's limit, and a limit on the process's address space.
    const qint64 cgroupMax = readNumber(QStringLiteral("/sys/fs/cgroup/memory.max"));
    const qint64 cgroupUsed = readNumber(QStringLiteral("/sys/fs/cgroup/memory.current"));
    if (cgroupMax > 0 && cgroupUsed >= 0)
        available = std::min(available, cgroupMax - cgroupUsed);
    rlimit as{};
    if (getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (statm.open(QIODevice::ReadOnly)) {
            const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
            available = std::min(available, qint64(as.rlim_cur) - pages * sysconf(_SC_PAGESIZE));
        }
    }
    return std::max<qint64>(available, 0);
}

qint64 memoryToOpen(qint64 fileBytes, double utf8PerByte)
{
    // The text in the box's UTF-8, its line tables, a byte of style per byte
    // where the box keeps colours, and the pieces being decoded.
    const qint64 text = qint64(std::ceil(double(fileBytes) * std::max(utf8PerByte, 1.0)));
    return text + text / 8 + (text < kUnstyledFromBytes ? text : 0) + (32 << 20);
}

LoadedDocument readDocument(const QString& path, EditBuffer& buffer, const LoadRequest& request)
{
    LoadedDocument r;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.error = QStringLiteral("ファイルが見つかりません: %1").arg(shown(path));
        return r;
    }
    if (info.isDir()) {
        r.error = QStringLiteral("フォルダは開けません: %1").arg(shown(path));
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("ファイルを読み込めません: %1").arg(shown(path));
        return r;
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 size = file.size();
    const qsizetype pieceBytes = std::max<qsizetype>(request.tuning.pieceBytes, 4096);
    const QString readError = QStringLiteral("ファイルを読み込めません: %1").arg(shown(path));

    // One buffer for the bytes read: a piece of it is decoded, the bytes
    // after the piece's end (less than kLongestTail) move to its start and
    // the next read goes behind them.
    QByteArray bytes(pieceBytes + kLongestTail, Qt::Uninitialized);
    qsizetype held = 0;
    bool atEnd = false;  // where a read comes back short (the size may not be known)
    qint64 done = 0;
    auto readMore = [&] {
        const qint64 got = file.read(bytes.data() + held, pieceBytes);
        if (got < 0 || file.error() != QFileDevice::NoError)
            return false;
        held += got;
        done += got;
        atEnd = got < pieceBytes;
        return true;
    };
    if (!readMore()) {
        r.error = readError;
        return r;
    }

    // The start of the file tells the encoding (a BOM, a declared charset,
    // or what its bytes look like), unless the caller chose one.
    const QByteArray head = QByteArray::fromRawData(bytes.constData(), std::min<qsizetype>(held, 4096));
    const bool hasBom = head.startsWith("\xEF\xBB\xBF");
    const std::optional<TextEncoding> declared = declaredEncoding(head);
    bool settled = request.forced || hasBom || declared;
    TextEncoding encoding = TextEncoding::Cp932;
    if (request.forced)
        encoding = *request.forced == TextEncoding::Cp932 ? TextEncoding::Cp932
                   : hasBom                               ? TextEncoding::Utf8Bom
                                                          : TextEncoding::Utf8;
    else if (hasBom)
        encoding = TextEncoding::Utf8Bom;
    else if (declared)
        encoding = *declared;
    else
        encoding = detectDocumentEncoding(QByteArray::fromRawData(
            bytes.constData(), atEnd ? held : pieceEnd(QByteArrayView(bytes.constData(), held), TextEncoding::Utf8)));

    const QString outOfMemory = QStringLiteral("%1 の読み込みの途中でメモリが足りなくなりました。").arg(shown(path));
    std::optional<qint64> expected;  // the box's UTF-8, judged from the first piece
    // The memory it takes, checked once before the box takes any of it.
    auto startLoad = [&](double ratio) {
        if (!expected) {
            expected = qint64(double(size) * std::max(ratio, 1.0) * 1.02) + 4096;
            const qint64 need = memoryToOpen(size, ratio);
            const qint64 available = request.tuning.availableMemory ? request.tuning.availableMemory() : LLONG_MAX;
            if (*expected > kLargestText || need > available) {
                r.error = QStringLiteral(
                              "%1 は大きすぎて、このコンピュータのメモリに読み込めません"
                              "（ファイル %2 MB、必要なメモリ %3 MB、空きメモリ %4 MB）。")
                              .arg(shown(path))
                              .arg(megabytes(size))
                              .arg(megabytes(need))
                              .arg(megabytes(available));
                return false;
            }
        }
        r.load = buffer.beginLoad(*expected);
        if (!r.load)
            r.error = outOfMemory;
        return bool(r.load);
    };

    // Progress for a large file once reading it takes a while.
    bool showingProgress = false;
    auto finish = [&](LoadedDocument& result) -> LoadedDocument {
        if (showingProgress)
            request.progress->end();
        return std::move(result);
    };
    auto stepProgress = [&] {
        if (!request.progress || size < request.tuning.progressFrom)
            return true;
        if (!showingProgress) {
            if (clock.elapsed() < request.tuning.progressAfterMs)
                return true;
            showingProgress = true;
            request.progress->begin(QStringLiteral("Quillet"),
                                    QStringLiteral("%1 を読み込んでいます…").arg(shown(path)), size);
        }
        return request.progress->step(done - held);
    };

    // The decoded pieces go to the box and, shared, to the digest's
    // thread; a buffer is written again once that thread has let it go.
    std::array<QByteArray, 3> outs;
    std::vector<CharMark> marks;
    bool askedBinary = false;
    // A second pass only when the whole file tells another encoding than its start did.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            r.load.reset();
            if (!file.seek(0)) {
                r.error = readError;
                return finish(r);
            }
            held = 0;
            done = 0;
            if (!readMore()) {
                r.error = readError;
                return finish(r);
            }
        }
        BoxDecoder decoder(encoding);
        // Whether CP932 text is UTF-8 after all; UTF-8 tells it while decoding.
        DocumentEncodingSniffer sniffer;
        const bool sniff = !settled && encoding == TextEncoding::Cp932;
        BackgroundDigest digest;
        qint64 pieces = 0;
        while (held > 0 || !atEnd) {
            if (!atEnd && held < pieceBytes && !readMore()) {
                r.load.reset();
                r.error = readError;
                return finish(r);
            }
            const QByteArrayView all(bytes.constData(), held);
            const qsizetype length = atEnd ? held : pieceEnd(all, encoding);
            const QByteArrayView piece = all.first(length);
            if (sniff)
                sniffer.feed(piece);
            QByteArray& out = outs[size_t(pieces % qint64(outs.size()))];
            if (pieces >= qint64(outs.size()))
                digest.waitUntilTaken(pieces - qint64(outs.size()) + 1);
            out.resize(0);
            marks.clear();
            decoder.decode(piece, out, marks);
            if (!r.load && !startLoad(piece.isEmpty() ? 1.0 : double(out.size()) / double(piece.size())))
                return finish(r);
            if (!askedBinary && decoder.looksBinary()) {
                askedBinary = true;
                if (request.confirmBinary && !request.confirmBinary()) {
                    r.load.reset();
                    r.cancelled = true;
                    return finish(r);
                }
            }
            digest.add(out);
            ++pieces;
            if (!r.load->append(out, marks)) {
                r.load.reset();
                r.error = outOfMemory;
                return finish(r);
            }
            held -= length;
            std::memmove(bytes.data(), bytes.constData() + length, size_t(held));
            if (!stepProgress()) {
                r.load.reset();
                r.cancelled = true;
                return finish(r);
            }
        }
        if (!r.load && !startLoad(1.0))
            return finish(r);
        if (!settled) {
            const TextEncoding verdict = sniff ? sniffer.verdict() : decoder.utf8Verdict();
            settled = true;
            if (verdict != encoding) {
                encoding = verdict;
                continue;
            }
        }
        r.format.encoding = encoding;
        r.format.lineEnd = decoder.breaks().dominant();
        r.mixedLineEnds = decoder.breaks().mixed();
        r.digest = digest.finish();
        r.ok = true;
        return finish(r);
    }
    return finish(r);  // not reached: the second pass is settled
}

}  // namespace tw
