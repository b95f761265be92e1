#include "platform/caption_fit.h"

#include <algorithm>

namespace platform::detail {

CaptionSize MeasureCaption(std::string_view caption, int width, const TextMetrics& metrics) {
    return {metrics.lineWidth(caption), metrics.lineHeight(), WidestWord(caption, metrics),
            metrics.wrappedHeight(caption, width)};
}

int WidestWord(std::string_view caption, const TextMetrics& metrics) {
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

} // namespace platform::detail
