#pragma once

#include <string>
#include <string_view>

namespace platform {

// Reads the number at the start of `text`: blanks may precede it, then an
// optional sign, digits with an optional decimal point, and an optional
// exponent. Whatever follows the number is ignored, so "12abc" gives 12.
// Text that holds no number gives 0, and a magnitude beyond the range of a
// double gives the largest finite double of that sign. It never fails and
// never yields NaN or infinity.
double TextToNumber(std::string_view text);

// Writes the shortest text that TextToNumber reads back as the very same
// double: no leading blank, whole numbers without a point ("20", "-40") and
// never "-0". Infinity and NaN, which no balance can hold, are written as
// "inf", "-inf" and "nan".
std::string NumberToText(double value);

} // namespace platform
