// A keystroke in the real edit box on a 2 MB document, with the change
// notification recording history as the main window does. Prints the time
// per keystroke as a ratio against copying the document's text once.

#include "editor/tags/edithistory.h"
#include "editor/tags/ui/richtextbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString text;
    const QString line = QStringLiteral("<p>あいうえお The quick brown fox 0123456789</p>\r\n");
    while (text.size() < 2 * 1024 * 1024)
        text += line;

    tw::RichTextBox box;
    tw::ScintillaEditBuffer buffer(&box);
    tw::EditHistory history(buffer);
    buffer.setChangeHandler([&] { history.onTextChanged(); });
    box.resize(800, 600);
    box.show();
    buffer.SetText(text);
    history.ResetHistory();
    buffer.SetSelection(text.size() / 2, 0);
    box.setFocus();

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

    const int keys = 200;
    double worstMs = 0;
    t.restart();
    for (int i = 0; i < keys; ++i) {
        QElapsedTimer one;
        one.start();
        QTest::keyClick(&box, Qt::Key_A);
        worstMs = std::max(worstMs, one.nsecsElapsed() / 1e6);
    }
    const double keyNs = double(t.nsecsElapsed()) / keys;
    std::printf("edit box, 2 MB document: keystroke / one text copy: %.2f (%.2f ms a keystroke, worst %.1f ms)\n",
                keyNs / copyNs, keyNs / 1e6, worstMs);
    return sink > 0 ? 0 : 1;
}
