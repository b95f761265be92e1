// The roll, computed from the clock.

#include "game/roll.h"

#include <cmath>

namespace game {

using platform::CheckFloatingPoint;
using platform::Single;

Single RollNumber(Single low, Single high) {
    constexpr Single hundredthsPerSecond = 100;
    // The product is worked in double: a single-precision reading of the
    // seconds could not carry the hundredths late in the day. The count of
    // hundredths stays below 8,640,000, which a Single holds exactly.
    const auto t = static_cast<Single>(
        std::floor(CheckFloatingPoint(platform::Clock() * hundredthsPerSecond)));
    const auto span = static_cast<Single>(CheckFloatingPoint(high - low + 1));
    return t - std::floor(t / span) * span + low;
}

} // namespace game
