#include "platform/win32/output_area.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <string>
#include <windows.h>

namespace platform::layer {
namespace {

// What a button adds to the standard one: Return clicks it as Space does,
// and the arrow keys on it move the focus along the tab order, back or on.
std::optional<LRESULT> buttonMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        const LRESULT code = DefSubclassProc(control, message, wParam, lParam);
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool isReturn =
            key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        return code | DLGC_WANTARROWS | (isReturn ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            const bool repeated = (lParam & (LPARAM{1} << 30)) != 0;
            if (!repeated) {
                SendMessageW(GetParent(control), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                             reinterpret_cast<LPARAM>(control));
            }
            return 0;
        }
        if (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN) {
            const bool back = wParam == VK_LEFT || wParam == VK_UP;
            if (HWND next = GetNextDlgTabItem(GetParent(control), control, back ? TRUE : FALSE)) {
                SetFocus(next);
            }
            return 0;
        }
        return std::nullopt;
    case WM_CHAR:
        return wParam == L'\r' ? std::optional<LRESULT>(0) : std::nullopt;
    default:
        return std::nullopt;
    }
}

// Adds to a control the behaviour its kind has beyond the standard
// control's (the keys of a button, the output area's copy), and makes the
// control forget its window when it is destroyed.
LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR /*subclass*/, DWORD_PTR data) noexcept {
    auto& made = *reinterpret_cast<Control*>(data);
    const ControlRecord& record = made.record;
    if (message == WM_NCDESTROY) {
        made.handle = nullptr;
        RemoveWindowSubclass(control, controlProcedure, 0);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    try {
        std::optional<LRESULT> handled;
        if (record.kind == detail::ControlKind::CommandButton) {
            handled = buttonMessage(control, message, wParam, lParam);
        } else if (record.kind == detail::ControlKind::PictureBox) {
            handled = outputAreaMessage(record, message, wParam, lParam);
        }
        if (handled) {
            return *handled;
        }
    } catch (...) {
        return 0; // nothing may cross into the system; the key or copy is dropped
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

// The window class, style and extended style of a control of `kind`.
struct Look {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};
Look lookOf(detail::ControlKind kind) {
    switch (kind) {
    case detail::ControlKind::TextBox: // one line of text, scrolled sideways as it grows
        return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case detail::ControlKind::PictureBox: // read-only lines that the layer prints, never wrapped
        return {WC_EDITW, WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL,
                WS_EX_CLIENTEDGE};
    case detail::ControlKind::Label: // wrapped at blanks, with no mnemonics
        return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case detail::ControlKind::CommandButton:
        break;
    }
    return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0};
}

} // namespace

Owned<Control> MakeControl(Window& window, ControlRecord& control) {
    constexpr int firstId = 100; // clear of IDOK and IDCANCEL, which navigation sends
    const Look look = lookOf(control.kind);
    const RECT bounds = window.placement(control);
    Owned<Control> made(new Control(
        CreateWindowExW(
            look.extendedStyle, look.className, widen(control.caption).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | look.style, bounds.left, bounds.top,
            bounds.right - bounds.left, bounds.bottom - bounds.top, window.handle,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstId + window.form.controls().size())),
            GetModuleHandleW(nullptr), nullptr),
        control));
    if (made->handle == nullptr) {
        raiseSystemError("a control could not be created");
    }
    if (SetWindowSubclass(made->handle, controlProcedure, 0,
                          reinterpret_cast<DWORD_PTR>(made.get())) == FALSE) {
        raiseSystemError("a control could not be given its behaviour");
    }
    if (HFONT font = window.font.fitted()) {
        SendMessageW(made->handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return made;
}

Control::~Control() {
    if (handle != nullptr) {
        DestroyWindow(handle);
    }
}

bool Exists(const Control& control) {
    return control.handle != nullptr;
}

std::string ReadText(const ControlRecord& field, std::string_view operation) {
    SetLastError(ERROR_SUCCESS);
    const std::wstring text = windowText(field.toolkit->handle);
    if (text.empty() && GetLastError() != ERROR_SUCCESS) {
        RaiseControlError(field.name, operation, lastErrorText());
    }
    return narrow(text);
}

void WriteText(const ControlRecord& field, std::string_view operation, std::string_view text) {
    if (SetWindowTextW(field.toolkit->handle, widen(text).c_str()) == FALSE) {
        RaiseControlError(field.name, operation, lastErrorText());
    }
}

} // namespace platform::layer
