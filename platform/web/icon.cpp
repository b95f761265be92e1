#include "platform/icon_cache.h"
#include "platform/web/window.h"

#include <algorithm>
#include <emscripten/emscripten.h>
#include <functional>
#include <set>

namespace platform::detail {
namespace {

// The image sizes an icon file holds, as a link's sizes attribute lists
// them: "32x32 16x16".
std::string sizesOf(std::span<const unsigned char> file) {
    constexpr std::size_t header = 6;
    constexpr std::size_t entry = 16;
    if (file.size() < header) {
        return {};
    }
    const std::size_t count = file[4] | (std::size_t{file[5]} << 8);
    std::set<int, std::greater<>> widths;
    for (std::size_t i = 0; i < count && header + (i + 1) * entry <= file.size(); ++i) {
        const int width = file[header + i * entry];
        widths.insert(width == 0 ? 256 : width);
    }
    std::string sizes;
    for (const int width : widths) {
        sizes += (sizes.empty() ? "" : " ") + std::to_string(width) + "x" + std::to_string(width);
    }
    return sizes;
}

// The icon file as a data address, which the page makes at once: a blob's
// address would take a round trip to the browser's own process. (The body
// is JavaScript.)
// clang-format off
EM_JS(int, dataAddress, (const unsigned char* bytes, std::size_t size), {
    return rzHold("data:image/x-icon;base64," +
                  btoa(String.fromCharCode(...HEAPU8.subarray(bytes, bytes + size))));
});
// clang-format on

} // namespace

// The address of the icon file's bytes, made once: a page's windows share
// it, and it stays a value of the page's, which the page's elements take as
// it is.
const Js& iconAddress(std::span<const unsigned char> file) {
    static IconCache<Js> made;
    return made.get(file, 0, [](std::span<const unsigned char> bytes, int /*size*/) {
        return Js::held(dataAddress(bytes.data(), bytes.size()));
    });
}

void setPageIcon(std::span<const unsigned char> file) {
    const Js document = Js::global("document");
    Js link = document.call("querySelector", "link[rel=icon]");
    if (link.isNull()) {
        link = Js::element("link");
        link.set("rel", "icon");
        document["head"].call("appendChild", link);
    }
    link.set("type", "image/x-icon");
    link.call("setAttribute", "sizes", sizesOf(file));
    link.set("href", iconAddress(file));
}

} // namespace platform::detail
