#pragma once

// What the Win32 driver holds while it works a window: the error reports
// closed as soon as they come up, and what the window announced, both read
// as a player and a screen reader find them. Only the driver includes this.

#include "platform/testing.h"
#include "platform/win32/program.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <oleacc.h>
#include <stdexcept>

namespace platform::testing {

inline std::string withNewlines(std::wstring text) {
    std::erase(text, L'\r');
    return layer::narrow(text);
}

inline bool hasClass(HWND window, const wchar_t* name) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return CompareStringOrdinal(className, -1, name, -1, TRUE) == CSTR_EQUAL;
}

// A property of what the system's accessibility interface finds for a
// control, as assistive technology asks for it.
inline std::string accessibleProperty(HWND control,
                                      HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT,
                                                                                         BSTR*)) {
    IAccessible* found = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&found))) ||
        found == nullptr) {
        throw std::runtime_error("the control has no accessible object");
    }
    const std::unique_ptr<IAccessible, layer::ReleaseInterface> accessible(found);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = nullptr;
    if ((accessible.get()->*property)(self, &value) != S_OK || value == nullptr) {
        return {};
    }
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return withNewlines(std::move(text));
}

struct Driver::Driving {
    // Closes each error report as soon as it comes up: a message box runs
    // its own event loop, which calls the thread's timer procedure. Both are
    // called by the system, which no exception may reach: a report that
    // cannot be read is still closed, and counted with what was read.
    static void CALLBACK closeReports(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/,
                                      DWORD /*time*/) noexcept {
        EnumThreadWindows(GetCurrentThreadId(), closeIfReport, 0);
    }
    static BOOL CALLBACK closeIfReport(HWND box, LPARAM /*unused*/) noexcept {
        if (hasClass(box, L"#32770") && IsWindowVisible(box) != FALSE) {
            record([box](Driving& driving) { driving.reports.push_back(driving.read(box)); });
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    // Hears what the window announces, as a screen reader does.
    static void CALLBACK hear(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND region, LONG /*object*/,
                              LONG /*child*/, DWORD /*thread*/, DWORD /*time*/) noexcept {
        record([region](Driving& driving) {
            driving.announcements.push_back(accessibleProperty(region, &IAccessible::get_accName));
        });
    }
    // Runs `add` on the driver at work, for a callback of the system: what
    // cannot be read is noted as such.
    template <class Add> static void record(Add add) noexcept {
        if (active != nullptr) {
            try {
                add(*active);
            } catch (...) {
                active->unread = true;
            }
        }
    }

    explicit Driving(layer::Window& driven)
        : window(driven) {
        active = this;
        // Without the timer a report would stay open and the test wait on it.
        timer = SetTimer(nullptr, 0, 10, closeReports);
        listener = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED,
                                   nullptr, hear, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        if (timer == 0) {
            active = nullptr;
            throw std::runtime_error("the timer that closes error reports could not be set");
        }
    }
    ~Driving() {
        if (listener != nullptr) {
            UnhookWinEvent(listener);
        }
        KillTimer(nullptr, timer);
        active = nullptr;
    }
    Driving(const Driving&) = delete;
    Driving& operator=(const Driving&) = delete;
    Driving(Driving&&) = delete;
    Driving& operator=(Driving&&) = delete;

    [[nodiscard]] Report read(HWND box) const {
        Report report{withNewlines(layer::windowText(box)),
                      {},
                      GetWindow(box, GW_OWNER) == window.handle,
                      false};
        // The text and the icon stand in static controls of the box.
        const HICON errorIcon = LoadIconW(nullptr, IDI_ERROR);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!hasClass(child, WC_STATICW)) {
                continue;
            }
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                report.errorIcon = report.errorIcon || SendMessageW(child, STM_GETICON, 0, 0) ==
                                                           reinterpret_cast<LRESULT>(errorIcon);
            } else if (const std::wstring text = layer::windowText(child); !text.empty()) {
                report.text = withNewlines(text);
            }
        }
        return report;
    }
    template <class Heard> Heard take(Heard& heard) {
        layer::processPendingMessages();
        if (std::exchange(unread, false)) {
            throw std::runtime_error("an error report or announcement could not be read");
        }
        return std::exchange(heard, {});
    }

    static inline Driving* active = nullptr; // the driver whose window is under test
    layer::Window& window;
    UINT_PTR timer = 0;
    HWINEVENTHOOK listener = nullptr;
    std::vector<Report> reports;
    std::vector<std::string> announcements;
    bool unread = false; // a report or announcement could not be read
};

} // namespace platform::testing
