#include "platform/win32/accessibility.h"

#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

// What a click did is announced through live regions; the system's
// accessibility proxies find the rest themselves.

namespace platform::layer {
namespace {

// UI Automation's LiveSetting property, {c12bcd8e-2a8e-4950-8ae7-3625111d58eb},
// and its value for a region whose changes are read when the reader is free.
constexpr GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG Polite = 1;

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
    announcements_.push_back(announcement);
    while (announcements_.size() > detail::Announcement::kept) {
        DestroyWindow(announcements_.front());
        announcements_.pop_front();
    }
}

void Announce(Window& window, const detail::Announcement& said) {
    window.announcer.announce(window.handle, widen(said.text));
}

} // namespace platform::layer
