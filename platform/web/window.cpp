#include "platform/web/window.h"

#include <emscripten/emscripten.h>
#include <stdexcept>
#include <vector>

namespace platform::layer {

template struct Ender<Window>;
template struct Ender<Control>;

namespace {

// The markup of a window the page does not hold, or of a control added to
// a window in the page, from the program's writer: the page's program has
// none, as its page holds the window.
Markup written(const Window& window, const ControlRecord* control) {
    if (writeMarkup == nullptr) {
        throw std::runtime_error("the page does not hold the window " + window.frameId);
    }
    return writeMarkup(window, control);
}

} // namespace

Window::Window(FormWindow& shown, int number)
    : form(shown)
    , frameId("rz-window-" + std::to_string(number))
    , captionId(frameId + "-caption")
    , clientId(frameId + "-client") {}

Window::~Window() {
    if (inPage()) {
        rz_close_window(client_.place());
    }
}

// The page's windows are numbered in the order they are made, which gives
// the start-up window the number the page was written with.
Owned<Window> MakeWindow(FormWindow& form) {
    static int made = 0;
    return Owned<Window>(new Window(form, ++made));
}

const Js& Window::client() const {
    if (client_.place() != 0) {
        return client_;
    }
    adopted_ = rz_page_holds(frameId.c_str());
    const Markup markup = adopted_ ? Markup{} : written(*this, nullptr);
    client_ = Js(rz_open_window(frameId.c_str(), clientId.c_str(), markup.html.c_str(),
                                markup.style.c_str(), form.caption.c_str(), markup.icon.c_str(),
                                markup.iconSizes.c_str()));
    for (const auto& control : form.controls()) {
        control->toolkit->element =
            Js(rz_adopt_control(client_.place(), &form, control.get(), control->name.c_str()));
    }
    return client_;
}

const Js& elementOf(const ControlRecord& control) {
    control.toolkit->window.client();
    return control.toolkit->element;
}

// A control made once its window is in the page is added to it.
Owned<Control> MakeControl(Window& window, ControlRecord& control) {
    Owned<Control> made(new Control{window, {}});
    if (window.inPage()) {
        const Markup markup = written(window, &control);
        made->element = Js(rz_add_control(window.client().place(), &window.form, &control,
                                          markup.html.c_str(), markup.style.c_str()));
    }
    return made;
}

bool Exists(const Control& control) {
    control.window.client();
    return rz_connected(control.element.place());
}

// A window that the page held stands in the labelled order already; one
// put in the page may have had a control added since, which moves into its
// place.
void Arrange(Window& window, const std::vector<ControlRecord*>& order) {
    if (window.adopted()) {
        return;
    }
    std::vector<int> elements;
    elements.reserve(order.size());
    for (const ControlRecord* control : order) {
        elements.push_back(elementOf(*control).place());
    }
    rz_arrange(window.client().place(), elements.data(), elements.size());
}

// A window the page held was painted at the size the fit finds in the
// browsers here: its fit waits until the page has painted what the program
// answered the player.
bool FitsAsShown(const Window& window) {
    return !window.adopted();
}

// The focus set with no scrolling, which would lay the page out at once,
// unless the player has put it in the window already.
void Show(Window& window, const ControlRecord* focus) {
    if (window.adopted()) {
        rz_fit_after_paint(window.client().place(), &window.form);
    }
    if (focus != nullptr) {
        rz_focus(elementOf(*focus).place(), window.client().place());
    }
}

void ShowReport(Window& window, const std::string& report) {
    rz_report(window.client().place(), report.c_str());
}

} // namespace platform::layer

// What the page calls after it has painted an adopted window's first answer.
extern "C" EMSCRIPTEN_KEEPALIVE void rz_fit(platform::layer::FormWindow* form) noexcept {
    try {
        form->fitFont();
    } catch (...) {
        // The window keeps the size the page was written with.
    }
}
