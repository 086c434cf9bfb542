#pragma once
// Helpers the generators share: numbers as the user typed them and the
// percent-or-pixels size fields.

#include <QString>
#include <QStringList>

#include <optional>

namespace tw {

// A number as typed ("3", " 1.0 "); nothing for text that is none.
std::optional<double> typedNumber(const QString& text);
// How many times a loop "for i = 1 to count" runs: 0 below 1, else the
// whole part.
double loopCount(double count);

// The unit combos' items: "パーセント", "ピクセル".
const QStringList& sizeUnitNames();
// The value followed by "%" when the unit reads "パーセント"; pixels (or any
// other unit text) give the bare value.
QString sizeWithUnit(const QString& value, const QString& unit);

}  // namespace tw
