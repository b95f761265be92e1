#pragma once

// Test support: a fixed clock, and the widgets behind a form. Only tests
// include this.

#include "platform/clock.h"
#include "platform/forms.h"
#include "platform/output_area.h"
#include "platform/window.h"

#include <utility>

namespace platform::testing {

// While it lives, the clock reads `milliseconds` since midnight, through the
// same conversion as the system clock.
class FakeClock {
public:
    explicit FakeClock(int milliseconds = 0)
        : previous_(detail::replaceMillisecondSource([this] { return milliseconds_; }))
        , milliseconds_(milliseconds) {}
    ~FakeClock() { detail::replaceMillisecondSource(std::move(previous_)); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    FakeClock(FakeClock&&) = delete;
    FakeClock& operator=(FakeClock&&) = delete;

    void set(int milliseconds) { milliseconds_ = milliseconds; }
    // Sets the clock to the start of the hundredth in which `roll` comes up.
    void setForRoll(int roll) { milliseconds_ = (roll - 1) * 10; }

private:
    detail::MillisecondSource previous_;
    int milliseconds_;
};

inline QWidget* control(const Form& form, std::string_view name) {
    return form.window().control(name);
}

} // namespace platform::testing
