#pragma once

// The system's side of a form on the Win32 API: the top-level window, which
// hands each message to a handler named for it, and the window of each
// control; what the layer's files share. Only the Win32 layer and its users
// in tests and benchmarks include this.

#include "platform/form_window.h"
#include "platform/win32/accessibility.h"
#include "platform/win32/caption_fit.h"

#include <optional>
#include <windows.h>

namespace platform::layer {

// A control's window, destroyed with it; the handle is null once the window
// is destroyed, which makes every later operation on the control fail
// cleanly instead of reaching a stale handle.
struct Control {
    Control(HWND made, const ControlRecord& control)
        : handle(made)
        , record(control) {}
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    Control(Control&&) = delete;
    Control& operator=(Control&&) = delete;

    HWND handle = nullptr;
    const ControlRecord& record;
};

struct Window {
    explicit Window(FormWindow& shown);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    // The record of the control whose window is `control`; null if none.
    [[nodiscard]] const ControlRecord* find(HWND control) const;
    // Where a control stands in the client area, in pixels at the DPI.
    [[nodiscard]] RECT placement(const ControlRecord& control) const;
    // Clips each label to the part where it covers no other control: it
    // stands above the control it names among the siblings, and must not
    // hide any part of another control it overlaps.
    void clipLabels() const;

    FormWindow& form;
    HWND handle = nullptr;
    DpiFont font;             // the DPI, and the font fitted to the captions at it
    Announcer announcer;      // what a click did, for assistive technology
    HWND lastFocus = nullptr; // the control to give the focus back to on activation
    bool endsProgram = false; // closing it ends the event loop

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The messages the window answers itself, each in a handler of its own;
    // nullopt leaves the message to the system's default.
    std::optional<LRESULT> onCommand(HWND control, UINT notification);
    std::optional<LRESULT> onControlColour(HDC context, HWND control) const;
    std::optional<LRESULT> onActivate(bool active);
    std::optional<LRESULT> onDpiChanged(UINT dpi, const RECT& suggested);
    std::optional<LRESULT> onSettingChange(UINT setting);
    std::optional<LRESULT> onDestroy() const;

    // The window's outer rectangle for its client area at the DPI.
    [[nodiscard]] RECT frame() const;
    // Clips one label to the part where it covers no other control.
    void clipLabel(const ControlRecord& label) const;
    // Gives the controls their clipping, the fitted font and the window its
    // icons at a new DPI.
    void fitToDpi();
};

// The window class of every form; 0 until the first form is made.
ATOM formClass();

} // namespace platform::layer
