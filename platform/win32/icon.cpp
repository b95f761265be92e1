#include "platform/icon_cache.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>
#include <windows.h>

namespace platform::detail {
namespace {

// An icon of `size` pixels from the bytes of an icon file: the system picks
// the image that suits the size best, from the file's directory rewritten as
// a group-icon resource (the same entries with an ordinal in place of the
// offset), and scales it if need be. Null if the bytes hold no usable image.
UniqueIcon iconFromFile(std::span<const unsigned char> file, int size) {
    const auto word = [&](std::size_t at) -> std::uint32_t {
        return file[at] | (std::uint32_t{file[at + 1]} << 8);
    };
    const auto doubleWord = [&](std::size_t at) { return word(at) | (word(at + 2) << 16); };
    constexpr std::size_t header = 6;
    constexpr std::size_t fileEntry = 16;
    constexpr std::size_t groupEntry = 14;
    if (file.size() < header || word(0) != 0 || word(2) != 1) {
        return nullptr;
    }
    const std::size_t count = word(4);
    if (count == 0 || file.size() < header + count * fileEntry) {
        return nullptr;
    }
    std::vector<BYTE> group(header + count * groupEntry);
    std::copy_n(file.begin(), header, group.begin());
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = file.begin() + static_cast<std::ptrdiff_t>(header + i * fileEntry);
        const auto out = group.begin() + static_cast<std::ptrdiff_t>(header + i * groupEntry);
        std::copy_n(entry, 12, out); // size, colours, planes, bits and byte count
        out[12] = static_cast<BYTE>(i + 1);
        out[13] = 0;
    }
    const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    if (id < 1 || static_cast<std::size_t>(id) > count) {
        return nullptr;
    }
    const std::size_t entry = header + static_cast<std::size_t>(id - 1) * fileEntry;
    const std::size_t bytes = doubleWord(entry + 8);
    const std::size_t offset = doubleWord(entry + 12);
    if (offset > file.size() || bytes > file.size() - offset) {
        return nullptr;
    }
    // The system only reads the image, whatever the parameter's type says.
    auto* image = const_cast<BYTE*>(file.data() + offset);
    return UniqueIcon(CreateIconFromResourceEx(image, static_cast<DWORD>(bytes), TRUE, 0x00030000,
                                               size, size, LR_DEFAULTCOLOR));
}

} // namespace

HICON sharedIcon(std::span<const unsigned char> file, int size) {
    static IconCache<UniqueIcon> made;
    return made.get(file, size, iconFromFile).get();
}

void Window::setIcons() {
    if (iconFile_.empty()) {
        return;
    }
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        HICON icon = sharedIcon(iconFile_, GetSystemMetricsForDpi(metric, dpi_));
        SendMessageW(handle_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

} // namespace platform::detail
