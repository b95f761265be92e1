#include "platform/win32/icon.h"

#include "platform/icon.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace platform::layer {
namespace {

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// An icon of `size` pixels from the bytes of an icon file: the system picks
// the image that suits the size best, from the file's directory rewritten as
// a group-icon resource (the same entries with an ordinal in place of the
// offset), and scales it if need be. Null if the bytes hold no usable image.
UniqueIcon iconFromFile(std::span<const unsigned char> file, int size) {
    const std::vector<detail::IconImage> images = detail::IconImages(file);
    if (images.empty()) {
        return nullptr;
    }
    constexpr std::size_t header = 6;
    constexpr std::size_t groupEntry = 14;
    std::vector<BYTE> group(header + images.size() * groupEntry);
    std::copy_n(file.begin(), header, group.begin());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto out = group.begin() + static_cast<std::ptrdiff_t>(header + i * groupEntry);
        std::copy_n(images[i].entry.begin(), 12, out); // size, colours, planes, bits and bytes
        out[12] = static_cast<BYTE>(i + 1);
        out[13] = 0;
    }
    const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    if (id < 1 || static_cast<std::size_t>(id) > images.size()) {
        return nullptr;
    }
    // The system only reads the image, whatever the parameter's type says.
    const std::span<const unsigned char> image = images[static_cast<std::size_t>(id) - 1].bytes;
    return UniqueIcon(CreateIconFromResourceEx(const_cast<BYTE*>(image.data()),
                                               static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                               size, size, LR_DEFAULTCOLOR));
}

} // namespace

void setIcons(HWND window, std::span<const unsigned char> file, UINT dpi) {
    if (file.empty()) {
        return;
    }
    // Made once for the process: windows that share an icon share its images.
    static detail::IconCache<UniqueIcon> made;
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        HICON icon = made.get(file, GetSystemMetricsForDpi(metric, dpi), iconFromFile).get();
        SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

} // namespace platform::layer
