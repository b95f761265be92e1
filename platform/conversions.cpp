// The conversions between text and numbers that the game calls: reading
// the number a text starts with, and writing a double in the fewest digits
// that read back as it.

#include "platform/conversions.h"

#include "platform/layer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace platform {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The parts of a number found at the start of a text; the text itself is not
// copied, only positions into it are kept.
struct NumberExtent {
    std::size_t begin = 0;  // first character of the unsigned number
    std::size_t end = 0;    // one past its last character
    bool negative = false;  // a leading '-'
    bool hasDigits = false; // at least one mantissa digit was seen
    // Decimal order of magnitude of the first non-zero mantissa digit before
    // the exponent is applied: 0 for the units digit, -1 for tenths. Only
    // meaningful when `nonZero` is set.
    std::int64_t leadingOrder = 0;
    bool nonZero = false;
    std::int64_t exponent = 0; // saturated, so a huge exponent cannot wrap
};

NumberExtent scanNumber(std::string_view text) {
    NumberExtent n;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        n.negative = text[i] == '-';
        ++i;
    }
    n.begin = i;

    std::int64_t integerDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (!n.nonZero && text[i] != '0') {
            n.nonZero = true;
            n.leadingOrder = -integerDigits; // corrected below by the digit count
        }
        ++integerDigits;
        ++i;
    }
    if (n.nonZero) {
        n.leadingOrder += integerDigits - 1;
    }
    std::int64_t fractionDigits = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++fractionDigits;
            if (!n.nonZero && text[i] != '0') {
                n.nonZero = true;
                n.leadingOrder = -fractionDigits;
            }
            ++i;
        }
    }
    n.hasDigits = integerDigits + fractionDigits > 0;
    n.end = i;
    if (!n.hasDigits) {
        return n;
    }

    // An exponent counts only when at least one digit follows the 'e' and its
    // optional sign; otherwise "2e" is the number 2 followed by other text.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            constexpr std::int64_t saturation = std::int64_t{1} << 40;
            std::int64_t exponent = 0;
            while (j < text.size() && isDigit(text[j])) {
                if (exponent < saturation) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
                ++j;
            }
            n.exponent = negativeExponent ? -exponent : exponent;
            n.end = j;
        }
    }
    return n;
}

#if defined(__cpp_lib_to_chars)
// The library converts doubles itself, exactly and in the shortest form.
using std::from_chars;
using std::to_chars;
#else
// A C++ library without the floating-point conversions (WebAssembly's): the
// platform's own, which read a decimal number correctly rounded and find the
// shortest digits that read back as the same double. Only what this file
// asks of them is done.
std::from_chars_result from_chars(const char* first, const char* last, double& value,
                                  std::chars_format /*general*/) {
    const double read = layer::ReadDecimal(std::string_view(first, last - first));
    if (std::isinf(read)) {
        return {last, std::errc::result_out_of_range};
    }
    value = read;
    return {last, std::errc{}};
}

// The shortest digits, written as printf's %f or %e would write them,
// whichever is shorter, %f on a tie.
std::to_chars_result to_chars(char* first, char* last, double value) {
    std::array<char, 32> text{};
    char* out = text.data();
    if (std::signbit(value)) {
        *out++ = '-';
    }
    if (std::isnan(value) || std::isinf(value)) {
        out = std::copy_n(std::isnan(value) ? "nan" : "inf", 3, out);
    } else {
        int exponent = 0;
        const std::string digits = layer::ShortestDigits(std::fabs(value), exponent);
        const auto count = static_cast<int>(digits.size());
        const int magnitude = std::abs(exponent);
        const int scientific = count + (count > 1 ? 1 : 0) + (magnitude < 100 ? 4 : 5);
        const int fixed = exponent >= count - 1 ? exponent + 1
                          : exponent >= 0       ? count + 1
                                                : count + 1 - exponent;
        if (fixed <= scientific && exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -exponent - 1, '0');
            out = std::copy(digits.begin(), digits.end(), out);
        } else if (fixed <= scientific) {
            // The digits with the point where the exponent puts it, and the
            // zeros that a whole number needs after them.
            for (int place = 0; place <= std::max(exponent, count - 1); ++place) {
                if (place == exponent + 1) {
                    *out++ = '.';
                }
                *out++ = place < count ? digits[place] : '0';
            }
        } else {
            *out++ = digits[0];
            if (count > 1) {
                *out++ = '.';
                out = std::copy(digits.begin() + 1, digits.end(), out);
            }
            *out++ = 'e';
            *out++ = exponent < 0 ? '-' : '+';
            if (magnitude < 10) {
                *out++ = '0';
            }
            out = std::to_chars(out, text.data() + text.size(), magnitude).ptr;
        }
    }
    const auto size = out - text.data();
    if (size > last - first) {
        return {last, std::errc::value_too_large};
    }
    return {std::copy_n(text.data(), size, first), std::errc{}};
}
#endif

} // namespace

double TextToNumber(std::string_view text) {
    const NumberExtent n = scanNumber(text);
    if (!n.hasDigits) {
        return 0.0;
    }
    const char* const first = text.data() + n.begin;
    const char* const last = text.data() + n.end;
    double magnitude = 0.0;
    const auto [ptr, ec] = from_chars(first, last, magnitude, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the order of magnitude of the
        // leading digit tells which.
        const bool overflow = n.nonZero && n.leadingOrder + n.exponent > 0;
        magnitude = overflow ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc{} || ptr != last) {
        // The scanner accepted only what from_chars reads; anything else is a
        // fault of this function, and no number is the safe answer.
        magnitude = 0.0;
    }
    return n.negative ? -magnitude : magnitude;
}

std::string NumberToText(double value) {
    if (value == 0.0) {
        return "0"; // both zeros, so "-0" never appears
    }
    // The longest shortest-round-trip text of a double is 24 characters.
    std::array<char, 32> buffer{};
    const auto [end, ec] = to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc{} ? std::string(buffer.data(), end) : std::string{};
}

} // namespace platform
