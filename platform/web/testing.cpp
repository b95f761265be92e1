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

using detail::val;

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
EM_JS(void, listenToLiveRegions, (emscripten::EM_VAL handle), {
    const form = Emval.toValue(handle);
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
    return val::global("devicePixelRatio").as<double>();
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
        const detail::ControlSlot* found = window.find(name);
        if (found == nullptr) {
            throw std::invalid_argument("the form has no control named " + std::string(name));
        }
        return *found;
    }
    [[nodiscard]] val element(std::string_view name) const {
        const val& element = slot(name).element;
        if (!element["isConnected"].as<bool>()) {
            throw std::invalid_argument(std::string(name) + " is gone");
        }
        return element;
    }
    [[nodiscard]] Rect inPixels(const val& box) const {
        const val form = window.element().call<val>("getBoundingClientRect");
        const double left = form["left"].as<double>() + window.element()["clientLeft"].as<double>();
        const double top = form["top"].as<double>() + window.element()["clientTop"].as<double>();
        return {scaled(box["left"].as<double>() - left), scaled(box["top"].as<double>() - top),
                scaled(box["width"].as<double>()), scaled(box["height"].as<double>())};
    }

    // Closes each error report that is open, with Escape, as a player does.
    void closeReports() {
        val dialog = window.element().call<val>("querySelector", std::string("dialog[open]"));
        while (!dialog.isNull()) {
            const val sign =
                dialog.call<val>("querySelector", std::string("[role=img][aria-label=Error]"));
            reports.push_back(
                {dialog.call<val>("querySelector", std::string("h1"))["textContent"]
                     .as<std::string>(),
                 dialog.call<val>("querySelector", std::string("#rz-report-text"))["textContent"]
                     .as<std::string>(),
                 dialog.call<bool>("matches", std::string(":modal")), !sign.isNull()});
            hostPress("Escape");
            if (dialog["open"].as<bool>()) {
                throw std::runtime_error("Escape did not close the error report");
            }
            dialog = window.element().call<val>("querySelector", std::string("dialog[open]"));
        }
    }

    detail::Window& window;
    std::vector<Report> reports;
};

Driver::Driver(Form& form)
    : state_(std::make_unique<State>(static_cast<detail::Window&>(form.window()))) {
    form.Show();
    listenToLiveRegions(state_->window.element().as_handle());
    nextFrame();
}

Driver::~Driver() = default;

void Driver::Click(std::string_view button) {
    const detail::ControlSlot& slot = state_->slot(button);
    if (slot.kind != detail::ControlKind::CommandButton) {
        throw std::invalid_argument(std::string(button) + " is not a button");
    }
    const val box = state_->element(button).call<val>("getBoundingClientRect");
    hostClick(box["left"].as<double>() + box["width"].as<double>() / 2,
              box["top"].as<double>() + box["height"].as<double>() / 2);
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
    const val element = state_->element(control);
    return element[state_->slot(control).kind == detail::ControlKind::TextBox ? "value"
                                                                              : "textContent"]
        .as<std::string>();
}

std::string Driver::WindowCaption() const {
    return val::global("document")["title"].as<std::string>();
}

bool Driver::IsShown() const {
    return state_->window.element().call<bool>("checkVisibility");
}

int Driver::Dpi() const {
    return static_cast<int>(std::lround(96 * ratio()));
}

Rect Driver::ClientArea() const {
    const val& form = state_->window.element();
    return {0, 0, scaled(form["clientWidth"].as<double>()),
            scaled(form["clientHeight"].as<double>())};
}

Rect Driver::Geometry(std::string_view control) const {
    return state_->inPixels(state_->element(control).call<val>("getBoundingClientRect"));
}

CaptionExtent Driver::MeasureCaption(std::string_view control) const {
    const val element = state_->element(control);
    const detail::CaptionSize size = detail::measureCaption(
        element, val::global("getComputedStyle")(element)["font"].as<std::string>());
    return {{scaled(size.lineWidth), scaled(size.lineHeight), scaled(size.widestWord),
             scaled(size.wrappedHeight)},
            {0, 0, scaled(element["clientWidth"].as<double>()),
             scaled(element["clientHeight"].as<double>())}};
}

std::string Driver::FocusedControl() const {
    const val focus = val::global("document")["activeElement"];
    if (focus.isNull() || focus["id"].isUndefined()) {
        return {};
    }
    const detail::ControlSlot* slot = state_->window.find(focus["id"].as<std::string>());
    return slot != nullptr && slot->element == focus ? slot->name : std::string();
}

bool Driver::TakesFocus(std::string_view control) const {
    return state_->element(control)["tabIndex"].as<int>() >= 0;
}

std::vector<int> Driver::IconSizes() const {
    const val link =
        val::global("document").call<val>("querySelector", std::string("link[rel=icon]"));
    std::vector<int> sizes;
    if (!link.isNull()) {
        std::string listed = link.call<std::string>("getAttribute", std::string("sizes"));
        for (std::size_t at = 0; at < listed.size();) {
            sizes.push_back(std::atoi(listed.c_str() + at));
            const std::size_t blank = listed.find(" ", at);
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
    val style = state_->window.element()["style"];
    style.set("display", "none");
    nextFrame();
    style.set("display", "");
    nextFrame();
}

void Driver::Destroy(std::string_view control) {
    state_->element(control).call<void>("remove");
}

std::vector<Report> Driver::TakeReports() {
    return std::exchange(state_->reports, {});
}

std::vector<std::string> Driver::TakeAnnouncements() {
    val heard = state_->window.element()["rollingZembHeard"];
    std::vector<std::string> said;
    for (int i = 0; i < heard["length"].as<int>(); ++i) {
        said.push_back(heard[i].as<std::string>());
    }
    heard.set("length", 0);
    return said;
}

} // namespace platform::testing
