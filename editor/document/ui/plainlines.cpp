#include "editor/document/ui/plainlines.h"

namespace tw {

QString crLfFromBoxRaw(const QString& raw)
{
    auto isBreak = [](char16_t u) { return u == 0x2029 || u == 0x2028 || u == 0xFDD0 || u == 0xFDD1; };
    QString out;
    out.reserve(raw.size());
    for (QChar c : raw) {
        if (isBreak(c.unicode()))
            out += QStringLiteral("\r\n");
        else
            out += c;
    }
    return out;
}

QString boxTextFromCrLf(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace tw
