#pragma once

// The icons a layer makes from icon files, each made once and kept: windows
// that share an icon share its images, and decoding one is slow. Only the
// platform layer includes this.

#include <cstddef>
#include <map>
#include <span>
#include <tuple>

namespace platform::detail {

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
