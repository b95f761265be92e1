// The application icon's bytes, embedded from the icon file that the build
// makes from the pixel maps in icons/.

#include "game/icon.h"

namespace game {

std::span<const unsigned char> ApplicationIcon() {
    static constexpr unsigned char icon[] = {
#include "icon.ico.inc"
    };
    return icon;
}

} // namespace game
