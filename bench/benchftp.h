#pragma once
// What the FTP benchmarks share: the test data, timing of a whole tool
// process, interleaved runs and the printed ratio.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "bench/benchtarget.h"

#include <cstdio>
#include <algorithm>
#include <functional>
#include <limits>

namespace tw::bench {

inline constexpr qint64 kBigSize = 200LL * 1024 * 1024;
inline constexpr int kFolders = 10;
inline constexpr int kFilesPerFolder = 100;
// Interleaved runs of each client; the median counts, the spread is shown.
inline constexpr int kRounds = 5;
// The whole run stays inside five minutes.
inline QElapsedTimer g_run;

inline bool writeBigFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    auto* words = reinterpret_cast<quint32*>(block.data());
    QRandomGenerator::global()->fillRange(words, block.size() / 4);
    for (qint64 done = 0; done < kBigSize; done += block.size()) {
        block[0] = char(done >> 20);  // no two blocks alike
        if (f.write(block) != block.size())
            return false;
    }
    return true;
}

inline bool writeTree(const QString& root)
{
    for (int d = 0; d < kFolders; ++d) {
        const QString folder = QStringLiteral("%1/dir%2").arg(root).arg(d);
        if (!QDir().mkpath(folder))
            return false;
        for (int i = 0; i < kFilesPerFolder; ++i) {
            QFile f(QStringLiteral("%1/page%2.html").arg(folder).arg(i));
            if (!f.open(QIODevice::WriteOnly))
                return false;
            f.write(QByteArray(1000 + (i * 37) % 3000, char('a' + i % 26)));
        }
    }
    return true;
}

inline int countFiles(const QString& root)
{
    int n = 0;
    const QFileInfoList entries = QDir(root).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries)
        n += fi.isDir() ? countFiles(fi.filePath()) : 1;
    return n;
}

// Runs a tool to the end; the time in ms, or -1 when it failed.
inline qint64 runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(3000);
        return -1;
    }
    const qint64 ms = t.elapsed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? ms : -1;
}

inline qint64 timed(const std::function<bool()>& work)
{
    QElapsedTimer t;
    t.start();
    return work() ? t.elapsed() : -1;
}

// The times of one kind of run; a failed run spoils the set.
struct Runs {
    QList<qint64> ms;
    bool failed = false;
    void add(qint64 v)
    {
        if (v < 0)
            failed = true;
        else
            ms.append(v);
    }
    bool ok() const { return !failed && !ms.isEmpty(); }
    qint64 median() const
    {
        QList<qint64> s = ms;
        std::sort(s.begin(), s.end());
        const qsizetype n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    }
    QString spread() const
    {
        const auto [lo, hi] = std::minmax_element(ms.begin(), ms.end());
        return QStringLiteral("%1-%2 ms").arg(*lo).arg(*hi);
    }
};

inline bool withinBudget(qint64 budgetMs)
{
    return g_run.elapsed() < budgetMs;
}

// Our time over the tool's, from the medians (1.0 = as fast, below = faster),
// printed as a target: met when the ratio is at most limit. The spread is
// that of the ratios of the rounds, each run of ours against the tool's run
// of the same round.
inline void report(const char* what, const Runs& ours, const Runs& theirs, const char* tool, double limit)
{
    const QByteArray unit = QByteArray("x ") + tool;
    if (!ours.ok() || !theirs.ok()) {
        std::printf("%s: FAILED (ours %s, %s %s)\n", what, ours.ok() ? "ok" : "failed", tool,
                    theirs.ok() ? "ok" : "failed");
        unmeasured(what, "a run failed");
        return;
    }
    const qsizetype n = std::min(ours.ms.size(), theirs.ms.size());
    double lo = std::numeric_limits<double>::max();
    double hi = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double r = double(ours.ms[i]) / double(std::max<qint64>(theirs.ms[i], 1));
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    std::printf("%s, %d runs each: ours median %lld ms (%s), %s median %lld ms (%s)\n", what, int(n),
                (long long)ours.median(), qPrintable(ours.spread()), tool, (long long)theirs.median(),
                qPrintable(theirs.spread()));
    target(what, double(ours.median()) / double(std::max<qint64>(theirs.median(), 1)), lo, hi, limit, unit.constData());
}

}  // namespace tw::bench
