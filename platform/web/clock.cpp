#include "platform/layer.h"
#include "platform/web/page.h"

namespace platform::layer {

int SystemMilliseconds() {
    return rz_local_milliseconds();
}

} // namespace platform::layer
