#include "editor/builders/radix.h"

#include <limits>

namespace tw {

namespace {

bool validRadix(int radix)
{
    return radix >= 2 && radix <= 36;
}

}  // namespace

int DigitValue(QChar ch)
{
    char16_t c = ch.unicode();
    // ASCII letters only: a full Unicode upper-casing would turn the long s into "S".
    if (c >= u'a' && c <= u'z')
        c = char16_t(c - (u'a' - u'A'));
    if (c <= 64)
        return c >= u'0' && c <= u'9' ? c - u'0' : -1;
    return c <= u'Z' ? c - 55 : -1;
}

QChar DigitChar(int digit)
{
    if (digit < 0 || digit > 35)
        return QChar();
    return QChar(char16_t(digit < 10 ? u'0' + digit : digit + 55));
}

qint64 ToDecimal(int radix, const QString& text, bool* ok)
{
    if (ok)
        *ok = false;
    if (!validRadix(radix))
        return 0;
    qint64 value = 0;
    for (QChar ch : text) {
        const int d = DigitValue(ch);
        if (d < 0 || d >= radix)
            return 0;
        if (value > (std::numeric_limits<qint64>::max() - d) / radix)
            return 0;
        value = value * radix + d;
    }
    if (ok)
        *ok = true;
    return value;
}

QString FromDecimal(int radix, qint64 n)
{
    if (!validRadix(radix))
        return QString();
    if (n == 0)
        return QStringLiteral("0");
    // Work on the magnitude as unsigned so the most negative value has one too.
    quint64 m = n < 0 ? quint64(0) - quint64(n) : quint64(n);
    QString digits;
    while (m > 0) {
        digits.prepend(DigitChar(int(m % quint64(radix))));
        m /= quint64(radix);
    }
    if (n < 0)
        digits.prepend(u'-');
    return digits;
}

QString ConvertRadix(int fromRadix, int toRadix, const QString& text, bool* ok)
{
    bool valid = false;
    const qint64 value = ToDecimal(fromRadix, text, &valid);
    QString result = valid ? FromDecimal(toRadix, value) : QString();
    if (ok)
        *ok = !result.isEmpty();
    if (result.size() == 1)
        result.prepend(u'0');
    return result;
}

}  // namespace tw
