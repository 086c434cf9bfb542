#include "editor/document/documentload.h"

#include "common/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <cmath>
#include <sys/resource.h>
#include <unistd.h>

namespace tw {

namespace {

// The box counts its bytes in int: a text must stay well below that.
constexpr qint64 kLargestText = INT_MAX - (64 << 20);

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
qsizetype pieceEnd(const QByteArray& bytes, TextEncoding enc)
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

struct Pass {
    TextEncoding encoding;
    bool settledByCaller;
};

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
    const qint64 size = file.size();
    const qsizetype pieceBytes = std::max<qsizetype>(request.tuning.pieceBytes, 4096);
    const QByteArray first = file.read(pieceBytes);
    if (file.error() != QFileDevice::NoError) {
        r.error = QStringLiteral("ファイルを読み込めません: %1").arg(shown(path));
        return r;
    }

    Pass pass{TextEncoding::Cp932, request.forced.has_value()};
    if (request.forced)
        pass.encoding = *request.forced == TextEncoding::Cp932 ? TextEncoding::Cp932
                        : first.startsWith("\xEF\xBB\xBF")     ? TextEncoding::Utf8Bom
                                                               : TextEncoding::Utf8;
    else
        pass.encoding =
            detectDocumentEncoding(first.size() < pieceBytes ? first : first.left(pieceEnd(first, TextEncoding::Utf8)));

    // How much the box's UTF-8 is of the file, judged from its start.
    std::vector<CharMark> marks;
    const QByteArray sample = first.left(std::min<qsizetype>(first.size(), 1 << 20));
    const double ratio = sample.isEmpty()
                             ? 1.0
                             : double(boxUtf8(normaliseLineBreaks(decodeText(sample, pass.encoding)), marks).size())
                                   / double(sample.size());
    const qint64 expected = qint64(double(size) * std::max(ratio, 1.0) * 1.02) + 4096;
    const qint64 need = memoryToOpen(size, ratio);
    const qint64 available = request.tuning.availableMemory ? request.tuning.availableMemory() : LLONG_MAX;
    if (expected > kLargestText || need > available) {
        r.error = QStringLiteral(
                      "%1 は大きすぎて、このコンピュータのメモリに読み込めません"
                      "（ファイル %2 MB、必要なメモリ 約 %3 MB、空きメモリ %4 MB）。")
                      .arg(shown(path))
                      .arg(megabytes(size))
                      .arg(megabytes(need))
                      .arg(megabytes(available));
        return r;
    }

    const bool showProgress = request.progress && size >= request.tuning.progressFrom;
    if (showProgress)
        request.progress->begin(QStringLiteral("Quillet"), QStringLiteral("%1 を読み込んでいます…").arg(shown(path)),
                                size);
    auto finish = [&](LoadedDocument& result) -> LoadedDocument {
        if (showProgress)
            request.progress->end();
        return std::move(result);
    };
    const QString outOfMemory = QStringLiteral("%1 の読み込みの途中でメモリが足りなくなりました。").arg(shown(path));

    // A second pass only when the whole file tells another encoding than its start did.
    bool askedBinary = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        r.load = buffer.beginLoad(expected);
        if (!r.load) {
            r.error = outOfMemory;
            return finish(r);
        }
        DocumentEncodingSniffer sniffer;
        TextDigest digest;
        LineEndCount breaks;
        QByteArray pending = attempt == 0 ? first : QByteArray();
        if (attempt > 0)
            file.seek(0);
        qint64 done = attempt == 0 ? first.size() : 0;
        // The end is where a read comes back short (the size may not be known).
        bool atEnd = attempt == 0 && first.size() < pieceBytes;
        bool firstPiece = true;
        while (!pending.isEmpty() || !atEnd) {
            if (!atEnd && pending.size() < pieceBytes) {
                const QByteArray more = file.read(pieceBytes);
                if (file.error() != QFileDevice::NoError) {
                    r.load.reset();
                    r.error = QStringLiteral("ファイルを読み込めません: %1").arg(shown(path));
                    return finish(r);
                }
                done += more.size();
                atEnd = more.size() < pieceBytes;
                pending += more;
                continue;
            }
            const qsizetype end = atEnd ? pending.size() : pieceEnd(pending, pass.encoding);
            const QByteArray piece = pending.left(end);
            pending.remove(0, end);
            sniffer.feed(piece);
            if (!askedBinary && looksLikeBinary(piece)) {
                askedBinary = true;
                if (request.confirmBinary && !request.confirmBinary()) {
                    r.load.reset();
                    r.cancelled = true;
                    return finish(r);
                }
            }
            // The encoding's own mark is no text: it is taken off the first piece only.
            const TextEncoding pieceEncoding =
                pass.encoding == TextEncoding::Utf8Bom && !firstPiece ? TextEncoding::Utf8 : pass.encoding;
            LineEndCount count;
            const QString text = normaliseLineBreaks(decodeText(piece, pieceEncoding), &count);
            firstPiece = false;
            breaks.crLf += count.crLf;
            breaks.lf += count.lf;
            breaks.cr += count.cr;
            const QByteArray utf8 = boxUtf8(text, marks);
            digest.addUtf8(utf8);
            if (!r.load->append(utf8, marks)) {
                r.load.reset();
                r.error = outOfMemory;
                return finish(r);
            }
            if (showProgress && !request.progress->step(done - pending.size())) {
                r.load.reset();
                r.cancelled = true;
                return finish(r);
            }
        }
        if (!pass.settledByCaller && !sniffer.settled() && sniffer.verdict() != pass.encoding) {
            pass.encoding = sniffer.verdict();
            pass.settledByCaller = true;
            continue;
        }
        r.format.encoding = pass.encoding;
        r.format.lineEnd = breaks.dominant();
        r.mixedLineEnds = breaks.mixed();
        r.digest = digest.result();
        r.ok = true;
        return finish(r);
    }
    return finish(r);  // not reached: the second pass is settled
}

}  // namespace tw
