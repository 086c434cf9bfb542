#pragma once
// The colour picker's texts: "#RRGGBB" from three components, and the
// number typed into a component box.

#include <QString>

#include <optional>

namespace tw::velmora {

// "#" and two upper-case hexadecimal digits each for red, green and blue.
QString ColourText(int red, int green, int blue);

// A typed component: a whole number from 0 to 255, blanks around it
// allowed; anything else gives nothing.
std::optional<int> parseColourComponent(const QString& text);

// The slider tick spacing: a tenth of the maximum, halves rounded to even.
int tickSpacing(int maximum);

}  // namespace tw::velmora
