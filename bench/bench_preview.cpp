// Typing in a 1 MB document with real-time preview on, in the real editor
// window with the real browser engine. Prints the mean keystroke time as a
// ratio against the same typing with the preview off, and the longest time
// the window was blocked by one keystroke or by one preview refresh.

#include "common/testkit/fakes.h"
#include "editor/shell/ui/mainfrm.h"
#include "editor/preview/preview.h"
#include "editor/preview/ui/previewview.h"
#include "common/testkit/tempappfolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

namespace {
struct Run {
    double meanMs = 0;
    double worstKeyMs = 0;
    double worstRefreshMs = 0;
};

Run typeInto(bool preview)
{
    tw::test::TempAppFolder app;
    app.put(QStringLiteral("tools/Setting/quillet.ini"),
            preview ? "[Setting]\r\nPreview=1\r\nRealTimePreview=1\r\n" : "[Setting]\r\nPreview=0\r\n");
    app.put(QStringLiteral("site/index.html"), "x");
    tw::test::FakePlatform fakes;
    tw::MainFrm w(tw::QuilletContext{fakes.platform(), app.path(), QString(), true});
    w.load();
    w.session().document().setPanelFolder(app.file(QStringLiteral("site")));
    w.resize(1200, 800);
    w.show();
    QTest::qWaitForWindowExposed(&w);

    QString text;
    const QString line = QStringLiteral("<p>あいうえお The quick brown fox <b>0123456789</b></p>\r\n");
    while (text.size() < 1024 * 1024)
        text += line;
    w.session().buffer().SetText(text);
    w.session().preview().flush();
    QTest::qWait(500);
    w.session().buffer().SetSelection(text.size() / 2, 0);
    w.findChild<tw::RichTextBox*>(QStringLiteral("RichTextBox1"))->setFocus();

    Run r;
    const int keys = 60;
    double total = 0;
    for (int i = 0; i < keys; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(w.findChild<tw::RichTextBox*>(QStringLiteral("RichTextBox1")), Qt::Key(Qt::Key_A + i % 26));
        const double ms = t.nsecsElapsed() / 1e6;
        total += ms;
        r.worstKeyMs = std::max(r.worstKeyMs, ms);
        if (preview && i % 10 == 9) {
            // The coalesced refresh: the write and the reload request.
            QElapsedTimer f;
            f.start();
            w.session().preview().flush();
            r.worstRefreshMs = std::max(r.worstRefreshMs, f.nsecsElapsed() / 1e6);
        }
        QCoreApplication::processEvents();
    }
    r.meanMs = total / keys;
    return r;
}
}  // namespace

int main(int argc, char** argv)
{
    tw::prepareBrowserEngine();
    QApplication app(argc, argv);
    const Run off = typeInto(false);
    const Run on = typeInto(true);
    std::printf("1 MB document: keystroke with real-time preview / without: %.2f "
                "(%.2f ms vs %.2f ms; worst keystroke %.1f ms, worst refresh %.1f ms)\n",
                on.meanMs / off.meanMs, on.meanMs, off.meanMs, on.worstKeyMs, on.worstRefreshMs);
    return 0;
}
