// The run-time error path (raising an error with its report), the clock's
// source and its reading, and the floating-point check.

#include "platform/runtime.h"

#include "platform/clock.h"
#include "platform/layer.h"

#include <cmath>
#include <utility>

namespace platform {
namespace {

detail::MillisecondSource& millisecondSource() {
    static detail::MillisecondSource source;
    return source;
}

[[noreturn]] void raise(std::string_view description) {
    throw RuntimeError(detail::RunTimeErrorReport(description));
}

} // namespace

namespace detail {
std::string RunTimeErrorReport(std::string_view what) {
    return "Run-time error: " + std::string(what);
}

MillisecondSource replaceMillisecondSource(MillisecondSource source) {
    return std::exchange(millisecondSource(), std::move(source));
}
} // namespace detail

double Clock() {
    const auto& source = millisecondSource();
    const int milliseconds = source ? source() : layer::SystemMilliseconds();
    return detail::secondsFromMilliseconds(milliseconds);
}

double CheckFloatingPoint(double value) {
    // The operands of every checked step are finite, so a NaN can only come
    // from an invalid operation, and an infinity from an overflow or a
    // division by zero, which none of the checked steps performs.
    if (std::isnan(value)) {
        raise("invalid floating-point operation");
    }
    if (std::isinf(value)) {
        raise("overflow");
    }
    return value;
}

void RaiseControlError(std::string_view control, std::string_view operation,
                       std::string_view reason) {
    raise(std::string(control) + "." + std::string(operation) + " failed: " + std::string(reason));
}

} // namespace platform
