// Tag colouring on a 2 MB document with many tags, in the shown edit box with
// history recording as in the main window. Prints a keystroke in the middle
// with colouring on against the same keystroke with colouring off, and the
// one-off colouring of the whole text against copying the text once.

#include "editor/document/edithistory.h"
#include "editor/document/ui/scintillaeditbuffer.h"
#include "editor/tags/ui/taghighlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

// Average nanoseconds of one keystroke, the box repainted after each.
double keystrokeNs(tw::RichTextBox& box, int keys, double* worstMs)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < keys; ++i) {
        QElapsedTimer one;
        one.start();
        QTest::keyClick(&box, Qt::Key_A);
        QCoreApplication::processEvents();
        *worstMs = std::max(*worstMs, one.nsecsElapsed() / 1e6);
    }
    return double(t.nsecsElapsed()) / keys;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString text;
    const QString line = QStringLiteral(
        "<p class=\"x\">あいうえお <a href=\"page.html\">link</a> <b>bold</b> <!-- note --> text</p>\r\n");
    const QString block =
        QStringLiteral("<!--\r\n a comment over\r\n three lines -->\r\n<META name=\"k\"\r\n content=\"v\">\r\n");
    for (int n = 0; text.size() < 2 * 1024 * 1024; ++n)
        text += (n % 50 == 49) ? block : line;

    tw::RichTextBox box;
    tw::ScintillaEditBuffer buffer(&box);
    tw::EditHistory history(buffer);
    QObject::connect(&buffer, &tw::EditBuffer::changed, [&] { history.onTextChanged(); });
    auto* highlighter = new tw::TagHighlighter(&box);
    box.resize(800, 600);
    box.show();
    buffer.SetText(text);
    history.ResetHistory();
    QCoreApplication::processEvents();

    QElapsedTimer t;
    const int copies = 20;
    t.start();
    qsizetype sink = 0;
    for (int i = 0; i < copies; ++i) {
        QString copy = text;
        copy.detach();
        sink += copy.size();
    }
    const double copyNs = double(t.nsecsElapsed()) / copies;

    // Both runs type in the middle of the same line.
    const qsizetype middle = text.indexOf(QLatin1String("link"), text.size() / 2);
    const int keys = 100;
    double worstOffMs = 0;
    double worstOnMs = 0;
    buffer.SetSelection(middle, 0);
    box.setFocus();
    keystrokeNs(box, 10, &worstOffMs);  // warm-up
    worstOffMs = 0;
    buffer.SetSelection(middle, 0);
    const double offNs = keystrokeNs(box, keys, &worstOffMs);

    t.restart();
    highlighter->setEnabled(true);
    QCoreApplication::processEvents();
    const double fullNs = double(t.nsecsElapsed());

    buffer.SetSelection(middle, 0);
    const double onNs = keystrokeNs(box, keys, &worstOnMs);

    // Opening a comment that closes further along the line.
    buffer.SetSelection(middle, 0);
    t.restart();
    QTest::keyClicks(&box, QStringLiteral("<!--"));
    QCoreApplication::processEvents();
    const double openCommentNs = double(t.nsecsElapsed());

    t.restart();
    highlighter->setEnabled(false);
    QCoreApplication::processEvents();
    const double offSwitchNs = double(t.nsecsElapsed());

    std::printf("tag colouring, 2 MB document (%lld lines):\n", qlonglong(box.lines()));
    std::printf("  keystroke with colouring / without: %.2f (%.2f ms vs %.2f ms, worst %.1f ms vs %.1f ms)\n",
                onNs / offNs, onNs / 1e6, offNs / 1e6, worstOnMs, worstOffMs);
    std::printf("  colouring the whole text / one text copy: %.1f (%.0f ms, copy %.2f ms)\n", fullNs / copyNs,
                fullNs / 1e6, copyNs / 1e6);
    std::printf("  typing \"<!--\" (4 keys) / one text copy: %.1f (%.0f ms)\n", openCommentNs / copyNs,
                openCommentNs / 1e6);
    std::printf("  switching colouring off / one text copy: %.1f (%.0f ms)\n", offSwitchNs / copyNs, offSwitchNs / 1e6);
    return sink > 0 ? 0 : 1;
}
