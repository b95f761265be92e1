#pragma once

#include <span>

namespace game {

// The application icon as an icon file: a die showing five, in three images
// (32 x 32 in 2 colours, 32 x 32 and 16 x 16 in 16 colours), made at build
// time from the pixel maps in icons/.
std::span<const unsigned char> ApplicationIcon();

} // namespace game
