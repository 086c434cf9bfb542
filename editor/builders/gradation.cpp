#include "editor/builders/gradation.h"

#include "editor/builders/radix.h"

#include <algorithm>

namespace tw {

int RGBSet(int value)
{
    return std::clamp(value, 0, 255);
}

qint64 roundHalfEven(qint64 n, qint64 d)
{
    // Exact on integers, so 2.5 and 4.5 are true halves and not 2.4999...
    qint64 q = n / d;
    qint64 r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q % 2 != 0)))
        ++q;
    return q;
}

namespace {
QString hex2(int v)
{
    return ConvertRadix(10, 16, QString::number(v));
}

QList<QString> charactersOf(const QString& text)
{
    QList<QString> chars;
    chars.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            chars.append(text.mid(i, 2));
            ++i;
        } else {
            chars.append(text.mid(i, 1));
        }
    }
    return chars;
}
}  // namespace

Gradation BuildGradation(const GradationOptions& o)
{
    Gradation g;
    const QList<QString> chars = charactersOf(o.text);
    const qint64 n = chars.size();
    if (n == 0)
        return g;
    int from[3];
    int to[3];
    qint64 step[3];
    for (int c = 0; c < 3; ++c) {
        from[c] = RGBSet(o.start[c]);
        to[c] = RGBSet(o.end[c]);
        step[c] = roundHalfEven(to[c] - from[c], n);  // over N, not N - 1
    }
    const int s0 = std::clamp(o.startSize, 1, 7);
    const int s1 = std::clamp(o.endSize, 1, 7);
    int colour[3] = {from[0], from[1], from[2]};
    g.text.reserve(n * (o.fontSize ? 40 : 32));
    g.preview.reserve(n);
    for (qint64 k = 0; k < n; ++k) {
        GradationChar p;
        p.ch = chars[k];
        g.text +=
            QStringLiteral("<font color=\"#") + hex2(colour[0]) + hex2(colour[1]) + hex2(colour[2]) + QLatin1Char('"');
        if (o.fontSize) {
            const int size = s0 + int(roundHalfEven(k * (s1 - s0), n));
            g.text += QStringLiteral(" size=\"") + QString::number(size) + QLatin1Char('"');
            p.pointSize = size + 5;
        }
        g.text += QLatin1Char('>') + chars[k] + QStringLiteral("</font>");
        if (o.lineBreaks)
            g.text += QStringLiteral("\r\n");
        std::copy(colour, colour + 3, p.rgb);
        g.preview.append(p);
        for (int c = 0; c < 3; ++c)
            colour[c] = k == n - 2 ? to[c] : RGBSet(int(colour[c] + step[c]));
    }
    return g;
}

}  // namespace tw
