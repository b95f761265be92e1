#pragma once

// The browser's side of a form: the window in the page, written as markup by
// one function from the core's list of controls and adopted from there, and
// the element of each control; what the layer's files share. Only the web
// layer includes this.

#include "platform/form_window.h"
#include "platform/web/page.h"

#include <span>
#include <string>

namespace platform::layer {

// A window's markup: the window itself, and the style that places its
// controls, in CSS pixels.
struct Markup {
    std::string html;
    std::string style;
};

struct Window {
    Window(FormWindow& shown, std::string frameId)
        : form(shown)
        , id(std::move(frameId)) {}
    // The window leaves the page, and its listeners with it.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    // The window's client area, which holds the controls: adopted from the
    // page the first time it is asked for, where the page holds the window
    // already, or else put in the page from its markup.
    const Js& element() const;
    [[nodiscard]] bool inPage() const { return element_.place() != 0; }
    // Whether the page held the window before the program ran.
    [[nodiscard]] bool adopted() const {
        element();
        return adopted_;
    }

    FormWindow& form;
    const std::string id; // of the window's frame in the page

private:
    mutable Js element_;
    mutable bool adopted_ = false;
};

// The control's element, taken from the page with its window; an operation
// on it fails once it has left the page.
struct Control {
    Window& window;
    Js element;
};

// The element of a control, its window in the page.
const Js& elementOf(const ControlRecord& control);

// The markup of a window with its controls in the labelled order, and of a
// control added to a window that is in the page already.
Markup WindowMarkup(const Window& window);
Markup ControlMarkup(const Window& window, const ControlRecord& control);

// The icon file as a data address, which an image or a link shows at once,
// and the image sizes it holds, as a link's sizes attribute lists them.
std::string iconAddress(std::span<const unsigned char> file);
std::string iconSizes(std::span<const unsigned char> file);

} // namespace platform::layer
