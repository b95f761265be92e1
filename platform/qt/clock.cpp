#include "platform/clock.h"

#include <QTime>

namespace platform::detail {

int SystemMilliseconds() {
    return QTime::currentTime().msecsSinceStartOfDay();
}

} // namespace platform::detail
