#include "ftp/session/progress.h"

#include <QCoreApplication>

#include <algorithm>

namespace tw {

void FtpProgressListener::pumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

QString formatKiloBytes(qint64 bytes)
{
    // 0 is shown as 0: an empty number ("KB / KB") says nothing.
    const qint64 kb = std::max<qint64>(0, (bytes + 512) / 1024);
    QString digits = QString::number(kb);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits;
}

QString formatTransferCounter(qint64 done, qint64 total)
{
    return formatKiloBytes(done) + QStringLiteral("KB / ") + formatKiloBytes(total) + QStringLiteral("KB");
}

QString transferModeCaption(bool ascii)
{
    return ascii ? QStringLiteral("転送モード Ascii") : QStringLiteral("転送モード Binary");
}

}  // namespace tw
