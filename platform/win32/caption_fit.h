#pragma once

// The DPI a window is shown at, and the font its controls show their text
// in. Only the Win32 layer includes this.

#include "platform/layer.h"

#include <memory>
#include <type_traits>
#include <windows.h>

namespace platform::layer {

// A font, region, bitmap or other drawing object, deleted when it goes.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

// A window's DPI and its font: the desktop's message font at that DPI, at
// the size that the font fit finds. Every pixel measure of the window
// scales with the DPI.
class DpiFont {
public:
    explicit DpiFont(UINT dpi)
        : dpi_(dpi) {}

    [[nodiscard]] UINT dpi() const { return dpi_; }
    void setDpi(UINT dpi) { dpi_ = dpi; }
    // Twips in pixels at the DPI.
    [[nodiscard]] int fromTwips(int twips) const;
    // The desktop's message font's size at the DPI.
    [[nodiscard]] int desktopSize() const;
    // The message font at `size` pixels, made once for the whole process:
    // windows at the same size share it, and making a font is slow.
    [[nodiscard]] HFONT at(int size) const;
    // The font the fit chose; null until it has run, or while no font of
    // the size it chose could be made.
    [[nodiscard]] HFONT fitted() const { return fitted_; }
    void fit(int size) {
        if (HFONT font = at(size)) {
            fitted_ = font;
        }
    }

private:
    UINT dpi_;
    HFONT fitted_ = nullptr;
};

} // namespace platform::layer
