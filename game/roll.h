#pragma once

#include "platform/runtime.h"

namespace game {

// A whole number from `low` to `high`, computed from the clock: the count of
// hundredths of a second taken modulo the number of faces, plus `low`.
// Reached only from PlaceBet; declared here so the roll can be checked over a
// whole day of hundredths.
platform::Single RollNumber(platform::Single low, platform::Single high);

} // namespace game
