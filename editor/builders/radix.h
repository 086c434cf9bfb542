#pragma once
// Radix conversion for the gradation builder: two-digit hexadecimal colour
// components to decimal values and back. Digits are "0"-"9" and then the
// letters "A" = 10 to "Z" = 35, either case on input, upper case on output.
// Radixes run from 2 to 36.

#include <QChar>
#include <QString>

namespace tw {

// The value of one digit: "0"-"9" give 0-9, "A"/"a" to "Z"/"z" give 10-35;
// any other character gives -1.
int DigitValue(QChar ch);
// The digit for 0-35 ("A" for 10); a null character for any other value.
QChar DigitChar(int digit);

// The value of text written in radix, no sign and no prefix; the empty text
// is 0. ok (when given) is false, and the result 0, for a radix outside
// 2-36, a character that is no digit of that radix, or a value beyond the
// 64-bit range.
qint64 ToDecimal(int radix, const QString& text, bool* ok = nullptr);
// n written in radix with upper-case letters; 0 gives "0", a negative number
// gets a leading "-". Empty for a radix outside 2-36.
QString FromDecimal(int radix, qint64 n);
// FromDecimal(toRadix, ToDecimal(fromRadix, text)); a one-character result
// gets a "0" in front, so colour components always have two digits:
// ConvertRadix(16, 10, "FF") is "255", ConvertRadix(10, 16, "10") is "0A".
// Empty, with ok false, when ToDecimal fails or toRadix is out of range.
QString ConvertRadix(int fromRadix, int toRadix, const QString& text, bool* ok = nullptr);

}  // namespace tw
