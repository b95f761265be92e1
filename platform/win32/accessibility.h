#pragma once

// What assistive technology is told of a form beyond what the system's
// accessibility proxies find themselves: what a click did, through live
// regions. Only the Win32 layer and its driver include this.

#include <deque>
#include <memory>
#include <string>
#include <unknwn.h>
#include <windows.h>

namespace platform::layer {

// The thread's COM apartment, for as long as this lives.
struct ComApartment {
    ComApartment()
        : initialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ComApartment(ComApartment&&) = delete;
    ComApartment& operator=(ComApartment&&) = delete;

    const bool initialized;
};

// A COM object, released when it goes.
struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};

// Says what each click did on a window: each announcement a text of its own
// in a polite live region that takes no room, whose text never changes, so
// that a screen reader that reads it late still reads what it said. The
// latest few stay for a screen reader that is behind.
class Announcer {
public:
    void announce(HWND window, const std::wstring& text);

private:
    std::deque<HWND> announcements_;                          // the latest, oldest first
    std::unique_ptr<IUnknown, ReleaseInterface> liveRegions_; // the annotation service
};

} // namespace platform::layer
