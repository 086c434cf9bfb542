// The preview with the real browser engine in the real editor window:
// - typing in a 1 MB page at a steady pace (a key every 150 ms) with
//   real-time preview on: how many refreshes became finished page loads, and
//   how much of the time the interface thread was held up for more than
//   16 ms, against the same typing with the preview off;
// - typing in a 20 MB page: the memory of the browser's helper processes
//   afterwards (such a page is shown only on request) and the hold-ups;
// - what showing a page costs by its size (F9 to the finished load, and the
//   helper processes' memory then), which sets the size above which the
//   preview stops refreshing on every change.
// Runs alternate; medians with min-max.

#include "bench/benchtarget.h"
#include "bench/benchwindow.h"
#include "editor/preview/preview.h"
#include "editor/preview/ui/previewview.h"
#include "tests/testkit/processmemory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kKeys = 40;
constexpr int kPaceMs = 150;
constexpr int kRuns = 5;
constexpr double kMB = 1024.0 * 1024.0;

struct Run {
    int refreshes = 0;
    int loadsFinished = 0;
    double stalledPercent = 0;  // of the typing time, in gaps over 16 ms
    double helpersMB = 0;       // the browser's processes after typing
};

QString pageOf(qsizetype size)
{
    QString text;
    const QString line = QStringLiteral("<p>あいうえお The quick brown fox <b>0123456789</b></p>\r\n");
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    return text;
}

bool settle(tw::PreviewView* view, int ms)
{
    QElapsedTimer t;
    t.start();
    while (view && (!view->engineStarted() || view->loading()) && t.elapsed() < ms)
        QTest::qWait(20);
    return view && view->engineStarted() && !view->loading();
}

Run typeInto(bool preview, qsizetype size)
{
    tw::bench::BenchWindow bw(
        preview ? "[Setting]\r\nPreview=1\r\nRealTimePreview=1\r\n" : "[Setting]\r\nPreview=0\r\n", true);
    if (!bw.shown)
        return {};
    tw::MainFrm& w = *bw.w;
    bw.folder.put(QStringLiteral("site/index.html"), "x");
    w.session().document().setPanelFolder(bw.folder.file(QStringLiteral("site")));
    w.resize(1200, 800);
    auto* view = w.findChild<tw::PreviewView*>(QStringLiteral("WebBrowser1"));
    if (preview)
        settle(view, 20000);  // the new document's page, before the large text
    const QString text = pageOf(size);
    w.session().buffer().SetText(text);
    w.session().preview().flush();
    if (preview)
        settle(view, 60000);
    tw::RichTextBox* box = bw.box;
    w.session().buffer().SetSelection(text.size() / 2, 0);
    box->setFocus();

    const int writesBefore = w.session().preview().writes();
    const int loadsBefore = view ? view->loadsFinished() : 0;
    // A 2 ms heartbeat: a gap between beats over 16 ms is time the window
    // could not answer.
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = 0, stalledNs = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (now - lastBeat > 16'000'000)
            stalledNs += now - lastBeat;
        lastBeat = now;
    });
    beat.start(2);
    int typed = 0;
    QTimer keys;
    QObject::connect(&keys, &QTimer::timeout, [&] {
        QTest::keyClick(box, Qt::Key(Qt::Key_A + typed % 26));
        ++typed;
    });
    lastBeat = clock.nsecsElapsed();
    keys.start(kPaceMs);
    while (typed < kKeys)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    keys.stop();
    const qint64 typingNs = clock.nsecsElapsed();
    beat.stop();
    // What is still pending finishes: it counts if it finishes in a second.
    QElapsedTimer tail;
    tail.start();
    while (preview && (w.session().preview().pending() || (view && view->loading())) && tail.elapsed() < 1000)
        QTest::qWait(10);

    Run r;
    r.refreshes = w.session().preview().writes() - writesBefore;
    r.loadsFinished = view ? view->loadsFinished() - loadsBefore : 0;
    r.stalledPercent = 100.0 * double(stalledNs) / double(typingNs);
    r.helpersMB = double(tw::test::childrenResidentBytes()) / kMB;
    return r;
}

// F9 on a page of the size: the time to the finished load, and the
// helpers' memory then.
std::pair<double, double> showCost(qsizetype size)
{
    tw::bench::BenchWindow bw("[Setting]\r\nPreview=1\r\nRealTimePreview=0\r\n", true);
    if (!bw.shown)
        return {-1, -1};
    tw::MainFrm& w = *bw.w;
    w.resize(1200, 800);
    auto* view = w.findChild<tw::PreviewView*>(QStringLiteral("WebBrowser1"));
    settle(view, 20000);
    w.session().buffer().SetText(pageOf(size));
    QElapsedTimer t;
    t.start();
    QTest::keyClick(bw.box, Qt::Key_F9);
    QTest::qWait(1);
    if (!settle(view, 120000))
        return {-1, -1};
    return {double(t.elapsed()), double(tw::test::childrenResidentBytes()) / kMB};
}

struct Span {
    double median, lo, hi;
};
template <typename T>
Span spanOf(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return {double(v[v.size() / 2]), double(v.front()), double(v.back())};
}
void printSpan(const char* what, const Span& s, const char* unit)
{
    std::printf("%s %.1f%s (%.1f-%.1f)", what, s.median, unit, s.lo, s.hi);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tw::prepareBrowserEngine();
    QApplication app(argc, argv);

    // 1 MB: every change shown, paced to the engine.
    std::vector<double> missedShare, stallOn, stallOff;
    std::vector<int> refreshes;
    for (int i = 0; i < kRuns; ++i) {
        const Run on = typeInto(true, 1 << 20);
        const Run off = typeInto(false, 1 << 20);
        refreshes.push_back(on.refreshes);
        missedShare.push_back(on.refreshes ? 100.0 - 100.0 * on.loadsFinished / on.refreshes : 100);
        stallOn.push_back(on.stalledPercent);
        stallOff.push_back(off.stalledPercent);
    }
    std::printf("1 MB page, a key every %d ms for %d keys, real-time preview on (median of %d runs, min-max):\n",
                kPaceMs, kKeys, kRuns);
    printSpan("  refreshes", spanOf(refreshes), "");
    std::printf("\n");
    const Span missed = spanOf(missedShare);
    tw::bench::target("preview 1 MB: refreshes not shown as a finished load", missed.median, missed.lo, missed.hi,
                      50, "%");
    std::vector<double> caused;
    for (int i = 0; i < kRuns; ++i)
        caused.push_back(std::max(0.0, stallOn[i] - stallOff[i]));
    const Span c = spanOf(caused);
    tw::bench::target("preview 1 MB: time the window is held up by the preview", c.median, c.lo, c.hi, 1, "%");

    // 20 MB: not loaded on changes; the helpers stay small.
    std::vector<double> helpers, bigCaused;
    for (int i = 0; i < 3; ++i) {
        const Run on = typeInto(true, 20 << 20);
        const Run off = typeInto(false, 20 << 20);
        helpers.push_back(on.helpersMB);
        bigCaused.push_back(std::max(0.0, on.stalledPercent - off.stalledPercent));
    }
    const Span h = spanOf(helpers);
    tw::bench::target("preview 20 MB: browser processes after typing", h.median, h.lo, h.hi, 1024, "MB");
    const Span bc = spanOf(bigCaused);
    tw::bench::target("preview 20 MB: time the window is held up by the preview", bc.median, bc.lo, bc.hi, 1, "%");

    // What one showing costs by page size (median of three).
    std::printf("showing a page on F9, by its size (median of 3): time to the finished load, browser processes\n");
    for (const int mb : {1, 2, 4, 8}) {
        std::vector<double> ms, mem;
        for (int i = 0; i < 3; ++i) {
            const auto [t, m] = showCost(qsizetype(mb) << 20);
            ms.push_back(t);
            mem.push_back(m);
        }
        printSpan(QByteArray("  ").append(QByteArray::number(mb)).append(" MB:").constData(), spanOf(ms), " ms");
        printSpan(",", spanOf(mem), " MB");
        std::printf("\n");
    }
    return tw::bench::exitCode();
}
