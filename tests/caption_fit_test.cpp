#include "platform/caption_fit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace {

using platform::detail::CaptionSize;
using platform::detail::ControlKind;
using platform::detail::ControlList;
using platform::detail::ControlRecord;

// Text in a font of `size` pixels: each character `size * 0.55` wide, and,
// with `hinted`, every third size two pixels wider, as a hinted font may
// be, so that a smaller size can fit worse than a larger one.
class FakeMetrics final : public platform::detail::TextMetrics {
public:
    FakeMetrics(int size, bool hinted)
        : size_(size)
        , hinted_(hinted) {}
    [[nodiscard]] int lineWidth(std::string_view text) const override {
        const int wobble = hinted_ && size_ % 3 == 0 && !text.empty() ? 2 : 0;
        return static_cast<int>(std::ceil(static_cast<double>(text.size()) * size_ * 0.55)) +
               wobble;
    }
    [[nodiscard]] int lineHeight() const override {
        return static_cast<int>(std::ceil(size_ * 1.2));
    }
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const override {
        int lines = 0;
        std::string line;
        while (!text.empty()) {
            const std::string_view word = text.substr(0, text.find(' '));
            text.remove_prefix(std::min(text.size(), word.size() + 1));
            const std::string longer = line.empty() ? std::string(word) : line + " " += word;
            if (!line.empty() && lineWidth(longer) > width) {
                ++lines;
                line = std::string(word);
            } else {
                line = longer;
            }
        }
        return (lines + (line.empty() ? 0 : 1)) * lineHeight();
    }

private:
    int size_;
    bool hinted_;
};

constexpr int Largest = 24;
constexpr int Smallest = 6;
constexpr int Margin = platform::detail::ButtonCaptionMargin;

// A button and a label in boxes of these sizes.
struct Boxes {
    int buttonWidth;
    int labelWidth;
    int height;
    bool hinted;
};

// Whether both captions show whole at `size`, as the rules say.
bool wholeAt(const Boxes& boxes, int size) {
    const FakeMetrics metrics(size, boxes.hinted);
    const CaptionSize button{metrics.lineWidth(" (1,2,3)"), metrics.lineHeight(), 0, 0};
    const CaptionSize label =
        platform::detail::MeasureCaption("initial balance", boxes.labelWidth, metrics);
    return platform::detail::ButtonCaptionFits(button, boxes.buttonWidth, boxes.height, Margin) &&
           platform::detail::LabelCaptionFits(label, boxes.labelWidth, boxes.height);
}

int fittedSize(const Boxes& boxes) {
    ControlList<ControlRecord> controls;
    controls.add(std::make_unique<ControlRecord>(
        ControlKind::CommandButton,
        platform::ControlDescription{.name = "Command1", .caption = " (1,2,3)", .labelFor = {}}));
    controls.add(std::make_unique<ControlRecord>(
        ControlKind::Label, platform::ControlDescription{
                                .name = "Label1", .caption = "initial balance", .labelFor = {}}));
    return platform::detail::FittingFontSize(
        controls, Largest, Smallest, Margin,
        [&](int size) { return std::make_unique<FakeMetrics>(size, boxes.hinted); },
        [&](const ControlRecord& control) {
            return std::optional<platform::detail::CaptionBox>(
                {control.kind == ControlKind::Label ? boxes.labelWidth : boxes.buttonWidth,
                 boxes.height});
        });
}

// Where the measures grow with the font, the search finds what trying every
// size from the largest down finds; where they do not, it still finds a size
// at which every caption shows whole, if there is one.
TEST(CaptionFit, FindsTheLargestSizeThatFits) {
    for (const bool hinted : {false, true}) {
        for (int width = 8; width <= 140; width += 3) {
            for (int height = 6; height <= 80; height += 5) {
                const Boxes boxes{width, width + 10, height, hinted};
                int expected = Largest;
                while (expected > Smallest && !wholeAt(boxes, expected)) {
                    --expected;
                }
                const int size = fittedSize(boxes);
                if (!hinted) {
                    ASSERT_EQ(size, expected) << width << " x " << height;
                }
                ASSERT_TRUE(wholeAt(boxes, size) || size == Smallest) << width << " x " << height;
            }
        }
    }
}

} // namespace
