#pragma once

// How every layer fits one font to a window: the largest size, no larger
// than the desktop's, at which each caption shows whole. The toolkit
// measures the text; the rules are the same on every platform. Only the
// platform layer includes this.

namespace platform::detail {

// A caption as measured in one font, in pixels.
struct CaptionSize {
    int lineWidth = 0;     // the whole caption on one line
    int lineHeight = 0;    // one line of text
    int widestWord = 0;    // the widest word between blanks
    int wrappedHeight = 0; // the caption wrapped at blanks to the control's width
};

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

// The largest size from `largest` down to `smallest` at which `allFit(size)`
// holds; `smallest` if none does.
template <class AllFit> int LargestFittingSize(int largest, int smallest, AllFit allFit) {
    int size = largest;
    while (size > smallest && !allFit(size)) {
        --size;
    }
    return size;
}

} // namespace platform::detail
