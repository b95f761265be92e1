#include "platform/testing.h"

#include "platform/web/window.h"

#include <stdexcept>

// The driver works the page with the browser's own input: it asks the test
// runner (tests/web/run.mjs) to click and press keys as a player does, and
// waits for it.

// The driver's imports, each defined in testing.js, where each says what it
// does.
extern "C" {
int rz_drive(const char* step, const char* text, double x, double y);
int rz_read(const char* what, int element);
void rz_listen_to_live_regions(int client);
void rz_box(int client, int element, double* box);
void rz_set_shown(int client, bool shown);
void rz_remove(int element);
bool rz_open_report(int client, int* parts);
}

namespace platform::testing {
namespace {

using detail::ControlRecord;
using layer::elementOf;
using layer::Js;

// Waits for a step of the driver's, and takes its answer.
Js drive(const char* step, const std::string& text = {}, double x = 0, double y = 0) {
    return Js(rz_drive(step, text.c_str(), x, y));
}

// What the page reads of an element, or of none.
std::string read(const char* what, int element = 0) {
    return Js(rz_read(what, element)).string();
}
double readNumber(const char* what, int element = 0) {
    return std::stod(read(what, element));
}

int elementPlace(const ControlRecord& control) {
    return elementOf(control).place();
}

// An element's box, in CSS pixels from the window's client area, its
// client area's size, and its place in the view.
struct Box {
    double left, top, width, height, clientWidth, clientHeight, viewLeft, viewTop;
};
Box boxOf(const layer::Window& window, int element) {
    Box box{};
    rz_box(window.client().place(), element, &box.left);
    return box;
}

} // namespace

struct Session::Toolkit {};

// The test programs make their windows, which the page does not hold.
Session::Session(int& /*argc*/, char** /*argv*/)
    : toolkit_(std::make_unique<Toolkit>()) {
    layer::writeMarkup = &layer::MarkupOf;
}

Session::~Session() = default;

struct Driver::Driving {
    explicit Driving(layer::Window& driven)
        : window(driven) {}

    [[nodiscard]] int client() const { return window.client().place(); }

    // What the player's last input did, heard out as a player does: the
    // window's announcement made, then each error report that is open
    // closed with Escape.
    void settle() {
        drive("said", {}, client());
        for (int parts[4] = {}; rz_open_report(client(), parts);) {
            reports.push_back(
                {Js(parts[0]).string(), Js(parts[1]).string(), parts[2] != 0, parts[3] != 0});
            drive("press", "Escape");
            if (rz_open_report(client(), nullptr)) {
                throw std::runtime_error("Escape did not close the error report");
            }
        }
    }

    layer::Window& window;
    std::vector<Report> reports;
};

Driver::Driver(Form& form)
    : form_(form.window())
    , driving_(std::make_unique<Driving>(form_.toolkit())) {
    form.Show();
    waitUntilShown();
}

Driver::~Driver() = default;

// The document's listeners, its elements and the values the program holds.
std::size_t ToolkitObjects() {
    return static_cast<std::size_t>(std::stoul(drive("objects").string()));
}

void Driver::waitUntilShown() {
    rz_listen_to_live_regions(driving_->client());
    drive("frame");
}

void Driver::Click(std::string_view button) {
    const Box box = boxOf(driving_->window, elementPlace(control(button, Kind::Button)));
    drive("click", {}, box.viewLeft + box.width / 2, box.viewTop + box.height / 2);
    driving_->settle();
}

void Driver::Press(Key key) {
    static const char* const keys[] = {"Tab",   "Shift+Tab", "ArrowLeft",   "ArrowRight",
                                       "Space", "Enter",     "NumpadEnter", "Control+C"};
    static_assert(std::size(keys) == static_cast<std::size_t>(Key::Copy) + 1);
    drive("press", keys[static_cast<std::size_t>(key)]);
    driving_->settle();
}

void Driver::SetText(std::string_view field, std::string_view text) {
    rz_set_value(elementPlace(control(field, Kind::Field)), text.data(), text.size());
}

std::string Driver::Text(std::string_view name) const {
    return read("text", elementPlace(control(name)));
}

std::string Driver::WindowCaption() const {
    return read("caption", driving_->client());
}

bool Driver::IsShown() const {
    return read("visible", driving_->client()) == "true";
}

double Driver::pixelRatio() const {
    return readNumber("ratio");
}

std::array<double, 4> Driver::box(const ControlRecord* control) const {
    if (control == nullptr) {
        const Box client = boxOf(driving_->window, driving_->client());
        return {0, 0, client.clientWidth, client.clientHeight};
    }
    const Box box = boxOf(driving_->window, elementPlace(*control));
    return {box.left, box.top, box.width, box.height};
}

Driver::CaptionPlace Driver::captionPlace(const ControlRecord& control) const {
    const int element = elementPlace(control);
    const Box box = boxOf(driving_->window, element);
    return {static_cast<int>(readNumber("fontSize", element)), box.clientWidth, box.clientHeight};
}

bool Driver::hasFocus(const ControlRecord& control) const {
    return read("focused", elementPlace(control)) == "true";
}

bool Driver::TakesFocus(std::string_view name) const {
    return readNumber("tabIndex", elementPlace(control(name))) >= 0;
}

std::vector<int> Driver::IconSizes() const {
    const std::string listed = read("iconSizes");
    std::vector<int> sizes;
    for (std::size_t at = 0; at < listed.size();) {
        sizes.push_back(std::atoi(listed.c_str() + at));
        const std::size_t blank = listed.find(' ', at);
        at = blank == std::string::npos ? listed.size() : blank + 1;
    }
    return sizes;
}

std::string Driver::ClipboardText() const {
    return drive("clipboard").string();
}

// What Chromium's accessibility tree holds for the control's element.
std::string Driver::AccessibleName(std::string_view name) const {
    return drive("name", control(name).name).string();
}

std::string Driver::AccessibleText(std::string_view name) const {
    return drive("text", control(name).name).string();
}

void Driver::Repaint() {
    rz_set_shown(driving_->client(), false);
    drive("frame");
    rz_set_shown(driving_->client(), true);
    drive("frame");
}

void Driver::Destroy(std::string_view name) {
    rz_remove(elementPlace(control(name)));
}

std::vector<Report> Driver::TakeReports() {
    return std::exchange(driving_->reports, {});
}

std::vector<std::string> Driver::TakeAnnouncements() {
    const std::string heard = read("heard", driving_->client());
    std::vector<std::string> said;
    for (std::size_t at = 0; at < heard.size();) {
        const std::size_t end = heard.find('\x1e', at);
        said.push_back(heard.substr(at, end - at));
        at = end + 1;
    }
    return said;
}

} // namespace platform::testing
