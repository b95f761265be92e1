#include "platform/web/window.h"

#include <emscripten/emscripten.h>

namespace platform::layer {

std::string ReadText(const ControlRecord& field, std::string_view /*operation*/) {
    return Js(rz_value(elementOf(field).place())).string();
}

void WriteText(const ControlRecord& field, std::string_view /*operation*/, std::string_view text) {
    rz_set_value(elementOf(field).place(), text.data(), text.size());
}

} // namespace platform::layer

// What the page calls: a click on a button runs its procedure, and the arrow
// keys on it move the focus along the tab order. Nothing may cross into the
// page.
extern "C" {

EMSCRIPTEN_KEEPALIVE void rz_clicked(platform::layer::FormWindow* form,
                                     const platform::layer::ControlRecord* button) noexcept {
    try {
        form->click(*button);
    } catch (...) {
        // The report itself failed; the page goes on.
    }
}

EMSCRIPTEN_KEEPALIVE void rz_arrowed(platform::layer::FormWindow* form,
                                     const platform::layer::ControlRecord* button,
                                     bool back) noexcept {
    try {
        rz_focus(platform::layer::elementOf(form->nextInTabOrder(*button, back)).place(), 0);
    } catch (...) {
        // The focus stays where it is.
    }
}

} // extern "C"
