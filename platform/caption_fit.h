#pragma once

// How every layer fits one font to a window: the largest size, no larger
// than the desktop's, at which each caption shows whole. The toolkit
// measures the text (layer::TextMetrics, or any class with its three
// measures); the rules are the same on every platform. Only the core and
// tests include this.

#include <algorithm>
#include <span>
#include <string_view>

namespace platform::detail {

// A caption as measured in one font, in pixels.
struct CaptionSize {
    int lineWidth = 0;     // the whole caption on one line
    int lineHeight = 0;    // one line of text
    int widestWord = 0;    // the widest word between blanks
    int wrappedHeight = 0; // the caption wrapped at blanks to the control's width
};

// The width of the widest word of `caption` between blanks.
template <class Metrics> int WidestWord(std::string_view caption, const Metrics& metrics) {
    int widest = 0;
    while (!caption.empty()) {
        const std::string_view word = caption.substr(0, caption.find(' '));
        if (!word.empty()) {
            widest = std::max(widest, metrics.lineWidth(word));
        }
        caption.remove_prefix(std::min(caption.size(), word.size() + 1));
    }
    return widest;
}

// `caption` measured by `metrics`, wrapped to `width`.
template <class Metrics>
CaptionSize MeasuredCaption(std::string_view caption, int width, const Metrics& metrics) {
    return {metrics.lineWidth(caption), metrics.lineHeight(), WidestWord(caption, metrics),
            metrics.wrappedHeight(caption, width)};
}

// Pixels of frame and padding on each side of a button's caption, and the
// smallest readable font size, at 96 dots per inch.
inline constexpr int ButtonCaptionMargin = 4;
inline constexpr int SmallestFontSize = 8;

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

// A caption to fit: a button's, on one line, or a label's, wrapped.
struct Caption {
    std::string_view text;
    bool button = false;
    CaptionBox box;
};

// The largest font size from `largest` down to `smallest` at which every
// one of `captions` shows whole; `smallest` if none does. `metricsAt(size)`
// measures text in the font of that size, and `margin` is a button's, in
// pixels.
//
// A caption's measures grow with the font, so a size fits when every size
// below it does. Measuring in a new size is most of the cost: the search
// measures every caption at `largest`, goes from there straight to the size
// that their overflow points to, and then only to the sizes on either side
// of it that decide.
template <class MetricsAt>
int FittingFontSize(std::span<const Caption> captions, int largest, int smallest, int margin,
                    MetricsAt metricsAt) {
    // Whether every caption fits at `size`. With `worst`, every caption is
    // measured and `worst` is left at the largest share of its room that
    // any caption needs (above 1 when one does not fit).
    const auto fits = [&](int size, double* worst) {
        const auto metrics = metricsAt(size);
        bool all = true;
        for (const Caption& caption : captions) {
            const CaptionBox box = caption.box;
            // Each rule is given only what it reads.
            bool fit = false;
            double share = 0;
            if (caption.button) {
                const CaptionSize line{metrics.lineWidth(caption.text), metrics.lineHeight(), 0, 0};
                fit = ButtonCaptionFits(line, box.width, box.height, margin);
                share = std::max(double(line.lineWidth) / std::max(1, box.width - 2 * margin),
                                 double(line.lineHeight) / std::max(1, box.height - 2 * margin));
            } else {
                const CaptionSize wrapped{0, 0, WidestWord(caption.text, metrics),
                                          metrics.wrappedHeight(caption.text, box.width)};
                fit = LabelCaptionFits(wrapped, box.width, box.height);
                share = std::max(double(wrapped.widestWord) / std::max(1, box.width),
                                 double(wrapped.wrappedHeight) / std::max(1, box.height));
            }
            if (worst == nullptr && !fit) {
                return false;
            }
            all = all && fit;
            if (worst != nullptr) {
                *worst = std::max(*worst, share);
            }
        }
        return all;
    };
    double worst = 0;
    if (largest <= smallest || fits(largest, &worst)) {
        return largest;
    }
    int size = std::clamp(static_cast<int>(largest / worst), smallest, largest - 1);
    if (fits(size, nullptr)) {
        while (size + 1 < largest && fits(size + 1, nullptr)) {
            ++size;
        }
    } else {
        while (size > smallest && !fits(--size, nullptr)) {
        }
    }
    return size;
}

} // namespace platform::detail
