// Fuzzes the conversions between text and numbers: reading any text gives a
// finite number, and every finite double written as text reads back as the
// very same double.

#include "platform/conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void require(bool condition, const char* what, std::string_view detail) {
    if (!condition) {
        std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

void roundTrips(double value) {
    if (!std::isfinite(value)) {
        return;
    }
    const std::string text = platform::NumberToText(value);
    require(platform::TextToNumber(text) == value, "does not read back", text);
    require(text != "-0" && !text.empty() && text.front() != ' ', "badly written", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = platform::TextToNumber(text);
    require(std::isfinite(value), "not finite", text);
    roundTrips(value);
    roundTrips(value + value);
    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        roundTrips(bits);
    }
    return 0;
}
