#include "platform/web/window.h"

// What assistive technology finds of a form: each label names the control
// it stands for, the output area is a polite live region, and a second one,
// which takes no room, speaks what a click changed that the output area
// does not show.

namespace platform::detail {

void bindLabels(const ControlList<ControlSlot>& controls) {
    for (const auto& slot : controls) {
        if (const ControlSlot* named = controls.namedBy(*slot)) {
            slot->element.set("htmlFor", named->name);
        }
    }
}

Js makeAnnouncer(const Js& form) {
    Js announcer = Js::element("div");
    announcer.set("className", "rz-announcer");
    announcer.call("setAttribute", "role", "status");
    form.call("appendChild", announcer);
    return announcer;
}

void Window::announce(const Announcement& said) {
    // The output area's own live region speaks the lines it shows.
    announcer_.set("textContent", said.unprinted);
}

} // namespace platform::detail
