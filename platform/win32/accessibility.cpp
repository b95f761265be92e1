#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <initguid.h>
#include <memory>
#include <oleacc.h>
#include <windows.h>

// What assistive technology finds of a form: the system's accessibility
// proxies name an edit control by the label that stands just before it
// among its siblings; what a click did is announced through live regions.

namespace platform::detail {
namespace {

// UI Automation's LiveSetting property, {c12bcd8e-2a8e-4950-8ae7-3625111d58eb},
// and its value for a region whose changes are read when the reader is free.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG Polite = 1;

} // namespace

void Window::announce(const Announcement& said) {
    // Each announcement is a text of its own in a live region that takes no
    // room, whose text never changes: a screen reader that reads it late
    // still reads what it said.
    HWND announcement = CreateWindowExW(0, WC_STATICW, widen(said.text).c_str(),
                                        WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, handle_,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    if (announcement == nullptr) {
        return; // nothing to say it with; the click itself went well
    }
    // The system's annotation service marks it a polite live region for as
    // long as it lives; where the service is missing the event still comes.
    if (liveRegions_ == nullptr) {
        IAccPropServices* services = nullptr;
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         reinterpret_cast<void**>(&services));
        liveRegions_.reset(services);
    }
    if (liveRegions_ != nullptr) {
        VARIANT polite{};
        polite.vt = VT_I4;
        polite.lVal = Polite;
        static_cast<IAccPropServices*>(liveRegions_.get())
            ->SetHwndProp(announcement, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                          LiveSettingProperty, polite);
    }
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, announcement, OBJID_CLIENT, CHILDID_SELF);
    // The latest few stay for a screen reader that is behind; older ones go.
    constexpr std::size_t kept = 8;
    announcements_.push_back(announcement);
    while (announcements_.size() > kept) {
        DestroyWindow(announcements_.front());
        announcements_.pop_front();
    }
}

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
