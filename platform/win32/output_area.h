#pragma once

// The output area on the Win32 layer: a read-only multi-line edit. Only the
// Win32 layer includes this.

#include "platform/form_window.h"

#include <optional>
#include <windows.h>

namespace platform::layer {

// What the output area adds to the read-only edit it is made of, for the
// messages it handles itself; nullopt for the others.
std::optional<LRESULT> outputAreaMessage(const ControlRecord& area, UINT message, WPARAM wParam,
                                         LPARAM lParam);
// The colours of the output area: the background of a field, as a text box
// has, although the player cannot type into it.
LRESULT outputAreaColours(HDC context);

} // namespace platform::layer
