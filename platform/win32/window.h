#pragma once

// The system side of a form: the top-level window and the runtime's record of
// each control on it. Only the platform layer and tests include this.

#include "platform/forms.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace platform::detail {

enum class ControlKind { TextBox, PictureBox, Label, CommandButton };

struct ControlSlot {
    std::string name;
    ControlKind kind = ControlKind::Label;
    int tabIndex = 0;
    std::string labelFor; // for a label, the control it names
    // The control's rectangle in twips, from the form's client area.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::function<void()> click; // buttons only
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

class Window {
public:
    explicit Window(const FormDescription& description);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    // Creates the control of `description` as a child at its twips
    // rectangle; returns the runtime's record of it. `click` runs when a
    // button is clicked.
    ControlSlot& addControl(const ControlDescription& description, ControlKind kind,
                            std::function<void()> click = {});

    [[nodiscard]] HWND handle() const { return handle_; }
    // The record of the control named `name`, or of the control `handle`;
    // null if there is none.
    [[nodiscard]] const ControlSlot* find(std::string_view name) const;
    [[nodiscard]] const ControlSlot* find(HWND handle) const;
    [[nodiscard]] std::string caption() const;

    // Puts the controls in tab order, fits the font and shows the window
    // with the keyboard focus on the first control that takes it.
    void showWithInitialFocus();

    // Runs the event loop until the window is closed; returns the program's
    // exit status.
    int runUntilClosed();

    // Runs a click procedure as the event dispatch does: an exception it
    // raises is reported in a message box, and the program goes on.
    void dispatch(const std::function<void()>& procedure);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    [[nodiscard]] int pixels(int twips) const;
    // The window's outer rectangle for its client area at `dpi`.
    [[nodiscard]] RECT frameFor(UINT dpi) const;
    // Orders the controls among their siblings: the order of the tab chain,
    // which is the tab indices' order, with each label just before the
    // control it names, where assistive technology takes that control's name
    // from. Labels take no focus, so the tab chain stays as it is.
    void arrangeSiblings();
    // Where a control stands in the client area, in pixels.
    [[nodiscard]] RECT placement(const ControlSlot& slot) const;
    // A label stands above the control it names in the order of siblings, so
    // that it names it for assistive technology; it must not hide any part of
    // another control it overlaps, so its window keeps only the part where
    // it covers none.
    void clipLabels();
    [[nodiscard]] HWND firstInTabOrder() const;
    // Sizes the window and places every control at the current DPI, with the
    // font and icons made for it once the window is shown.
    void layOut();
    void fitFont();
    void setIcons();

    HWND handle_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    int clientWidth_ = 0;  // twips
    int clientHeight_ = 0; // twips
    std::span<const unsigned char> iconFile_;
    std::vector<std::unique_ptr<ControlSlot>> controls_;
    HFONT font_ = nullptr;     // shared by the windows of the process
    HWND lastFocus_ = nullptr; // the control to give the focus back to on activation
    bool endsProgram_ = false;
};

// Hands one message of the event loop on: the keyboard navigation of a
// form's controls (Tab, Shift+Tab) takes what it handles, the window
// procedure the rest. The event loop and the tests' driver both use it.
void processMessage(MSG& message);

// The system's description of its last error, for a report.
std::string lastErrorText();

// The text of a window or control; empty if it has none or is gone.
std::wstring windowText(HWND window);

} // namespace platform::detail
