#pragma once

// The system side of a form: the top-level window and the layer's record of
// each control on it, and what the layer's files share. Only the platform
// layer and tests include this.

#include "platform/caption_fit.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/toolkit.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <objbase.h>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <unknwn.h>
#include <windows.h>

namespace platform::detail {

struct ControlSlot : ControlRecord {
    explicit ControlSlot(ControlRecord record)
        : ControlRecord(std::move(record)) {}
    // Null once the control is destroyed, which makes every later operation
    // on it fail cleanly instead of reaching a stale handle.
    HWND handle = nullptr;
};

// A font, region, bitmap or other drawing object, deleted when it goes.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// The thread's COM apartment, for as long as this lives.
class ComApartment {
public:
    ComApartment()
        : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ComApartment(ComApartment&&) = delete;
    ComApartment& operator=(ComApartment&&) = delete;

    [[nodiscard]] bool initialized() const { return initialized_; }

private:
    bool initialized_;
};

// A COM object, released when it goes.
struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};

class Window final : public FormWindow {
public:
    explicit Window(const FormDescription& description);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    ControlSlot& makeControl(ControlRecord record) override;
    void showWithInitialFocus() override;
    void showReport(const std::string& report) override;
    void announce(const Announcement& said) override;

    [[nodiscard]] HWND handle() const { return handle_; }
    // The record of the control named `name`, or of the control `handle`;
    // null if there is none.
    [[nodiscard]] const ControlSlot* find(std::string_view name) const;
    [[nodiscard]] const ControlSlot* find(HWND handle) const;
    [[nodiscard]] std::string caption() const;

    // Runs the event loop until the window is closed; returns the program's
    // exit status.
    int runUntilClosed();

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    [[nodiscard]] int pixels(int twips) const;
    // The window's outer rectangle for its client area at `dpi`.
    [[nodiscard]] RECT frameFor(UINT dpi) const;
    // Where a control stands in the client area, in pixels.
    [[nodiscard]] RECT placement(const ControlSlot& slot) const;
    [[nodiscard]] HWND firstInTabOrder() const;
    // Sizes the window and places every control at the current DPI, with the
    // font and icons made for it once the window is shown.
    void layOut();

    // Orders the controls among their siblings: the order of the tab chain,
    // which is the tab indices' order, with each label just before the
    // control it names, where assistive technology takes that control's name
    // from. Labels take no focus, so the tab chain stays as it is.
    void arrangeSiblings();
    // A label stands above the control it names in the order of siblings, so
    // that it names it for assistive technology; it must not hide any part of
    // another control it overlaps, so its window keeps only the part where
    // it covers none.
    void clipLabels();
    void fitFont();
    void setIcons();

    HWND handle_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    int clientWidth_ = 0;  // twips
    int clientHeight_ = 0; // twips
    std::span<const unsigned char> iconFile_;
    ControlList<ControlSlot> controls_;
    HFONT font_ = nullptr;           // shared by the windows of the process
    HWND lastFocus_ = nullptr;       // the control to give the focus back to on activation
    std::deque<HWND> announcements_; // the latest, oldest first
    std::unique_ptr<IUnknown, ReleaseInterface> liveRegions_; // the annotation service
    bool endsProgram_ = false;
};

inline Window& windowOf(const Form& form) {
    return static_cast<Window&>(form.window());
}

// The window class of every form; 0 until the first form is made.
ATOM formClass();

// The window class, style and extended style of a control of `kind`.
struct ControlLook {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};
ControlLook lookOf(ControlKind kind);

// Adds to a control the behaviour its kind has beyond the standard control's
// (the keys of a button, the output area's copy) and makes it forget its
// handle when it is destroyed.
void subclassControl(ControlSlot& slot);

// What the output area adds to the read-only edit it is made of, for the
// messages it handles itself; nullopt for the others.
std::optional<LRESULT> outputAreaMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// The colours of the output area: the background of a field, as a text box
// has, although the player cannot type into it.
LRESULT outputAreaColours(HDC context);

// A control's text, read and written as every control operation is: a
// control that is gone, or a call that fails, raises a RuntimeError naming
// the control and `operation`.
std::wstring readWideText(const ControlRecord& control, std::string_view operation);
void writeWideText(const ControlRecord& control, std::string_view operation,
                   const std::wstring& text);

// `caption` in `font`, wrapped to `width` pixels, by the system's own text
// measurement.
CaptionSize measureCaption(HFONT font, std::string_view caption, int width);

// The icon of `size` pixels made from an icon file's bytes, kept for the
// life of the process; null if they hold no usable image.
HICON sharedIcon(std::span<const unsigned char> file, int size);

// Hands one message of the event loop on: the keyboard navigation of a
// form's controls (Tab, Shift+Tab) takes what it handles, the window
// procedure the rest. The event loop and the tests' driver both use it.
void processMessage(MSG& message);
// Runs the event loop until nothing is left to do: the window procedures
// have seen every message already queued, input included.
void processPendingMessages();
// Runs the event loop until `done` holds or `limit` has passed; whether it
// holds.
bool processMessagesUntil(const std::function<bool()>& done,
                          std::chrono::steady_clock::duration limit);

// The system's description of its last error, for a report.
std::string lastErrorText();
[[noreturn]] void raiseSystemError(const char* what);

// The text of a window or control; empty if it has none or is gone.
std::wstring windowText(HWND window);

} // namespace platform::detail
