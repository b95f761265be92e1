#include "platform/win32/accessibility.h"

#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

// The system's accessibility proxies name an edit control by the label that
// stands just before it among its siblings; what a click did is announced
// through live regions.

namespace platform::layer {
namespace {

// UI Automation's LiveSetting property, {c12bcd8e-2a8e-4950-8ae7-3625111d58eb},
// and its value for a region whose changes are read when the reader is free.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG Polite = 1;

void clipLabel(const Window& window, const ControlRecord& label) {
    using UniqueRegion = UniqueGdiObject<HRGN>;
    const RECT bounds = window.placement(label);
    UniqueRegion visible(
        CreateRectRgn(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top));
    bool covers = false;
    for (const auto& other : window.form.controls()) {
        RECT overlap{};
        const RECT otherBounds = window.placement(*other);
        if (other->kind == detail::ControlKind::Label || other->toolkit->handle == nullptr ||
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
    if (SetWindowRgn(label.toolkit->handle, region, TRUE) == 0 && region != nullptr) {
        DeleteObject(region);
    }
}

} // namespace

void Announcer::announce(HWND window, const std::wstring& text) {
    HWND announcement =
        CreateWindowExW(0, WC_STATICW, text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0,
                        0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
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
    constexpr std::size_t kept = 8;
    announcements_.push_back(announcement);
    while (announcements_.size() > kept) {
        DestroyWindow(announcements_.front());
        announcements_.pop_front();
    }
}

void Announce(Window& window, const detail::Announcement& said) {
    window.announcer.announce(window.handle, widen(said.text));
}

void clipLabels(const Window& window) {
    for (const auto& control : window.form.controls()) {
        if (control->kind == detail::ControlKind::Label && control->toolkit->handle != nullptr) {
            clipLabel(window, *control);
        }
    }
}

// The order of siblings is the tab chain's, the tab indices' order, with
// each label just before the control it names, where the accessibility
// proxies take that control's name from. Labels take no focus, so the tab
// chain stays as it is.
void Arrange(Window& window, const std::vector<ControlRecord*>& order) {
    HWND previous = HWND_TOP;
    for (const ControlRecord* control : order) {
        HWND handle = control->toolkit->handle;
        if (handle == nullptr) {
            continue;
        }
        const HWND above = GetWindow(handle, GW_HWNDPREV);
        if (previous == HWND_TOP ? above != nullptr : above != previous) {
            SetWindowPos(handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = handle;
    }
    clipLabels(window);
}

} // namespace platform::layer
