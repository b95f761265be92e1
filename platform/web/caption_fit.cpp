#include "platform/caption_fit.h"

#include "platform/web/window.h"

#include <cmath>
#include <optional>

namespace platform::detail {
namespace {

// Text measured by a canvas in one CSS font, lines `lineHeight` apart: the
// window's line height is set in its style sheet.
class CanvasMetrics final : public TextMetrics {
public:
    CanvasMetrics(const std::string& font, int lineHeight)
        : context_(canvasContext())
        , lineHeight_(lineHeight) {
        context_.set("font", font);
    }

    [[nodiscard]] int lineWidth(std::string_view text) const override {
        const double width =
            context_.call<val>("measureText", std::string(text))["width"].as<double>();
        return static_cast<int>(std::ceil(width));
    }
    [[nodiscard]] int lineHeight() const override { return lineHeight_; }
    // The lines of `text` wrapped at blanks as the browser wraps a label.
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const override {
        int lines = 0;
        std::string line;
        while (!text.empty()) {
            const std::string_view word = text.substr(0, text.find(' '));
            text.remove_prefix(std::min(text.size(), word.size() + 1));
            const std::string longer =
                line.empty() ? std::string(word) : line + " " + std::string(word);
            if (!line.empty() && lineWidth(longer) > width) {
                ++lines;
                line = std::string(word);
            } else {
                line = longer;
            }
        }
        return (lines + (line.empty() ? 0 : 1)) * lineHeight_;
    }

private:
    static val canvasContext() {
        static const val context = val::global("document")
                                       .call<val>("createElement", std::string("canvas"))
                                       .call<val>("getContext", std::string("2d"));
        return context;
    }

    val context_;
    int lineHeight_;
};

val computedStyle(const val& element) {
    return val::global("window").call<val>("getComputedStyle", element);
}

double cssPixels(const val& value) {
    return val::global("parseFloat")(value).as<double>();
}

// The window's line height in CSS pixels at a font of `size` pixels.
constexpr double LineSpacing = 1.2;

int lineHeightAt(int size) {
    return static_cast<int>(std::ceil(size * LineSpacing));
}

} // namespace

CaptionSize measureCaption(const val& element, const std::string& font) {
    const val style = computedStyle(element);
    const auto lineHeight = static_cast<int>(std::ceil(cssPixels(style["lineHeight"])));
    return MeasureCaption(element["textContent"].as<std::string>(),
                          element["clientWidth"].as<int>(), CanvasMetrics(font, lineHeight));
}

void fitFont(const val& form, const ControlList<ControlSlot>& controls) {
    // The largest size, no larger than the page's, at which every caption
    // shows whole; one size for the whole window keeps it even.
    constexpr int smallest = 8;
    const val style = computedStyle(form);
    const std::string family = style["fontFamily"].as<std::string>();
    const auto largest = static_cast<int>(cssPixels(style["fontSize"]));
    const int size = FittingFontSize(
        controls, largest, smallest, ButtonCaptionMargin,
        [&family](int candidate) {
            return std::make_unique<CanvasMetrics>(std::to_string(candidate) + "px " + family,
                                                   lineHeightAt(candidate));
        },
        [](const ControlSlot& slot) -> std::optional<CaptionBox> {
            if (!slot.element["isConnected"].as<bool>()) {
                return std::nullopt;
            }
            // Inside the control's border, where its caption goes.
            return CaptionBox{slot.element["clientWidth"].as<int>(),
                              slot.element["clientHeight"].as<int>()};
        });
    form["style"].set("fontSize", std::to_string(size) + "px");
}

} // namespace platform::detail
