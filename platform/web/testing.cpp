#include "platform/testing.h"

#include "platform/web/window.h"

#include <cmath>
#include <emscripten/emscripten.h>
#include <stdexcept>

// The driver works the page with the browser's own input: it asks the test
// runner (tests/web/run.mjs), through the function rollingZembHost it puts
// in the page, to click and press keys as a player does, and waits for it.

namespace platform::testing {
namespace {

using detail::Js;

// The bodies of these are JavaScript.
// clang-format off
EM_ASYNC_JS(void, hostPress, (const char* key), {
    await rollingZembHost("press", UTF8ToString(key));
});
EM_ASYNC_JS(void, hostClick, (double x, double y), {
    await rollingZembHost("click", x, y);
});
// What Chromium's accessibility tree holds for the element of id `id`.
EM_ASYNC_JS(char*, hostAccessible, (const char* id, const char* property), {
    const text = await rollingZembHost("accessible", UTF8ToString(id), UTF8ToString(property));
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});
EM_ASYNC_JS(char*, readClipboard, (), {
    const text = await navigator.clipboard.readText();
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});
EM_ASYNC_JS(void, nextFrame, (), {
    await new Promise(resolve => requestAnimationFrame(() => resolve()));
});
// Keeps what the form's live regions say after each change, their texts
// joined in the page's order, as a screen reader hears them.
EM_JS(void, listenToLiveRegions, (int place), {
    const form = rzValues[place];
    form.rollingZembHeard = [];
    const regions = () => [...form.querySelectorAll("[aria-live], [role=status]")];
    new MutationObserver(records => {
        if (records.some(record => regions().some(region => region.contains(record.target)))) {
            const texts = regions().map(region => region.textContent)
                              .map(text => text.endsWith("\n") ? text.slice(0, -1) : text);
            form.rollingZembHeard.push(texts.filter(text => text !== "").join("\n"));
        }
    }).observe(form, {subtree: true, childList: true, characterData: true});
});
// clang-format on

std::string taken(char* text) {
    std::string copy(text);
    std::free(text);
    return copy;
}

double ratio() {
    return Js::global("devicePixelRatio").number();
}

int scaled(double cssPixels) {
    return static_cast<int>(std::lround(cssPixels * ratio()));
}

} // namespace

struct Session::Toolkit {};

Session::Session(int& /*argc*/, char** /*argv*/) {}

Session::~Session() = default;

struct Driver::State {
    explicit State(detail::Window& shown)
        : window(shown) {}

    [[nodiscard]] const detail::ControlSlot& slot(std::string_view name) const {
        return NamedControl(window, name, [](const detail::ControlSlot& found) {
            return found.element["isConnected"].truthy();
        });
    }
    [[nodiscard]] const Js& element(std::string_view name) const { return slot(name).element; }
    [[nodiscard]] Rect inPixels(const Js& box) const {
        const Js form = window.element().call("getBoundingClientRect");
        const double left = form["left"].number() + window.element()["clientLeft"].number();
        const double top = form["top"].number() + window.element()["clientTop"].number();
        return {scaled(box["left"].number() - left), scaled(box["top"].number() - top),
                scaled(box["width"].number()), scaled(box["height"].number())};
    }

    // Closes each error report that is open, with Escape, as a player does.
    void closeReports() {
        Js dialog = window.element().call("querySelector", "dialog[open]");
        while (!dialog.isNull()) {
            const Js sign = dialog.call("querySelector", "[role=img][aria-label=Error]");
            reports.push_back(
                {dialog.call("querySelector", "h1")["textContent"].string(),
                 dialog.call("querySelector", "#rz-report-text")["textContent"].string(),
                 dialog.call("matches", ":modal").truthy(), !sign.isNull()});
            hostPress("Escape");
            if (dialog["open"].truthy()) {
                throw std::runtime_error("Escape did not close the error report");
            }
            dialog = window.element().call("querySelector", "dialog[open]");
        }
    }

    detail::Window& window;
    std::vector<Report> reports;
};

Driver::Driver(Form& form)
    : state_(std::make_unique<State>(static_cast<detail::Window&>(form.window()))) {
    form.Show();
    listenToLiveRegions(state_->window.element().handle());
    nextFrame();
}

Driver::~Driver() = default;

void Driver::Click(std::string_view button) {
    const detail::ControlSlot& slot = state_->slot(button);
    if (slot.kind != detail::ControlKind::CommandButton) {
        throw std::invalid_argument(std::string(button) + " is not a button");
    }
    const Js box = state_->element(button).call("getBoundingClientRect");
    hostClick(box["left"].number() + box["width"].number() / 2,
              box["top"].number() + box["height"].number() / 2);
    state_->closeReports();
}

void Driver::Press(Key key) {
    static const char* const keys[] = {"Tab",   "Shift+Tab", "ArrowLeft",   "ArrowRight",
                                       "Space", "Enter",     "NumpadEnter", "Control+C"};
    static_assert(std::size(keys) == static_cast<std::size_t>(Key::Copy) + 1);
    hostPress(keys[static_cast<std::size_t>(key)]);
    state_->closeReports();
}

void Driver::SetText(std::string_view field, std::string_view text) {
    if (state_->slot(field).kind != detail::ControlKind::TextBox) {
        throw std::invalid_argument(std::string(field) + " is not a field");
    }
    state_->element(field).set("value", std::string(text));
}

std::string Driver::Text(std::string_view control) const {
    const Js element = state_->element(control);
    return element[state_->slot(control).kind == detail::ControlKind::TextBox ? "value"
                                                                              : "textContent"]
        .string();
}

std::string Driver::WindowCaption() const {
    // The caption as the window's title bar shows it; the page's title,
    // which the tab shows, must say the same.
    const std::string shown = state_->window.element()["parentElement"]
                                  .call("querySelector", "h1")["textContent"]
                                  .string();
    const std::string title = Js::global("document")["title"].string();
    return shown == title ? shown : "title bar '" + shown + "', page title '" + title + "'";
}

bool Driver::IsShown() const {
    return state_->window.element().call("checkVisibility").truthy();
}

int Driver::Dpi() const {
    return static_cast<int>(std::lround(96 * ratio()));
}

Rect Driver::ClientArea() const {
    const Js& form = state_->window.element();
    return {0, 0, scaled(form["clientWidth"].number()), scaled(form["clientHeight"].number())};
}

Rect Driver::Geometry(std::string_view control) const {
    return state_->inPixels(state_->element(control).call("getBoundingClientRect"));
}

CaptionExtent Driver::MeasureCaption(std::string_view control) const {
    const Js element = state_->element(control);
    const detail::CaptionSize size =
        detail::measureCaption(element, Js::global("getComputedStyle")(element)["font"].string());
    return {
        {scaled(size.lineWidth), scaled(size.lineHeight), scaled(size.widestWord),
         scaled(size.wrappedHeight)},
        {0, 0, scaled(element["clientWidth"].number()), scaled(element["clientHeight"].number())}};
}

std::string Driver::FocusedControl() const {
    const Js focus = Js::global("document")["activeElement"];
    if (focus.isNull() || focus["id"].isNull()) {
        return {};
    }
    const detail::ControlSlot* slot = state_->window.find(focus["id"].string());
    return slot != nullptr && slot->element == focus ? slot->name : std::string();
}

bool Driver::TakesFocus(std::string_view control) const {
    return state_->element(control)["tabIndex"].number() >= 0;
}

std::vector<int> Driver::IconSizes() const {
    const Js link = Js::global("document").call("querySelector", "link[rel=icon]");
    std::vector<int> sizes;
    if (!link.isNull()) {
        const std::string listed = link.call("getAttribute", "sizes").string();
        for (std::size_t at = 0; at < listed.size();) {
            sizes.push_back(std::atoi(listed.c_str() + at));
            const std::size_t blank = listed.find(' ', at);
            at = blank == std::string::npos ? listed.size() : blank + 1;
        }
    }
    return sizes;
}

std::string Driver::ClipboardText() const {
    return taken(readClipboard());
}

std::string Driver::AccessibleName(std::string_view control) const {
    return taken(hostAccessible(state_->slot(control).name.c_str(), "name"));
}

std::string Driver::AccessibleText(std::string_view control) const {
    return taken(hostAccessible(state_->slot(control).name.c_str(), "text"));
}

void Driver::Repaint() {
    Js style = state_->window.element()["style"];
    style.set("display", "none");
    nextFrame();
    style.set("display", "");
    nextFrame();
}

void Driver::Destroy(std::string_view control) {
    state_->element(control).call("remove");
}

std::vector<Report> Driver::TakeReports() {
    return std::exchange(state_->reports, {});
}

std::vector<std::string> Driver::TakeAnnouncements() {
    Js heard = state_->window.element()["rollingZembHeard"];
    std::vector<std::string> said;
    for (int i = 0; i < heard["length"].integer(); ++i) {
        said.push_back(heard.call("at", i).string());
    }
    heard.set("length", Js::number(0));
    return said;
}

} // namespace platform::testing
