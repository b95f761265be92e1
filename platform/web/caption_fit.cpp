#include "platform/caption_fit.h"

#include "platform/web/window.h"

#include <cmath>
#include <emscripten/emscripten.h>
#include <optional>

namespace platform::detail {
namespace {

// The width of `text` in the font of the canvas `context`, in CSS pixels:
// the fit measures many texts, each in one step. (The body is JavaScript.)
// clang-format off
EM_JS(double, textWidth, (int context, const char* text, std::size_t size), {
    return rzValues[context].measureText(UTF8ToString(text, size)).width;
});

// The box inside an element's border, in CSS pixels, for an element of
// `width` by `height`: the border widths come from its style alone, which,
// unlike its laid-out size, needs no layout. (The body is JavaScript.)
EM_JS(void, innerBox, (int element, int width, int height, int* box), {
    const style = getComputedStyle(rzValues[element]);
    const border = side => parseFloat(style["border" + side + "Width"]);
    HEAP32[box >> 2] = Math.round(width - border("Left") - border("Right"));
    HEAP32[(box >> 2) + 1] = Math.round(height - border("Top") - border("Bottom"));
});
// clang-format on

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
        return static_cast<int>(std::ceil(textWidth(context_.handle(), text.data(), text.size())));
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
    static Js canvasContext() {
        static const Js context = Js::element("canvas").call("getContext", "2d");
        return context;
    }

    Js context_;
    int lineHeight_;
};

Js computedStyle(const Js& element) {
    return Js::global("window").call("getComputedStyle", element);
}

double cssPixels(const Js& value) {
    return Js::global("parseFloat")(value).number();
}

// The window's line height in CSS pixels at a font of `size` pixels.
constexpr double LineSpacing = 1.2;

int lineHeightAt(int size) {
    return static_cast<int>(std::ceil(size * LineSpacing));
}

} // namespace

CaptionSize measureCaption(const Js& element, const std::string& font) {
    const Js style = computedStyle(element);
    const auto lineHeight = static_cast<int>(std::ceil(cssPixels(style["lineHeight"])));
    return MeasureCaption(element["textContent"].string(), element["clientWidth"].integer(),
                          CanvasMetrics(font, lineHeight));
}

void fitFont(const Js& form, const ControlList<ControlSlot>& controls) {
    // The largest size, no larger than the page's, at which every caption
    // shows whole; one size for the whole window keeps it even.
    constexpr int smallest = 8;
    const Js style = computedStyle(form);
    const std::string family = style["fontFamily"].string();
    const auto largest = static_cast<int>(cssPixels(style["fontSize"]));
    const int size = FittingFontSize(
        controls, largest, smallest, ButtonCaptionMargin,
        [&family](int candidate) {
            return std::make_unique<CanvasMetrics>(std::to_string(candidate) + "px " + family,
                                                   lineHeightAt(candidate));
        },
        [](const ControlSlot& slot) -> std::optional<CaptionBox> {
            if (!slot.element["isConnected"].truthy()) {
                return std::nullopt;
            }
            // Inside the control's border, where its caption goes, from
            // its place and its style: the page is laid out once, at the
            // fitted size.
            int box[2] = {};
            innerBox(slot.element.handle(), pixels(slot.width), pixels(slot.height), box);
            return CaptionBox{box[0], box[1]};
        });
    form["style"].set("fontSize", std::to_string(size) + "px");
}

} // namespace platform::detail
