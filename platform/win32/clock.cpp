#include "platform/clock.h"

#include <windows.h>

namespace platform::detail {

int SystemMilliseconds() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

} // namespace platform::detail
