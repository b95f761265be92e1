#pragma once

// How every layer fits one font to a window: the largest size, no larger
// than the desktop's, at which each caption shows whole. The toolkit
// measures the text; the rules are the same on every platform. Only the
// platform layer and tests include this.

#include "platform/controls.h"

#include <string_view>

namespace platform::detail {

// A caption as measured in one font, in pixels.
struct CaptionSize {
    int lineWidth = 0;     // the whole caption on one line
    int lineHeight = 0;    // one line of text
    int widestWord = 0;    // the widest word between blanks
    int wrappedHeight = 0; // the caption wrapped at blanks to the control's width
};

// Text measured in one font by the toolkit, in pixels.
class TextMetrics {
public:
    TextMetrics() = default;
    virtual ~TextMetrics() = default;
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;
    TextMetrics(TextMetrics&&) = delete;
    TextMetrics& operator=(TextMetrics&&) = delete;

    [[nodiscard]] virtual int lineWidth(std::string_view text) const = 0;
    [[nodiscard]] virtual int lineHeight() const = 0;
    // The height of `text` wrapped at blanks to `width`.
    [[nodiscard]] virtual int wrappedHeight(std::string_view text, int width) const = 0;
};

// `caption` measured by `metrics`, wrapped to `width`.
CaptionSize MeasureCaption(std::string_view caption, int width, const TextMetrics& metrics);
// The width of the widest word of `caption` between blanks.
int WidestWord(std::string_view caption, const TextMetrics& metrics);

// Pixels of frame and padding on each side of a button's caption, at 96
// dots per inch.
inline constexpr int ButtonCaptionMargin = 4;

// A button shows its caption on one line inside its frame.
constexpr bool ButtonCaptionFits(const CaptionSize& caption, int width, int height, int margin) {
    return caption.lineWidth + 2 * margin <= width && caption.lineHeight + 2 * margin <= height;
}

// A label wraps its caption at blanks and must not cut a word.
constexpr bool LabelCaptionFits(const CaptionSize& caption, int width, int height) {
    return caption.widestWord <= width && caption.wrappedHeight <= height;
}

// Where a control shows its caption, in pixels.
struct CaptionBox {
    int width = 0;
    int height = 0;
};

// The largest font size from `largest` down to `smallest` at which every
// button's and label's caption among `controls` shows whole; `smallest` if
// none does. `metricsAt(size)` measures text in the font of that size,
// `boxOf(control)` gives where a control shows its caption (nullopt for a
// control that is gone), and `margin` is a button's, in pixels.
template <class Record, class MetricsAt, class BoxOf>
int FittingFontSize(const ControlList<Record>& controls, int largest, int smallest, int margin,
                    MetricsAt metricsAt, BoxOf boxOf) {
    const auto allFit = [&](int size) {
        const auto metrics = metricsAt(size);
        return std::all_of(controls.begin(), controls.end(), [&](const auto& control) {
            const bool button = control->kind == ControlKind::CommandButton;
            if (!button && control->kind != ControlKind::Label) {
                return true; // only buttons and labels have captions
            }
            const auto box = boxOf(*control);
            if (!box) {
                return true;
            }
            // Each rule is given only what it reads: measuring is most of the cost.
            const std::string_view caption = control->caption;
            if (button) {
                const CaptionSize line{metrics->lineWidth(caption), metrics->lineHeight(), 0, 0};
                return ButtonCaptionFits(line, box->width, box->height, margin);
            }
            const CaptionSize wrapped{0, 0, WidestWord(caption, *metrics),
                                      metrics->wrappedHeight(caption, box->width)};
            return LabelCaptionFits(wrapped, box->width, box->height);
        });
    };
    int size = largest;
    while (size > smallest && !allFit(size)) {
        --size;
    }
    return size;
}

} // namespace platform::detail
