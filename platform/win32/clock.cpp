#include "platform/layer.h"

#include <windows.h>

namespace platform::layer {

int SystemMilliseconds() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

} // namespace platform::layer
