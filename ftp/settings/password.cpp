#include "ftp/settings/password.h"

#include "common/textcodec.h"

#include <QRandomGenerator>

namespace tw {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

}  // namespace

QString EncodePassword(const QString& plain)
{
    if (plain.isEmpty())
        return QString();
    // CP932 holds 〜, —, −, ‖, ¢, £ and ¬ under codes that read back as their
    // full-width twins: such a password would not match at the next login.
    const EncodeResult cp932 = encodeCp932(plain);
    const bool exact = cp932.ok && decodeCp932(cp932.bytes) == plain;
    const QByteArray bytes = exact ? cp932.bytes : kUtf8Mark + plain.toUtf8();
    QString out;
    out.reserve(bytes.size() * 6);
    QRandomGenerator* random = QRandomGenerator::global();
    for (const char c : bytes) {
        out += QStringLiteral("%1").arg(int(uchar(c)), 3, 10, QLatin1Char('0'));
        for (int i = 0; i < 3; ++i)
            out += QChar(u'0' + int(random->bounded(10)));
    }
    return out;
}

QString DecodePassword(const QString& encoded)
{
    if (encoded.isEmpty() || encoded.size() % 6 != 0)
        return QString();
    QByteArray bytes;
    bytes.reserve(encoded.size() / 6);
    for (qsizetype i = 0; i < encoded.size(); i += 6) {
        int value = 0;
        for (qsizetype k = i; k < i + 3; ++k) {
            const QChar c = encoded[k];
            if (c < u'0' || c > u'9')
                return QString();
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > 255)
            return QString();
        bytes.append(char(value));
    }
    if (bytes.startsWith(kUtf8Mark)) {
        const QByteArray utf8 = bytes.mid(kUtf8Mark.size());
        const QString text = QString::fromUtf8(utf8);
        return text.toUtf8() == utf8 ? text : QString();
    }
    return decodeCp932(bytes);
}

}  // namespace tw
