#pragma once

// The clock's source, replaceable so that tests can fix the time, and the
// arithmetic that turns its readings into seconds. The system's own source
// is the layer's (layer.h). Only the core and tests include this.

#include <functional>

namespace platform::detail {

// Milliseconds since local midnight, from 0 to 86,399,999.
using MillisecondSource = std::function<int()>;

// Seconds for a millisecond reading: the middle of that millisecond. Taking
// the middle keeps the reading times 100 strictly inside its hundredth, so
// the floor of it is exact even where ms / 1000.0 * 100 would round just
// below a whole number (0.29 * 100 is 28.999...).
constexpr double secondsFromMilliseconds(int milliseconds) {
    return (milliseconds + 0.5) / 1000.0;
}

// Installs `source` as the clock's source and returns the one it replaces;
// an empty source stands for the system clock.
MillisecondSource replaceMillisecondSource(MillisecondSource source);

} // namespace platform::detail
