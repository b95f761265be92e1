#include "platform/clock.h"

#include <emscripten/val.h>

namespace platform::detail {

int SystemMilliseconds() {
    // The player's own local time, whatever their time zone.
    const emscripten::val now = emscripten::val::global("Date").new_();
    const auto field = [&now](const char* name) { return now.call<int>(name); };
    return ((field("getHours") * 60 + field("getMinutes")) * 60 + field("getSeconds")) * 1000 +
           field("getMilliseconds");
}

} // namespace platform::detail
