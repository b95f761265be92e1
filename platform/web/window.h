#pragma once

// The browser's side of a form: the window in the page, adopted from there
// or put there from its markup, and the element of each control; what the
// layer's files share. Only the web layer includes this.

#include "platform/form_window.h"
#include "platform/web/page.h"

#include <span>
#include <string>

namespace platform::layer {

struct Window;

// What the page is given to show a window it does not hold already: its
// markup, the style that places its controls (in CSS pixels), and its icon
// as an address with the sizes it holds.
struct Markup {
    std::string html;
    std::string style;
    std::string icon;
    std::string iconSizes;
};

// Writes that for a window, or for one control added to a window in the
// page (markup.cpp), and how a window the page does not hold is written:
// the test programs set it; the page's program adopts the window its page
// was written with, and leaves the writer out.
Markup MarkupOf(const Window& window, const ControlRecord* control);
inline Markup (*writeMarkup)(const Window& window, const ControlRecord* control) = nullptr;

struct Window {
    Window(FormWindow& shown, int number);
    // The window leaves the page, and its listeners with it.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    // The window's client area, which holds the controls: adopted from the
    // page the first time it is asked for, where the page holds the window
    // already, or else put in the page from its markup.
    const Js& client() const;
    [[nodiscard]] bool inPage() const { return client_.place() != 0; }
    // Whether the page held the window before the program ran.
    [[nodiscard]] bool adopted() const {
        client();
        return adopted_;
    }

    FormWindow& form;
    // The ids of the window's frame, of its caption in the title bar and of
    // its client area.
    const std::string frameId;
    const std::string captionId;
    const std::string clientId;

private:
    mutable Js client_;
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

// The icon file as a data address, which an image or a link shows at once,
// and the image sizes it holds, as a link's sizes attribute lists them.
std::string iconAddress(std::span<const unsigned char> file);
std::string iconSizes(std::span<const unsigned char> file);

} // namespace platform::layer
