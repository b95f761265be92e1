#include "platform/icon.h"

#include "platform/web/window.h"

#include <functional>
#include <set>

namespace platform::layer {

std::string iconSizes(std::span<const unsigned char> file) {
    std::set<int, std::greater<>> widths;
    for (const detail::IconImage& image : detail::IconImages(file)) {
        widths.insert(image.width);
    }
    std::string sizes;
    for (const int width : widths) {
        sizes += (sizes.empty() ? "" : " ") + std::to_string(width) + "x" + std::to_string(width);
    }
    return sizes;
}

// Made once for the process: a page's windows share it. A blob's address
// would take a round trip to the browser's own process.
std::string iconAddress(std::span<const unsigned char> file) {
    static detail::IconCache<std::string> made;
    return made.get(file, 0, [](std::span<const unsigned char> bytes, int /*size*/) {
        static constexpr char digits[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string address = "data:image/x-icon;base64,";
        for (std::size_t at = 0; at < bytes.size(); at += 3) {
            const std::size_t left = bytes.size() - at;
            const unsigned group = bytes[at] << 16U | (left > 1 ? bytes[at + 1] << 8U : 0U) |
                                   (left > 2 ? bytes[at + 2] : 0U);
            for (std::size_t digit = 0; digit < 4; ++digit) {
                address += digit <= left ? digits[group >> (18 - 6 * digit) & 63U] : '=';
            }
        }
        return bytes.empty() ? std::string() : address;
    });
}

} // namespace platform::layer
