#include "platform/win32/window.h"

#include <windows.h>

// What assistive technology finds of a form: the system's accessibility
// proxies name an edit control by the label that stands just before it
// among its siblings.

namespace platform::detail {

void Window::arrangeSiblings() {
    HWND previous = HWND_TOP;
    for (const ControlSlot* slot : controls_.labelledOrder()) {
        if (slot->handle == nullptr) {
            continue;
        }
        const HWND above = GetWindow(slot->handle, GW_HWNDPREV);
        if (previous == HWND_TOP ? above != nullptr : above != previous) {
            SetWindowPos(slot->handle, previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = slot->handle;
    }
}

void Window::clipLabels() {
    using UniqueRegion = UniqueGdiObject<HRGN>;
    for (const auto& label : controls_) {
        if (label->kind != ControlKind::Label || label->handle == nullptr) {
            continue;
        }
        const RECT bounds = placement(*label);
        UniqueRegion visible(
            CreateRectRgn(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top));
        bool covers = false;
        for (const auto& other : controls_) {
            RECT overlap{};
            const RECT otherBounds = placement(*other);
            if (other->kind == ControlKind::Label || other->handle == nullptr ||
                IntersectRect(&overlap, &bounds, &otherBounds) == FALSE) {
                continue;
            }
            OffsetRect(&overlap, -bounds.left, -bounds.top);
            const UniqueRegion covered(CreateRectRgnIndirect(&overlap));
            CombineRgn(visible.get(), visible.get(), covered.get(), RGN_DIFF);
            covers = true;
        }
        // The window owns a region once it has it.
        HRGN region = covers ? visible.release() : nullptr;
        if (SetWindowRgn(label->handle, region, TRUE) == 0 && region != nullptr) {
            DeleteObject(region);
        }
    }
}

} // namespace platform::detail
