#include "platform/icon_cache.h"
#include "platform/web/window.h"

#include <algorithm>
#include <emscripten/val.h>
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

// An address for the icon file's bytes, made once: a page's windows share
// it.
std::string addressOf(std::span<const unsigned char> file) {
    static IconCache<std::string> made;
    return made.get(file, 0, [](std::span<const unsigned char> bytes, int /*size*/) {
        const val copy = val::global("Uint8Array")
                             .new_(emscripten::typed_memory_view(bytes.size(), bytes.data()))
                             .call<val>("slice");
        val parts = val::array();
        parts.call<void>("push", copy);
        val type = val::object();
        type.set("type", "image/x-icon");
        const val blob = val::global("Blob").new_(parts, type);
        return val::global("URL").call<std::string>("createObjectURL", blob);
    });
}

} // namespace

void setPageIcon(std::span<const unsigned char> file) {
    const val document = val::global("document");
    val link = document.call<val>("querySelector", std::string("link[rel=icon]"));
    if (link.isNull()) {
        link = document.call<val>("createElement", std::string("link"));
        link.set("rel", "icon");
        document["head"].call<void>("appendChild", link);
    }
    link.set("type", "image/x-icon");
    link.call<void>("setAttribute", std::string("sizes"), sizesOf(file));
    link.set("href", addressOf(file));
}

} // namespace platform::detail
