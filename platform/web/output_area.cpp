#include "platform/toolkit.h"
#include "platform/web/window.h"

#include <emscripten/emscripten.h>

// The output area is an output element whose text is the printed text
// itself: the print position is always at its end, and a line end is a line
// feed, kept as it stands. It is a polite live region, so a screen reader
// speaks what a click printed, and it takes the focus, so a player can read
// it again and copy it.

namespace platform::detail {
namespace {

// Ctrl+C on the output area copies all of its text, without the line end
// that only holds the print position; text the player selected in it is
// copied as the browser copies it. (The body is JavaScript.)
// clang-format off
EM_JS(void, copyWholeText, (emscripten::EM_VAL handle), {
    const area = Emval.toValue(handle);
    const selectedInside = () => {
        const selection = document.getSelection();
        return !selection.isCollapsed && area.contains(selection.anchorNode);
    };
    area.ownerDocument.addEventListener("copy", event => {
        if (document.activeElement === area && !selectedInside()) {
            const text = area.textContent;
            event.clipboardData.setData("text/plain",
                                        text.endsWith("\n") ? text.slice(0, -1) : text);
            event.preventDefault();
        }
    });
    area.addEventListener("keydown", event => {
        if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === "c" &&
            !selectedInside()) {
            document.execCommand("copy");
            event.preventDefault();
        }
    });
});
// clang-format on

} // namespace

val makeOutputArea(const ControlSlot& /*slot*/) {
    val area = val::global("document").call<val>("createElement", std::string("output"));
    area.set("tabIndex", 0);
    area.call<void>("setAttribute", std::string("aria-live"), std::string("polite"));
    copyWholeText(area.as_handle());
    return area;
}

void ClearOutput(ControlRecord& control) {
    liveElement(control, "Clear").set("textContent", std::string());
}

void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd) {
    val area = liveElement(control, "Print");
    std::string printed = area["textContent"].as<std::string>();
    printed += item;
    if (lineEnd) {
        printed += '\n';
    }
    area.set("textContent", printed);
}

} // namespace platform::detail
