#pragma once

// The window's icons on the Win32 layer. Only the Win32 layer includes this.

#include <span>
#include <windows.h>

namespace platform::layer {

// Gives a window its icons, at `dpi`, from an icon file's bytes.
void setIcons(HWND window, std::span<const unsigned char> file, UINT dpi);

} // namespace platform::layer
