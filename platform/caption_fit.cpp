#include "platform/caption_fit.h"

#include <algorithm>

namespace platform::detail {

CaptionSize MeasureCaption(std::string_view caption, int width, const TextMetrics& metrics) {
    CaptionSize size{metrics.lineWidth(caption), metrics.lineHeight(), 0,
                     metrics.wrappedHeight(caption, width)};
    while (!caption.empty()) {
        const std::string_view word = caption.substr(0, caption.find(' '));
        if (!word.empty()) {
            size.widestWord = std::max(size.widestWord, metrics.lineWidth(word));
        }
        caption.remove_prefix(std::min(caption.size(), word.size() + 1));
    }
    return size;
}

} // namespace platform::detail
