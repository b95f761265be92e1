#include "platform/web/window.h"

// What assistive technology finds of a form: each label names the control
// it stands for, the output area is a polite live region, and a second one,
// which takes no room, speaks what a click changed that the output area
// does not show.

namespace platform::layer {

void Announce(Window& window, const detail::Announcement& said) {
    rz_announce(window.client().place(), said.unprinted.c_str());
}

} // namespace platform::layer
