#include "platform/web/page.h"

namespace platform::layer {

// Null, at place 0, is never held: letting go of it needs no step into the
// page.
Js& Js::operator=(Js&& other) noexcept {
    if (this != &other) {
        if (place_ != 0) {
            rz_release(place_);
        }
        place_ = std::exchange(other.place_, 0);
    }
    return *this;
}

Js::~Js() {
    if (place_ != 0) {
        rz_release(place_);
    }
}

Js Js::text(std::string_view text) noexcept {
    return Js(rz_hold_text(text.data(), text.size()));
}

std::string Js::string() const {
    std::string copy(rz_text_size(place_), '\0');
    rz_copy_text(copy.data());
    return copy;
}

} // namespace platform::layer
