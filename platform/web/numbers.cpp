#include <emscripten/emscripten.h>
#include <string>
#include <string_view>

// The conversions of doubles that the C++ library of WebAssembly lacks, done
// by the browser's own, which are exact: Number() rounds a decimal text to
// the nearest double, and toExponential() writes the shortest digits that
// read back as the same one.

namespace platform::detail {
namespace {

// The bodies of these are JavaScript.
// clang-format off
EM_JS(double, decimalValue, (const char* text, std::size_t size), {
    return Number(UTF8ToString(text, size));
});
// Writes the digits, at most 17 and a terminating zero, into `digits`.
EM_JS(int, shortestDecimal, (double magnitude, char* digits), {
    const [mantissa, exponent] = magnitude.toExponential().split("e");
    stringToUTF8(mantissa.replace(".", ""), digits, 18);
    return Number(exponent);
});
// clang-format on

} // namespace

double ReadDecimal(std::string_view text) {
    return decimalValue(text.data(), text.size());
}

std::string ShortestDigits(double magnitude, int& exponent) {
    char digits[18] = {};
    exponent = shortestDecimal(magnitude, digits);
    return digits;
}

} // namespace platform::detail
