#pragma once
// Gradation text: one font element per character, the colour stepping from
// a start to an end colour and, optionally, the size from a start to an end
// size.

#include <QList>
#include <QString>

namespace tw {

struct GradationOptions {
    QString text = QStringLiteral("グラデーション文字のサンプル");
    int start[3] = {255, 0, 0};  // red, green, blue
    int end[3] = {0, 255, 0};
    int startSize = 5;  // 1-7
    int endSize = 5;
    bool fontSize = false;    // write size attributes
    bool lineBreaks = false;  // CR LF after every element
};

// How the dialog's preview shows one character.
struct GradationChar {
    QString ch;  // one character (a surrogate pair stays whole)
    int rgb[3] = {0, 0, 0};
    int pointSize = 10;
};

struct Gradation {
    QString text;  // what 挿入 puts into the document
    QList<GradationChar> preview;
};

// A colour component kept within 0-255.
int RGBSet(int value);
// n / d rounded to the nearest integer, halves to the even neighbour (d > 0).
qint64 roundHalfEven(qint64 n, qint64 d);

Gradation BuildGradation(const GradationOptions& o);

}  // namespace tw
