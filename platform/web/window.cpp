#include "platform/web/window.h"

#include <algorithm>
#include <emscripten/emscripten.h>
#include <vector>

namespace platform::detail {
namespace {

Js document() {
    return Js::global("document");
}

std::string px(int value) {
    return std::to_string(value) + "px";
}

// The dialog that reports a run-time error, modal to the page: its title is
// the window's caption, then an error sign and the message; OK or Escape
// closes it, and the focus goes back where it was.
Js makeReportDialog(const std::string& caption) {
    Js dialog = Js::element("dialog");
    dialog.set("className", "rz-report");
    dialog.call("setAttribute", "role", "alertdialog");
    dialog.call("setAttribute", "aria-labelledby", "rz-report-title");
    dialog.call("setAttribute", "aria-describedby", "rz-report-text");
    dialog.set("innerHTML", "<h1 id=rz-report-title></h1>"
                            "<p><span class=rz-error-sign role=img aria-label=Error>&#x2716;</span>"
                            " <span id=rz-report-text></span></p>"
                            "<form method=dialog><button>OK</button></form>");
    dialog.call("querySelector", "h1").set("textContent", caption);
    return dialog;
}

// The window's look: native controls at their places in a box of the
// client area's size, in the colours of the browser's light or dark scheme.
constexpr const char* StyleSheet = R"css(
:root { color-scheme: light dark; --rz-caption: #24528a; }
body { margin: 0; min-height: 100vh; display: grid; place-items: center; background: Canvas;
       color: CanvasText; font-family: system-ui, sans-serif; }
main { padding: 8px; }
.rz-window { border: 1px solid var(--rz-caption); box-shadow: 0 4px 16px #0004; }
.rz-title { display: flex; align-items: center; gap: 6px; height: 24px; padding: 0 6px;
            background: var(--rz-caption); color: #fff; }
.rz-title img { flex: none; }
.rz-title h1 { margin: 0; font-size: 14px; font-weight: normal; white-space: nowrap;
               overflow: hidden; text-overflow: ellipsis; }
.rz-form { position: relative; background: ButtonFace; color: ButtonText; line-height: 1.2; }
.rz-form > :not(dialog) { position: absolute; box-sizing: border-box; margin: 0; font: inherit; }
.rz-form button { padding: 0; white-space: pre; }
.rz-form input { padding: 0 4px; }
.rz-form output { display: block; padding: 2px 4px; white-space: pre; overflow: hidden;
                  border: 1px solid GrayText; background: Field; color: FieldText; }
.rz-form output:focus-visible { outline: 2px solid Highlight; outline-offset: -2px; }
.rz-form label { overflow: hidden; }
.rz-form .rz-announcer { width: 1px; height: 1px; overflow: hidden; clip-path: inset(50%);
                         white-space: nowrap; }
.rz-report { font: 1rem system-ui, sans-serif; }
.rz-report h1 { font-size: 1.2em; margin: 0 0 0.5em; }
@media (prefers-color-scheme: dark) {
  :root { --rz-caption: #3b4a63; }
  .rz-form { background: Canvas; color: CanvasText; }
}
)css";

// Names an element, sets its place and size in CSS pixels and puts it on
// `form`, in one step for the many that the window makes. (The bodies of
// these are JavaScript.)
// clang-format off
EM_JS(void, placeElement, (int place, int form, const char* id, int left, int top, int width,
                           int height), {
    const element = rzValues[place];
    element.id = UTF8ToString(id);
    Object.assign(element.style, {left: left + "px", top: top + "px", width: width + "px",
                                  height: height + "px"});
    rzValues[form].append(element);
});

// Gives an element the focus, leaving the page where it stands.
EM_JS(void, focusWithoutScrolling, (int element), {
    rzValues[element].focus({preventScroll: true});
});

// A style sheet made by the page's script and adopted by the document: it
// needs no style element, which a strict content security policy forbids.
EM_JS(void, adoptStyleSheet, (const char* rules), {
    const sheet = new CSSStyleSheet();
    sheet.replaceSync(UTF8ToString(rules));
    document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
});
// clang-format on

} // namespace

void addStyleSheet() {
    static const bool added = (adoptStyleSheet(StyleSheet), true);
    static_cast<void>(added);
}

Window::Window(const FormDescription& description)
    : caption_(description.caption)
    , frame_(Js::element("section"))
    , element_(Js::element("div")) {
    addStyleSheet();
    // The page's own title is the caption already, unless it is another
    // window's: changing it costs a trip to the browser.
    if (document()["title"].string() != caption_) {
        document().set("title", caption_);
    }
    // The window as a desktop draws it: a title bar with the icon and the
    // caption, which names the window for assistive technology, above the
    // client area.
    frame_.set("className", "rz-window");
    frame_.call("setAttribute", "aria-labelledby", "rz-caption");
    frame_.set("innerHTML", "<div class=rz-title><img alt='' width=16 height=16 hidden>"
                            "<h1 id=rz-caption></h1></div>");
    frame_.call("querySelector", "h1").set("textContent", caption_);
    if (!description.icon.empty()) {
        setPageIcon(description.icon);
        const Js image = frame_.call("querySelector", "img");
        image.set("src", iconAddress(description.icon));
        image.set("hidden", Js::boolean(false));
    }
    element_.set("className", "rz-form");
    Js style = element_["style"];
    style.set("width", px(pixels(description.clientWidth)));
    style.set("height", px(pixels(description.clientHeight)));
    frame_.call("appendChild", element_);
    // The page's main part holds the window, or the page itself.
    Js place = document().call("querySelector", "main");
    if (place.isNull()) {
        place = document()["body"];
    }
    place.call("appendChild", frame_);
    announcer_ = makeAnnouncer(element_);
}

Window::~Window() {
    for (const auto& slot : controls_) {
        disconnectControl(*slot);
    }
    frame_.call("remove");
}

ControlSlot& Window::makeControl(ControlRecord record) {
    auto& slot = controls_.add(std::make_unique<ControlSlot>(std::move(record)));
    slot.window = this;
    slot.element = makeControlElement(slot);
    placeElement(slot.element.handle(), element_.handle(), slot.name.c_str(), pixels(slot.left),
                 pixels(slot.top), pixels(slot.width), pixels(slot.height));
    connectControl(slot);
    return slot;
}

void Window::showWithInitialFocus() {
    // The page's order is the tab order, each label just before the control
    // it names: Tab follows it, and so does a screen reader reading on.
    for (const ControlSlot* slot : controls_.labelledOrder()) {
        element_.call("appendChild", slot->element);
    }
    element_.call("appendChild", announcer_);
    bindLabels(controls_);
    // The font fitted before anything lays the page out, so that it is
    // laid out once, at that font; the focus set with no scrolling, which
    // would lay it out at once.
    fitFont(element_, controls_);
    for (const ControlSlot* slot : controls_.tabOrder()) {
        if (slot->element["tabIndex"].number() >= 0) {
            focusWithoutScrolling(slot->element.handle());
            break;
        }
    }
}

Js Window::nextInTabOrder(const ControlSlot& from, bool back) const {
    std::vector<const ControlSlot*> order;
    for (const ControlSlot* slot : controls_.tabOrder()) {
        if (slot->element["isConnected"].truthy() && slot->element["tabIndex"].number() >= 0) {
            order.push_back(slot);
        }
    }
    const auto at = std::find(order.begin(), order.end(), &from);
    if (at == order.end()) {
        return from.element;
    }
    const auto index = static_cast<std::size_t>(at - order.begin());
    const std::size_t next =
        back ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    return order[next]->element;
}

void Window::showReport(const std::string& report) {
    Js dialog = element_.call("querySelector", "dialog.rz-report");
    if (dialog.isNull()) {
        dialog = makeReportDialog(caption_);
        element_.call("appendChild", dialog);
    }
    dialog.call("querySelector", "#rz-report-text").set("textContent", report);
    if (!dialog["open"].truthy()) {
        dialog.call("showModal");
    }
}

std::unique_ptr<FormWindow> MakeWindow(const FormDescription& description) {
    return std::make_unique<Window>(description);
}

} // namespace platform::detail
