#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Single-precision floating value, the type of the roll and its bounds.
using Single = float;

// An error that a procedure does not handle. It unwinds the procedure, which
// releases what it holds on the way, and is reported by the event dispatch
// that called the procedure. The program goes on after the report.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& what)
        : std::runtime_error(what) {}
};

// Seconds since local midnight on the system's real-time clock. The fraction
// carries the hundredths: for every hundredth h of the day, floor of the
// reading times 100 is exactly h.
double Clock();

// Raises a RuntimeError when `value`, the result of a floating-point step on
// finite operands, shows an invalid operation (NaN) or an overflow
// (infinity); otherwise returns `value` unchanged.
double CheckFloatingPoint(double value);

// Raises the RuntimeError for a control operation that failed: `control` is
// the control's name, `operation` what was asked of it and `reason` why it
// failed.
[[noreturn]] void RaiseControlError(std::string_view control, std::string_view operation,
                                    std::string_view reason);

namespace detail {
// The text of a run-time error's report: "Run-time error: " and what went
// wrong.
std::string RunTimeErrorReport(std::string_view what);
} // namespace detail

} // namespace platform
