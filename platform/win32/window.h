#pragma once

// The system's side of a form on the Win32 API: the top-level window, which
// hands each message to a handler named for it, and the window of each
// control; what the layer's files share. Only the Win32 layer and its users
// in tests and benchmarks include this.

#include "platform/form_window.h"
#include "platform/win32/accessibility.h"
#include "platform/win32/caption_fit.h"

#include <optional>
#include <span>
#include <string>
#include <windows.h>

namespace platform::layer {

// A control's window, which goes with it; the handle is null once the window
// is destroyed, which makes every later operation on the control fail
// cleanly instead of reaching a stale handle.
struct Control {
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
    // Gives the controls the fitted font and the window its icons, at the
    // DPI; once it is shown, every time the DPI changes.
    void fitToDpi();
    // Runs the event loop until the window is closed; returns the program's
    // exit status.
    int runUntilClosed();

    FormWindow& form;
    HWND handle = nullptr;
    DpiFont font;             // the DPI, and the font fitted to the captions at it
    Announcer announcer;      // what a click did, for assistive technology
    HWND lastFocus = nullptr; // the control to give the focus back to on activation

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
    bool endsProgram_ = false;
};

// The window class of every form; 0 until the first form is made.
ATOM formClass();

// Gives a window its icons, at `dpi`, from an icon file's bytes.
void setIcons(HWND window, std::span<const unsigned char> file, UINT dpi);

// Clips each label of the window to the part where it covers no other
// control: it stands above the control it names among the siblings, and
// must not hide any part of another control it overlaps.
void clipLabels(const Window& window);

// What the output area adds to the read-only edit it is made of, for the
// messages it handles itself; nullopt for the others.
std::optional<LRESULT> outputAreaMessage(const ControlRecord& area, UINT message, WPARAM wParam,
                                         LPARAM lParam);
// The colours of the output area: the background of a field, as a text box
// has, although the player cannot type into it.
LRESULT outputAreaColours(HDC context);

// Hands one message of the event loop on: the keyboard navigation of a
// form's controls (Tab, Shift+Tab) takes what it handles, the window
// procedure the rest. The event loop and the tests' driver both use it.
void processMessage(MSG& message);
// Runs the event loop until nothing is left to do: the window procedures
// have seen every message already queued, input included.
void processPendingMessages();

// The system's description of its last error, for a report.
std::string lastErrorText();
[[noreturn]] void raiseSystemError(const char* what);

// The text of a window or control; empty if it has none or is gone.
std::wstring windowText(HWND window);

} // namespace platform::layer
