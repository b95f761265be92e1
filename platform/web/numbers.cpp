#include "platform/layer.h"
#include "platform/web/page.h"

// The conversions of doubles that the C++ library of WebAssembly lacks, done
// by the browser's own, which are exact.

namespace platform::layer {

double ReadDecimal(std::string_view text) {
    return rz_decimal_value(text.data(), text.size());
}

std::string ShortestDigits(double magnitude, int& exponent) {
    char digits[18] = {};
    exponent = rz_shortest_decimal(magnitude, digits);
    return digits;
}

} // namespace platform::layer
