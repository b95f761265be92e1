#include "platform/testing.h"

#include "platform/web/window.h"

#include <cmath>
#include <stdexcept>

// The driver works the page with the browser's own input: it asks the test
// runner (tests/web/run.mjs) to click and press keys as a player does, and
// waits for it.

// The driver's imports, each defined in testing.js, where each says what it
// does.
extern "C" {
int rz_drive(const char* step, const char* text, double x, double y);
void rz_listen_to_live_regions(int form);
int rz_take_heard(int form);
void rz_box(int form, int element, double* box);
int rz_shown_text(int element);
int rz_caption(int form);
bool rz_visible(int form);
double rz_pixel_ratio();
bool rz_focused(int element);
int rz_tab_index(int element);
double rz_font_size_of(int element);
int rz_page_icon_sizes();
void rz_set_shown(int form, bool shown);
void rz_remove(int element);
bool rz_open_report(int form, int* parts);
}

namespace platform::layer {

using testing::CaptionExtent;
using testing::Key;
using testing::Rect;
using testing::Report;

namespace {

// Waits for a step of the driver's, and takes its answer.
Js drive(const char* step, const std::string& text = {}, double x = 0, double y = 0) {
    return Js(rz_drive(step, text.c_str(), x, y));
}

int scaled(double cssPixels) {
    return static_cast<int>(std::lround(cssPixels * rz_pixel_ratio()));
}

// An element's box, in CSS pixels from the window's client area, its
// client area's size, and its place in the view.
struct Box {
    double left, top, width, height, clientWidth, clientHeight, viewLeft, viewTop;
};
Box boxOf(const Window& window, int element) {
    Box box{};
    rz_box(window.element().place(), element, &box.left);
    return box;
}

} // namespace

struct Session {};

struct Driving {
    explicit Driving(Window& driven)
        : window(driven) {}

    // Closes each error report that is open, with Escape, as a player does.
    void closeReports() {
        for (int parts[4] = {}; rz_open_report(window.element().place(), parts);) {
            reports.push_back(
                {Js(parts[0]).string(), Js(parts[1]).string(), parts[2] != 0, parts[3] != 0});
            drive("press", "Escape");
            if (rz_open_report(window.element().place(), nullptr)) {
                throw std::runtime_error("Escape did not close the error report");
            }
        }
    }

    Window& window;
    std::vector<Report> reports;
};

void Ender::operator()(Session* session) const noexcept {
    delete session;
}

void Ender::operator()(Driving* driving) const noexcept {
    delete driving;
}

Owned<Session> OpenSession(int& /*argc*/, char** /*argv*/) {
    return Owned<Session>(new Session);
}

// The document's listeners, its elements and the values the program holds.
std::size_t ToolkitObjects() {
    return static_cast<std::size_t>(std::stoul(drive("objects").string()));
}

Owned<Driving> StartDriving(Window& window) {
    return Owned<Driving>(new Driving(window));
}

void WaitUntilShown(Driving& driving) {
    rz_listen_to_live_regions(driving.window.element().place());
    drive("frame");
}

void Click(Driving& driving, const ControlRecord& button) {
    const Box box = boxOf(driving.window, elementOf(button).place());
    drive("click", {}, box.viewLeft + box.width / 2, box.viewTop + box.height / 2);
    driving.closeReports();
}

void Press(Driving& driving, Key key) {
    static const char* const keys[] = {"Tab",   "Shift+Tab", "ArrowLeft",   "ArrowRight",
                                       "Space", "Enter",     "NumpadEnter", "Control+C"};
    static_assert(std::size(keys) == static_cast<std::size_t>(Key::Copy) + 1);
    drive("press", keys[static_cast<std::size_t>(key)]);
    driving.closeReports();
}

void PutText(Driving& /*driving*/, const ControlRecord& field, std::string_view text) {
    rz_set_value(elementOf(field).place(), text.data(), text.size());
}

std::string ShownText(Driving& /*driving*/, const ControlRecord& control) {
    return Js(rz_shown_text(elementOf(control).place())).string();
}

std::string ShownCaption(Driving& driving) {
    return Js(rz_caption(driving.window.element().place())).string();
}

bool IsShown(Driving& driving) {
    return rz_visible(driving.window.element().place());
}

int Dpi(Driving& /*driving*/) {
    return scaled(96);
}

Rect ClientArea(Driving& driving) {
    const Box form = boxOf(driving.window, driving.window.element().place());
    return {0, 0, scaled(form.clientWidth), scaled(form.clientHeight)};
}

Rect Geometry(Driving& driving, const ControlRecord& control) {
    const Box box = boxOf(driving.window, elementOf(control).place());
    return {scaled(box.left), scaled(box.top), scaled(box.width), scaled(box.height)};
}

CaptionExtent MeasureCaption(Driving& driving, const ControlRecord& control) {
    const int element = elementOf(control).place();
    const Box box = boxOf(driving.window, element);
    const TextMetrics metrics(driving.window, static_cast<int>(rz_font_size_of(element)));
    const detail::CaptionSize size = detail::MeasureCaption(
        ShownText(driving, control), static_cast<int>(box.clientWidth), metrics);
    return {{scaled(size.lineWidth), scaled(size.lineHeight), scaled(size.widestWord),
             scaled(size.wrappedHeight)},
            {0, 0, scaled(box.clientWidth), scaled(box.clientHeight)}};
}

const ControlRecord* FocusedControl(Driving& driving) {
    for (const auto& control : driving.window.form.controls()) {
        if (rz_focused(elementOf(*control).place())) {
            return control.get();
        }
    }
    return nullptr;
}

bool TakesFocus(Driving& /*driving*/, const ControlRecord& control) {
    return rz_tab_index(elementOf(control).place()) >= 0;
}

std::vector<int> IconSizes(Driving& /*driving*/) {
    const std::string listed = Js(rz_page_icon_sizes()).string();
    std::vector<int> sizes;
    for (std::size_t at = 0; at < listed.size();) {
        sizes.push_back(std::atoi(listed.c_str() + at));
        const std::size_t blank = listed.find(' ', at);
        at = blank == std::string::npos ? listed.size() : blank + 1;
    }
    return sizes;
}

std::string ClipboardText(Driving& /*driving*/) {
    return drive("clipboard").string();
}

// What Chromium's accessibility tree holds for the control's element.
std::string AccessibleName(Driving& /*driving*/, const ControlRecord& control) {
    return drive("name", control.name).string();
}

std::string AccessibleText(Driving& /*driving*/, const ControlRecord& control) {
    return drive("text", control.name).string();
}

void Repaint(Driving& driving) {
    rz_set_shown(driving.window.element().place(), false);
    drive("frame");
    rz_set_shown(driving.window.element().place(), true);
    drive("frame");
}

void Destroy(Driving& /*driving*/, const ControlRecord& control) {
    rz_remove(elementOf(control).place());
}

std::vector<Report> TakeReports(Driving& driving) {
    return std::exchange(driving.reports, {});
}

std::vector<std::string> TakeAnnouncements(Driving& driving) {
    const std::string heard = Js(rz_take_heard(driving.window.element().place())).string();
    std::vector<std::string> said;
    for (std::size_t at = 0; at < heard.size();) {
        const std::size_t end = heard.find('\x1e', at);
        said.push_back(heard.substr(at, end - at));
        at = end + 1;
    }
    return said;
}

} // namespace platform::layer
