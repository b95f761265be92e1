#include "platform/web/window.h"

#include <algorithm>
#include <emscripten/emscripten.h>

namespace platform::layer {
namespace {

// `text` as markup shows it, in an element or a quoted attribute.
std::string escaped(std::string_view text) {
    std::string markup;
    for (const char c : text) {
        const std::string_view entity = c == '&'    ? "&amp;"
                                        : c == '<'  ? "&lt;"
                                        : c == '>'  ? "&gt;"
                                        : c == '"'  ? "&quot;"
                                        : c == '\n' ? "&#10;"
                                                    : std::string_view(&c, 1);
        markup += entity;
    }
    return markup;
}

// A CSS rule of `selector` placing a box of `width` by `height` twips.
std::string placed(const std::string& selector, int width, int height, const std::string& more) {
    return selector + "{" + more + "width:" + std::to_string(detail::pixels(width)) +
           "px;height:" + std::to_string(detail::pixels(height)) + "px}";
}

} // namespace

template struct Ender<Window>;
template struct Ender<Control>;

Window::~Window() {
    if (inPage()) {
        rz_close_window(element_.place());
    }
}

// The page's windows are numbered in the order they are made, which gives
// the start-up window the same number as the page was written with.
Owned<Window> MakeWindow(FormWindow& form) {
    static int made = 0;
    return Owned<Window>(new Window(form, "rz-window-" + std::to_string(++made)));
}

// Each kind of control as an element: a field, an output area that is a
// polite live region and takes the focus, a label, and a button.
Markup ControlMarkup(const Window& window, const ControlRecord& control) {
    static constexpr std::pair<const char*, const char*> kinds[] = {
        {"input", " type=text autocomplete=off spellcheck=false"},
        {"output", " tabindex=0 aria-live=polite"},
        {"label", ""},
        {"button", " type=button"}};
    static_assert(std::size(kinds) ==
                  static_cast<std::size_t>(detail::ControlKind::CommandButton) + 1);
    const auto [tag, attributes] = kinds[static_cast<std::size_t>(control.kind)];
    std::string html =
        "<" + std::string(tag) + " id=\"" + escaped(control.name) + "\"" + attributes;
    if (const ControlRecord* named = window.form.namedBy(control)) {
        html += " for=\"" + escaped(named->name) + "\"";
    }
    if (&control == window.form.initialFocus()) {
        html += " autofocus"; // where the focus is when the window opens, even before the program
    }
    html += ">";
    if (control.kind != detail::ControlKind::TextBox) {
        html += escaped(control.caption) + "</" + std::string(tag) + ">";
    }
    return {html, placed("#" + window.id + " #" + control.name, control.width, control.height,
                         "left:" + std::to_string(detail::pixels(control.left)) +
                             "px;top:" + std::to_string(detail::pixels(control.top)) + "px;")};
}

// The window as a desktop draws it: a title bar with the icon and the
// caption, which names the window for assistive technology, above the
// client area, which holds the controls in the labelled order (Tab follows
// it, and so does a screen reader reading on) and a live region that takes
// no room.
Markup WindowMarkup(const Window& window) {
    const FormWindow& form = window.form;
    Markup markup{"<section class=rz-window id=" + window.id + " aria-labelledby=" + window.id +
                      "-caption><div class=rz-title>",
                  placed("#" + window.id + " .rz-form", form.clientWidth, form.clientHeight, "")};
    if (!form.icon.empty()) {
        markup.html += "<img alt='' width=16 height=16 src='" + iconAddress(form.icon) + "'>";
    }
    markup.html += "<h1 id=" + window.id + "-caption>" + escaped(form.caption) +
                   "</h1></div><div class=rz-form>";
    for (const ControlRecord* control : form.labelledOrder()) {
        const Markup made = ControlMarkup(window, *control);
        markup.html += made.html;
        markup.style += made.style;
    }
    // The report of a run-time error, modal to the page when it opens: its
    // title is the window's caption, then an error sign and the message; OK
    // or Escape closes it, and the focus goes back where it was.
    markup.html += "<div class=rz-announcer role=status></div><dialog class=rz-report "
                   "role=alertdialog aria-labelledby=" +
                   window.id + "-report aria-describedby=" + window.id +
                   "-error><h1 id=" + window.id + "-report>" + escaped(form.caption) +
                   "</h1><p><span class=rz-error-sign role=img aria-label=Error>&#x2716;</span> "
                   "<span id=" +
                   window.id +
                   "-error></span></p><form method=dialog><button>OK"
                   "</button></form></dialog></div></section>";
    return markup;
}

const Js& Window::element() const {
    if (element_.place() != 0) {
        return element_;
    }
    adopted_ = rz_page_holds(id.c_str());
    const Markup markup = adopted_ ? Markup{} : WindowMarkup(*this);
    const std::string icon = adopted_ ? std::string() : iconAddress(form.icon);
    const std::string sizes = adopted_ ? std::string() : iconSizes(form.icon);
    element_ = Js(rz_open_window(id.c_str(), markup.html.c_str(), markup.style.c_str(),
                                 form.caption.c_str(), icon.c_str(), sizes.c_str()));
    // Each control's element, taken in one step for all.
    std::vector<const void*> controls;
    std::vector<const char*> names;
    for (const auto& control : form.controls()) {
        controls.push_back(control.get());
        names.push_back(control->name.c_str());
    }
    std::vector<int> elements(controls.size());
    rz_adopt_controls(element_.place(), &form, controls.data(), names.data(), controls.size(),
                      elements.data());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        form.controls()[i]->toolkit->element = Js(elements[i]);
    }
    return element_;
}

const Js& elementOf(const ControlRecord& control) {
    control.toolkit->window.element();
    return control.toolkit->element;
}

// A control made once its window is in the page is added to it.
Owned<Control> MakeControl(Window& window, ControlRecord& control) {
    Owned<Control> made(new Control{window, {}});
    if (window.inPage()) {
        const Markup markup = ControlMarkup(window, control);
        made->element = Js(rz_add_control(window.element().place(), &window.form, &control,
                                          markup.html.c_str(), markup.style.c_str()));
    }
    return made;
}

bool Exists(const Control& control) {
    control.window.element();
    return rz_connected(control.element.place());
}

// The controls stand in the page's order already, unless one was added
// once the window was in the page: that one is moved into its place.
void Arrange(Window& window, const std::vector<ControlRecord*>& order) {
    std::vector<int> elements;
    elements.reserve(order.size());
    for (const ControlRecord* control : order) {
        elements.push_back(elementOf(*control).place());
    }
    rz_arrange(window.element().place(), elements.data(), elements.size());
}

// A window the page held was painted at the size the fit finds in the
// browsers here: its fit waits until the page has painted what the program
// answered the player.
bool FitsAsShown(const Window& window) {
    return !window.adopted();
}

// The focus set with no scrolling, which would lay the page out at once.
void Show(Window& window, const ControlRecord* focus) {
    if (window.adopted()) {
        rz_fit_after_paint(window.element().place(), &window.form);
    }
    if (focus != nullptr) {
        rz_focus(elementOf(*focus).place(), true);
    }
}

void ShowReport(Window& window, const std::string& report) {
    rz_report(window.element().place(), report.c_str());
}

} // namespace platform::layer

// What the page calls after it has painted an adopted window's first answer.
extern "C" EMSCRIPTEN_KEEPALIVE void rz_fit(platform::layer::FormWindow* window) noexcept {
    try {
        window->fitFont();
    } catch (...) {
        // The window keeps the size the page was written with.
    }
}
