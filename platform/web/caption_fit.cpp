#include "platform/caption_fit.h"

#include "platform/web/window.h"

#include <cmath>

namespace platform::layer {
namespace {

// The window's line height at a font of `size` pixels: its style sheet sets
// the line height to 1.2.
int lineHeightAt(int size) {
    constexpr double lineSpacing = 1.2;
    return static_cast<int>(std::ceil(size * lineSpacing));
}

} // namespace

// Text measured by a canvas in the form's font at one size.
struct TextMetrics::Font {
    Js font;
    int lineHeight;
};

TextMetrics::TextMetrics(const Window& window, int size)
    : font_(std::make_unique<Font>(
          Font{Js(rz_font_at(window.client().place(), size)), lineHeightAt(size)})) {}

TextMetrics::~TextMetrics() = default;

int TextMetrics::lineWidth(std::string_view text) const {
    return static_cast<int>(
        std::ceil(rz_text_width(font_->font.place(), text.data(), text.size())));
}

int TextMetrics::lineHeight() const {
    return font_->lineHeight;
}

// The lines of `text` wrapped at blanks as the browser wraps a label.
int TextMetrics::wrappedHeight(std::string_view text, int width) const {
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
    return (lines + (line.empty() ? 0 : 1)) * font_->lineHeight;
}

// CSS pixels, which the browser scales; the page's font size is the
// window's frame's.
int PixelsPerInch(const Window& /*window*/) {
    return 96;
}

int DesktopFontSize(const Window& window) {
    return static_cast<int>(rz_font_size(window.client().place()));
}

// Inside the control's border, where its caption goes, from its place and
// its style: the page is laid out once, at the fitted size.
std::optional<detail::CaptionBox> CaptionBoxOf(const Window& /*window*/,
                                               const ControlRecord& control) {
    const int element = elementOf(control).place();
    if (!rz_connected(element)) {
        return std::nullopt;
    }
    int box[2] = {};
    rz_inner_box(element, detail::pixels(control.width), detail::pixels(control.height), box);
    return detail::CaptionBox{box[0], box[1]};
}

void UseFontSize(Window& window, int size) {
    rz_set_font_size(window.client().place(), size);
}

} // namespace platform::layer
