#include "platform/toolkit.h"
#include "platform/web/window.h"

#include <cstdint>
#include <emscripten/emscripten.h>
#include <string_view>

namespace platform::detail {
namespace {

// A click on a button: its procedure runs. (The page calls these two.)
void clicked(ControlSlot* slot) noexcept {
    try {
        Dispatch(*slot->window, slot->click);
    } catch (...) {
        // The report itself failed; nothing may cross into the page.
    }
}

// The arrow keys on a button move the focus along the tab order, back or on,
// as on the desktop; Space and Enter click it, as the browser does.
bool arrowed(const ControlSlot* slot, bool back) noexcept {
    try {
        slot->window->nextInTabOrder(*slot, back).call("focus");
    } catch (...) {
        return false;
    }
    return true;
}

// The bodies of these are JavaScript.
// clang-format off
// Makes a field (kind 0), a label (1) or a button (2) showing `caption`.
EM_JS(int, makeElement, (int kind, const char* caption), {
    const element = document.createElement(["input", "label", "button"][kind]);
    if (kind === 0) {
        Object.assign(element, {type: "text", autocomplete: "off", spellcheck: false});
    } else {
        element.textContent = UTF8ToString(caption);
    }
    if (kind === 2) {
        element.type = "button";
    }
    return rzHold(element);
});

// Has a button answer clicks and the arrow keys, through the program's
// `clicked` and `arrowed` for `slot`, until stopListening.
EM_JS(void, listenToButton, (int place, ControlSlot* slot, std::intptr_t click, std::intptr_t arrow), {
    const button = rzValues[place];
    button.rzListening = new AbortController();
    const signal = button.rzListening.signal;
    button.addEventListener("click", event => {
        wasmTable.get(click)(slot);
        event.preventDefault();
    }, {signal});
    button.addEventListener("keydown", event => {
        const back = event.key === "ArrowLeft" || event.key === "ArrowUp";
        if ((back || event.key === "ArrowRight" || event.key === "ArrowDown") &&
            wasmTable.get(arrow)(slot, back)) {
            event.preventDefault();
        }
    }, {signal});
});
EM_JS(void, stopListening, (int place), {
    const listening = rzValues[place].rzListening;
    if (listening) {
        listening.abort();
    }
});
// clang-format on

} // namespace

Js makeControlElement(const ControlSlot& slot) {
    switch (slot.kind) {
    case ControlKind::TextBox:
        return Js::held(makeElement(0, ""));
    case ControlKind::PictureBox:
        return makeOutputArea(slot);
    case ControlKind::Label:
        return Js::held(makeElement(1, slot.caption.c_str()));
    case ControlKind::CommandButton:
        break;
    }
    return Js::held(makeElement(2, slot.caption.c_str()));
}

void connectControl(ControlSlot& slot) {
    if (slot.kind == ControlKind::CommandButton) {
        listenToButton(slot.element.handle(), &slot, reinterpret_cast<std::intptr_t>(&clicked),
                       reinterpret_cast<std::intptr_t>(&arrowed));
    }
}

void disconnectControl(const ControlSlot& slot) {
    if (slot.kind == ControlKind::CommandButton) {
        stopListening(slot.element.handle());
    }
}

Js liveElement(const ControlRecord& control, std::string_view operation) {
    const Js& element = static_cast<const ControlSlot&>(control).element;
    if (element.isNull() || !element["isConnected"].truthy()) {
        RaiseControlError(control.name, operation, "the control no longer exists");
    }
    return element;
}

std::string ReadText(ControlRecord& control, std::string_view operation) {
    return liveElement(control, operation)["value"].string();
}

void WriteText(ControlRecord& control, std::string_view operation, std::string_view text) {
    liveElement(control, operation).set("value", std::string(text));
}

} // namespace platform::detail
