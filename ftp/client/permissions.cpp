#include "ftp/client/permissions.h"

namespace tw {

PermissionDigits PermissionDigits::fromAccessText(const QString& text)
{
    PermissionDigits p;
    // The first three characters are the digits ("644 " after a change);
    // a shorter all-digit text lost its leading zeros in the listing ("44").
    QString digits = text.left(3);
    bool number = false;
    digits.toUInt(&number, 10);
    if (number && digits.size() < 3)
        digits = digits.rightJustified(3, u'0');
    for (int k = 0; k < 3 && k < digits.size(); ++k) {
        // Only 0 to 7 are permission digits; 8 and 9 keep the bits they
        // have, anything else counts as 0.
        const int d = digits[k].digitValue();
        p.m_digits[k] = d < 0 ? 0 : d & 7;
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
