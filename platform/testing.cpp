#include "platform/testing.h"

#include "platform/form_window.h"

#include <stdexcept>

// The driver's share that is the same on every platform: finding a control by
// its name on the form and checking what it is; the layer's hooks (layer.h)
// work and read it with the toolkit.

namespace platform::testing {

using detail::ControlKind;
using detail::ControlRecord;

Session::Session(int& argc, char** argv)
    : toolkit_(layer::OpenSession(argc, argv)) {}

Session::~Session() = default;

std::size_t ToolkitObjects() {
    return layer::ToolkitObjects();
}

struct Driver::State {
    explicit State(detail::FormWindow& shown)
        : form(shown)
        , driving(layer::StartDriving(shown.toolkit())) {}

    // The control named `name`, which must still exist and, unless `kind`
    // is empty, be of that kind.
    [[nodiscard]] const ControlRecord& control(std::string_view name,
                                               std::optional<ControlKind> kind = {}) const {
        const ControlRecord* found = form.find(name);
        if (found == nullptr) {
            throw std::invalid_argument("the form has no control named " + std::string(name));
        }
        if (!layer::Exists(*found->toolkit)) {
            throw std::invalid_argument(std::string(name) + " is destroyed");
        }
        if (kind && found->kind != *kind) {
            throw std::invalid_argument(std::string(name) + " is not a " +
                                        (*kind == ControlKind::TextBox ? "field" : "button"));
        }
        return *found;
    }

    detail::FormWindow& form;
    layer::Owned<layer::Driving> driving;
};

Driver::Driver(Form& form)
    : state_(std::make_unique<State>(form.window())) {
    form.Show();
    layer::WaitUntilShown(*state_->driving);
}

Driver::~Driver() = default;

void Driver::Click(std::string_view button) {
    layer::Click(*state_->driving, state_->control(button, ControlKind::CommandButton));
}

void Driver::Press(Key key) {
    layer::Press(*state_->driving, key);
}

void Driver::SetText(std::string_view field, std::string_view text) {
    layer::PutText(*state_->driving, state_->control(field, ControlKind::TextBox), text);
}

std::string Driver::Text(std::string_view control) const {
    return layer::ShownText(*state_->driving, state_->control(control));
}

std::string Driver::WindowCaption() const {
    return layer::ShownCaption(*state_->driving);
}

bool Driver::IsShown() const {
    return layer::IsShown(*state_->driving);
}

int Driver::Dpi() const {
    return layer::Dpi(*state_->driving);
}

Rect Driver::ClientArea() const {
    return layer::ClientArea(*state_->driving);
}

Rect Driver::Geometry(std::string_view control) const {
    return layer::Geometry(*state_->driving, state_->control(control));
}

CaptionExtent Driver::MeasureCaption(std::string_view control) const {
    return layer::MeasureCaption(*state_->driving, state_->control(control));
}

std::string Driver::FocusedControl() const {
    const ControlRecord* focus = layer::FocusedControl(*state_->driving);
    return focus != nullptr ? focus->name : std::string();
}

bool Driver::TakesFocus(std::string_view control) const {
    return layer::TakesFocus(*state_->driving, state_->control(control));
}

std::vector<int> Driver::IconSizes() const {
    return layer::IconSizes(*state_->driving);
}

std::string Driver::ClipboardText() const {
    return layer::ClipboardText(*state_->driving);
}

std::string Driver::AccessibleName(std::string_view control) const {
    return layer::AccessibleName(*state_->driving, state_->control(control));
}

std::string Driver::AccessibleText(std::string_view control) const {
    return layer::AccessibleText(*state_->driving, state_->control(control));
}

void Driver::Repaint() {
    layer::Repaint(*state_->driving);
}

void Driver::Destroy(std::string_view control) {
    layer::Destroy(*state_->driving, state_->control(control));
}

std::vector<Report> Driver::TakeReports() {
    return layer::TakeReports(*state_->driving);
}

std::vector<std::string> Driver::TakeAnnouncements() {
    return layer::TakeAnnouncements(*state_->driving);
}

} // namespace platform::testing
