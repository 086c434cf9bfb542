#include "ftp/client/permissions.h"

namespace tw {

PermissionDigits PermissionDigits::fromAccessText(const QString& text)
{
    PermissionDigits p;
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value == 0 || text.size() > 3)
        return p;
    const QString digits = text.rightJustified(3, u'0');
    for (int k = 0; k < 3; ++k) {
        // Only 0 to 7 are permission digits; 8 and 9 keep the bits they have.
        p.m_digits[k] = digits[k].digitValue() & 7;
    }
    return p;
}

void PermissionDigits::setBox(int cls, int box, bool on)
{
    if (on)
        m_digits[cls] |= kBoxValue[box];
    else
        m_digits[cls] &= ~kBoxValue[box];
}

QString PermissionDigits::text() const
{
    return QString::number(m_digits[0]) + QString::number(m_digits[1]) + QString::number(m_digits[2]);
}

QString PermissionDigits::chmodCommand(const QString& name) const
{
    return QStringLiteral("SITE CHMOD ") + text() + u' ' + name + u'\r';
}

}  // namespace tw
