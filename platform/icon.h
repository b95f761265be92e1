#pragma once

// What every layer reads of an icon file, and the icons it makes from one,
// each made once and kept: windows that share an icon share its images, and
// decoding one is slow. Only the platform layer includes this.

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <tuple>
#include <vector>

namespace platform::detail {

// One image of an icon file, as its directory lists it.
struct IconImage {
    int width = 0;                        // pixels
    std::span<const unsigned char> entry; // its 16 bytes in the directory
    std::span<const unsigned char> bytes; // the image itself
};

// The images an icon file's directory lists, in its order, each of them
// within the file; none if the bytes are not an icon file.
inline std::vector<IconImage> IconImages(std::span<const unsigned char> file) {
    const auto word = [&](std::size_t at) -> std::uint32_t {
        return file[at] | (std::uint32_t{file[at + 1]} << 8);
    };
    constexpr std::size_t header = 6;
    constexpr std::size_t entrySize = 16;
    if (file.size() < header || word(0) != 0 || word(2) != 1) {
        return {};
    }
    const std::size_t count = word(4);
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count && header + (i + 1) * entrySize <= file.size(); ++i) {
        const std::size_t at = header + i * entrySize;
        const std::size_t size = word(at + 8) | (word(at + 10) << 16);
        const std::size_t offset = word(at + 12) | (word(at + 14) << 16);
        if (offset > file.size() || size > file.size() - offset) {
            return {};
        }
        images.push_back({file[at] == 0 ? 256 : file[at], file.subspan(at, entrySize),
                          file.subspan(offset, size)});
    }
    return images;
}

template <class Icon> class IconCache {
public:
    // The icon of `size` pixels from the bytes of `file`, made by
    // `make(file, size)` the first time it is asked for.
    template <class Make>
    const Icon& get(std::span<const unsigned char> file, int size, Make make) {
        const auto [entry, inserted] = made_.try_emplace({file.data(), file.size(), size});
        if (inserted) {
            entry->second = make(file, size);
        }
        return entry->second;
    }
    [[nodiscard]] bool empty() const { return made_.empty(); }
    void clear() { made_.clear(); }

private:
    std::map<std::tuple<const unsigned char*, std::size_t, int>, Icon> made_;
};

} // namespace platform::detail
