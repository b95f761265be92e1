#include "platform/testing.h"

#include "platform/form_window.h"

#include <cmath>
#include <stdexcept>

// The driver's share that is the same on every platform: finding a control
// by its name on the form, and the measures in device pixels. Each layer's
// testing.cpp defines the rest of Driver.

namespace platform::testing {

using detail::ControlKind;
using detail::ControlRecord;

const ControlRecord& Driver::control(std::string_view name, Kind kind) const {
    const ControlRecord* found = form_.find(name);
    if (found == nullptr) {
        throw std::invalid_argument("the form has no control named " + std::string(name));
    }
    if (!layer::Exists(*found->toolkit)) {
        throw std::invalid_argument(std::string(name) + " is destroyed");
    }
    if ((kind == Kind::Field && found->kind != ControlKind::TextBox) ||
        (kind == Kind::Button && found->kind != ControlKind::CommandButton)) {
        throw std::invalid_argument(std::string(name) + " is not a " +
                                    (kind == Kind::Field ? "field" : "button"));
    }
    return *found;
}

int Driver::devicePixels(double pixels) const {
    return static_cast<int>(std::lround(pixels * pixelRatio()));
}

int Driver::Dpi() const {
    return devicePixels(layer::PixelsPerInch(form_.toolkit()));
}

Rect Driver::ClientArea() const {
    const auto [left, top, width, height] = box(nullptr);
    return {0, 0, devicePixels(width), devicePixels(height)};
}

Rect Driver::Geometry(std::string_view name) const {
    const auto [left, top, width, height] = box(&control(name));
    return {devicePixels(left), devicePixels(top), devicePixels(width), devicePixels(height)};
}

CaptionExtent Driver::MeasureCaption(std::string_view name) const {
    const CaptionPlace place = captionPlace(control(name));
    const layer::TextMetrics metrics(form_.toolkit(), place.fontSize);
    const detail::CaptionSize size =
        detail::MeasuredCaption(Text(name), static_cast<int>(place.width), metrics);
    return {{devicePixels(size.lineWidth), devicePixels(size.lineHeight),
             devicePixels(size.widestWord), devicePixels(size.wrappedHeight)},
            {0, 0, devicePixels(place.width), devicePixels(place.height)}};
}

std::string Driver::FocusedControl() const {
    for (const auto& control : form_.controls()) {
        if (layer::Exists(*control->toolkit) && hasFocus(*control)) {
            return control->name;
        }
    }
    return {};
}

} // namespace platform::testing
