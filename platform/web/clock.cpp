#include "platform/clock.h"

#include <emscripten/emscripten.h>

namespace platform::detail {
namespace {

// The player's own local time, whatever their time zone, in milliseconds
// since midnight. (The body is JavaScript.)
// clang-format off
EM_JS(int, localMilliseconds, (), {
    const now = new Date();
    return ((now.getHours() * 60 + now.getMinutes()) * 60 + now.getSeconds()) * 1000 +
           now.getMilliseconds();
});
// clang-format on

} // namespace

int SystemMilliseconds() {
    return localMilliseconds();
}

} // namespace platform::detail
