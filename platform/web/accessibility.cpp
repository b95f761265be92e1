#include "platform/web/window.h"

// What assistive technology finds of a form: each label names the control
// it stands for, and one polite live region, which takes no room, speaks
// what each click printed and changed, in that order. The output area is no
// live region of its own, so nothing is said twice or out of order.

namespace platform::layer {

void Announce(Window& window, const detail::Announcement& said) {
    rz_announce(window.client().place(), said.text.c_str());
}

} // namespace platform::layer
