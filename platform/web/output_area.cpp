#include "platform/web/window.h"

#include <emscripten/emscripten.h>

// The output area is an output element that shows what stands printed: each
// item printed goes at its end, and a line end is a line feed, kept as it
// stands. It takes the focus, so a player can read it again and copy it; the
// window's live region says what a click printed.

namespace platform::layer {

void ShowCleared(const ControlRecord& area, std::string_view /*operation*/) {
    rz_clear_text(elementOf(area).place());
}

void ShowPrinted(const ControlRecord& area, std::string_view added) {
    rz_add_text(elementOf(area).place(), added.data(), added.size());
}

} // namespace platform::layer

// What Ctrl+C on the output area copies, held for the page.
extern "C" EMSCRIPTEN_KEEPALIVE int rz_copied(const platform::layer::ControlRecord* area) noexcept {
    return platform::layer::Js::text(platform::layer::FormWindow::copiedText(*area)).release();
}
