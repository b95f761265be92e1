#include "platform/caption_fit.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::detail;

// Text in a font of `size` pixels, each character `size / 2` wide and,
// with `hinted`, two pixels wider at every third size, as a hinted font may
// be, so that a smaller size can fit worse than a larger one.
struct FakeMetrics {
    [[nodiscard]] int lineWidth(std::string_view text) const {
        return static_cast<int>(text.size()) * size / 2 + (hinted && size % 3 == 0 ? 2 : 0);
    }
    [[nodiscard]] int lineHeight() const { return size + size / 5; }
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const {
        return (lineWidth(text) + width - 1) / std::max(1, width) * lineHeight();
    }
    int size;
    bool hinted;
};

// Where the measures grow with the font, the search finds what trying every
// size from the largest down finds; where they do not, it still finds a size
// at which every caption shows whole, if there is one.
TEST(CaptionFit, FindsTheLargestSizeThatFits) {
    for (const bool hinted : {false, true}) {
        for (int width = 8; width <= 140; width += 3) {
            for (int height = 6; height <= 80; height += 5) {
                const auto wholeAt = [&](int size) {
                    const FakeMetrics metrics{size, hinted};
                    return ButtonCaptionFits({metrics.lineWidth(" (1,2,3)"), metrics.lineHeight()},
                                             width, height, ButtonCaptionMargin) &&
                           LabelCaptionFits(MeasuredCaption("initial balance", width, metrics),
                                            width, height);
                };
                int expected = 24;
                while (expected > 6 && !wholeAt(expected)) {
                    --expected;
                }
                const Caption captions[] = {{" (1,2,3)", true, {width, height}},
                                            {"initial balance", false, {width, height}}};
                const int size =
                    FittingFontSize(captions, 24, 6, ButtonCaptionMargin, [&](int candidate) {
                        return FakeMetrics{candidate, hinted};
                    });
                if (!hinted) {
                    ASSERT_EQ(size, expected) << width << " x " << height;
                }
                ASSERT_TRUE(wholeAt(size) || size == 6) << width << " x " << height;
            }
        }
    }
}

} // namespace
