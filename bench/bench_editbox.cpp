// A keystroke in the real main window (history and tag colouring on, the
// preview off so only the edit box is measured) on pages of 1, 4 and 16 MB.
// Each size: five runs of 50 keys in the middle of the page, the box
// repainted after every key. Prints the median time a key (median of the
// runs' medians, with their min-max), the worst single key, and the 16 MB /
// 1 MB ratio of the medians: the work a key costs must not grow with the page.
// The targets at 16 MB (median, worst key, the ratio) are TARGET lines, and
// so is the worst key with default settings (HTML colouring, completion),
// whose median is shown beside them.

#include "bench/benchtarget.h"
#include "bench/benchwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct SizeResult {
    double medianMs = 0, minMs = 0, maxMs = 0;
    double worstMs = 0, leastWorstMs = 0;  // the worst key of all runs, the smallest of the runs' worst keys
};

SizeResult measure(tw::MainFrm& w, tw::RichTextBox* box, qsizetype bytes)
{
    const QString line = QStringLiteral(
        "<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> <!-- note --> text</p>\r\n");
    QString text;
    text.reserve(bytes / 2 + line.size());
    while (text.size() * 2 < bytes)
        text += line;
    w.session().buffer().SetText(text);
    w.session().history().ResetHistory();
    QCoreApplication::processEvents();

    SizeResult r;
    std::vector<double> runMedians;
    for (int run = 0; run < 5; ++run) {
        w.session().buffer().SetSelection(text.indexOf(QLatin1String("link"), text.size() / 2), 0);
        QCoreApplication::processEvents();
        std::vector<double> keys;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer one;
            one.start();
            QTest::keyClick(box, Qt::Key(Qt::Key_A + i % 26));
            QCoreApplication::processEvents();
            box->repaint();
            keys.push_back(one.nsecsElapsed() / 1e6);
        }
        runMedians.push_back(median(keys));
        const double worst = *std::max_element(keys.begin(), keys.end());
        r.leastWorstMs = run == 0 ? worst : std::min(r.leastWorstMs, worst);
        r.worstMs = std::max(r.worstMs, worst);
    }
    r.medianMs = median(runMedians);
    r.minMs = *std::min_element(runMedians.begin(), runMedians.end());
    r.maxMs = *std::max_element(runMedians.begin(), runMedians.end());
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::bench::BenchWindow bw("[Setting]\r\nColorAdd=1\r\nPreview=0\r\n");
    if (!bw.shown) {
        std::printf("bench_editbox: the window did not show\n");
        return 1;
    }
    tw::MainFrm& w = *bw.w;
    tw::RichTextBox* box = bw.box;
    box->setFocus();

    const int sizes[] = {1, 4, 16};
    SizeResult results[3];
    std::printf("keystroke in the main window, history and colouring on (median of 5 runs of 50 keys):\n");
    for (int i = 0; i < 3; ++i) {
        results[i] = measure(w, box, qsizetype(sizes[i]) * 1024 * 1024);
        std::printf("  %2d MB: %.2f ms a key (runs %.2f-%.2f), worst key %.1f ms\n", sizes[i], results[i].medianMs,
                    results[i].minMs, results[i].maxMs, results[i].worstMs);
    }
    const double ratio = results[2].medianMs / std::max(results[0].medianMs, 1e-6);
    std::printf("  16 MB / 1 MB per key: %.2f\n", ratio);
    const SizeResult& big = results[2];
    tw::bench::target("median key at 16 MB, history and tag colouring on", big.medianMs, big.minMs, big.maxMs, 2.0,
                      "ms");
    tw::bench::target("worst key at 16 MB, history and tag colouring on", big.worstMs, big.leastWorstMs, big.worstMs,
                      16.0, "ms");
    tw::bench::target("key at 16 MB against 1 MB, median", ratio, big.minMs / std::max(results[0].maxMs, 1e-6),
                      big.maxMs / std::max(results[0].minMs, 1e-6), 1.5, "x");

    // As a new user has it: HTML colouring and tag completion on.
    tw::bench::BenchWindow plain("[Setting]\r\nPreview=0\r\n");
    plain.box->setFocus();
    const SizeResult html = measure(*plain.w, plain.box, qsizetype(16) * 1024 * 1024);
    std::printf(
        "keystroke at 16 MB with HTML colouring and completion (default settings): %.2f ms a key (runs "
        "%.2f-%.2f), worst key %.1f ms\n",
        html.medianMs, html.minMs, html.maxMs, html.worstMs);
    tw::bench::target("worst key at 16 MB, default settings", html.worstMs, html.leastWorstMs, html.worstMs, 16.0,
                      "ms");
    return tw::bench::exitCode();
}
