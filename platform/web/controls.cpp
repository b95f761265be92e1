#include "platform/toolkit.h"
#include "platform/web/window.h"

#include <emscripten/html5.h>
#include <string_view>

namespace platform::detail {
namespace {

EM_BOOL clicked(int /*type*/, const EmscriptenMouseEvent* /*event*/, void* data) noexcept {
    auto& slot = *static_cast<ControlSlot*>(data);
    try {
        Dispatch(*slot.window, slot.click);
    } catch (...) {
        // The report itself failed; nothing may cross into the page.
    }
    return EM_TRUE;
}

// The arrow keys on a button move the focus along the tab order, back or on,
// as on the desktop; Space and Enter click it, as the browser does.
EM_BOOL keyDown(int /*type*/, const EmscriptenKeyboardEvent* event, void* data) noexcept {
    const std::string_view key = event->key;
    const bool back = key == "ArrowLeft" || key == "ArrowUp";
    if (!back && key != "ArrowRight" && key != "ArrowDown") {
        return EM_FALSE;
    }
    try {
        const auto& slot = *static_cast<const ControlSlot*>(data);
        slot.window->nextInTabOrder(slot, back).call("focus");
    } catch (...) {
        return EM_FALSE;
    }
    return EM_TRUE;
}

} // namespace

Js makeControlElement(const ControlSlot& slot) {
    switch (slot.kind) {
    case ControlKind::TextBox: {
        Js field = Js::element("input");
        field.set("type", "text");
        field.set("autocomplete", "off");
        field.set("spellcheck", Js::boolean(false));
        return field;
    }
    case ControlKind::PictureBox:
        return makeOutputArea(slot);
    case ControlKind::Label: {
        Js label = Js::element("label");
        label.set("textContent", slot.caption);
        return label;
    }
    case ControlKind::CommandButton:
        break;
    }
    Js button = Js::element("button");
    button.set("type", "button");
    button.set("textContent", slot.caption);
    return button;
}

void connectControl(ControlSlot& slot) {
    if (slot.kind == ControlKind::CommandButton) {
        const std::string target = "#" + slot.name;
        emscripten_set_click_callback(target.c_str(), &slot, EM_FALSE, clicked);
        emscripten_set_keydown_callback(target.c_str(), &slot, EM_FALSE, keyDown);
    }
}

void disconnectControl(const ControlSlot& slot) {
    if (slot.kind == ControlKind::CommandButton && slot.element["isConnected"].truthy()) {
        const std::string target = "#" + slot.name;
        emscripten_set_click_callback(target.c_str(), nullptr, EM_FALSE, nullptr);
        emscripten_set_keydown_callback(target.c_str(), nullptr, EM_FALSE, nullptr);
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
