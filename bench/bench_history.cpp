// Undo history on a 2 MB document: typing 10,000 characters one by one.
// Prints the time per recorded keystroke as a ratio against copying the
// whole text once, and the history's memory against the document's size.

#include "editor/document/editbuffer.h"
#include "editor/document/edithistory.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

int main()
{
    const qsizetype size = 2 * 1024 * 1024;
    QString text;
    text.reserve(size);
    const QString line = QStringLiteral("<p>あいうえお The quick brown fox 0123456789</p>\r\n");
    while (text.size() < size)
        text += line;
    text.truncate(size);

    tw::MemoryEditBuffer buffer(text);
    tw::EditHistory history(buffer);
    QObject::connect(&buffer, &tw::EditBuffer::changed, [&] { history.onTextChanged(); });
    history.ResetHistory();

    // Reference: one plain copy of the text (detached), as a full snapshot costs.
    QElapsedTimer t;
    const int copies = 50;
    t.start();
    qsizetype sink = 0;
    for (int i = 0; i < copies; ++i) {
        QString copy = buffer.text();
        copy.detach();
        copy[0] = QChar(u'x' + (i & 1));
        sink += copy.size();
    }
    const double copyNs = double(t.nsecsElapsed()) / copies;

    const int keys = 10000;
    buffer.SetSelection(size / 2, 0);
    t.restart();
    for (int i = 0; i < keys; ++i)
        buffer.type(QString(QChar(u'a' + i % 26)));
    const double keyNs = double(t.nsecsElapsed()) / keys;

    t.restart();
    for (int i = 0; i < 100; ++i)
        history.UndoStep();
    const double undoNs = double(t.nsecsElapsed()) / 100;

    const double historyBytes = double(history.storedChars()) * 2;
    const double docBytes = double(buffer.text().size()) * 2;
    std::printf("document: %lld characters, %d keystrokes recorded (HistoryTop %d)\n", (long long)size, keys,
                history.HistoryTop());
    std::printf("time per keystroke / one text copy: %.2f\n", keyNs / copyNs);
    std::printf("time per undo / one text copy: %.2f\n", undoNs / copyNs);
    std::printf("history memory / document size: %.2f (%.1f MB; full snapshots would be %.0f MB)\n",
                historyBytes / docBytes, historyBytes / 1e6, docBytes * keys / 1e6);
    return sink > 0 ? 0 : 1;
}
