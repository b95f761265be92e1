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
EM_JS(void, copyWholeText, (int place), {
    const area = rzValues[place];
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

Js makeOutputArea(const ControlSlot& /*slot*/) {
    Js area = Js::element("output");
    area.set("tabIndex", Js::number(0));
    area.call("setAttribute", "aria-live", "polite");
    copyWholeText(area.handle());
    return area;
}

void ClearOutput(ControlRecord& control) {
    liveElement(control, "Clear").set("textContent", std::string());
}

void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd) {
    Js area = liveElement(control, "Print");
    std::string printed = area["textContent"].string();
    printed += item;
    if (lineEnd) {
        printed += '\n';
    }
    area.set("textContent", printed);
}

} // namespace platform::detail
