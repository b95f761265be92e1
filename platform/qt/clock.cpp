#include "platform/layer.h"

#include <QTime>

namespace platform::layer {

int SystemMilliseconds() {
    return QTime::currentTime().msecsSinceStartOfDay();
}

} // namespace platform::layer
