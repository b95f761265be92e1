#include "platform/toolkit.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <commctrl.h>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace platform::detail {
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

LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR /*subclass*/, DWORD_PTR data) noexcept {
    auto& slot = *reinterpret_cast<ControlSlot*>(data);
    if (message == WM_NCDESTROY) {
        slot.handle = nullptr;
        RemoveWindowSubclass(control, controlProcedure, 0);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    try {
        std::optional<LRESULT> handled;
        if (slot.kind == ControlKind::CommandButton) {
            handled = buttonMessage(control, message, wParam, lParam);
        } else if (slot.kind == ControlKind::PictureBox) {
            handled = outputAreaMessage(control, message, wParam, lParam);
        }
        if (handled) {
            return *handled;
        }
    } catch (...) {
        return 0; // nothing may cross into the system; the key or copy is dropped
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

ControlLook lookOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::TextBox: // one line of text, scrolled sideways as it grows
        return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::PictureBox: // read-only lines that the layer prints, never wrapped
        return {WC_EDITW, WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL,
                WS_EX_CLIENTEDGE};
    case ControlKind::Label: // wrapped at blanks, with no mnemonics
        return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::CommandButton:
        break;
    }
    return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0};
}

void subclassControl(ControlSlot& slot) {
    if (SetWindowSubclass(slot.handle, controlProcedure, 0, reinterpret_cast<DWORD_PTR>(&slot)) ==
        FALSE) {
        raiseSystemError("a control could not be given its behaviour");
    }
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string lastErrorText() {
    const DWORD code = GetLastError();
    wchar_t buffer[512] = {};
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r' ||
                          buffer[length - 1] == L' ')) {
        --length;
    }
    std::string text = "system error " + std::to_string(code);
    if (length > 0) {
        text += " (" + narrow(std::wstring_view(buffer, length)) + ")";
    }
    return text;
}

void raiseSystemError(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + lastErrorText());
}

namespace {

// The control's live handle, checked as every control operation is: a
// control that is gone fails the operation with a RuntimeError.
HWND liveHandle(const ControlRecord& control, std::string_view operation) {
    HWND handle = static_cast<const ControlSlot&>(control).handle;
    if (handle == nullptr) {
        RaiseControlError(control.name, operation, "the control no longer exists");
    }
    return handle;
}

} // namespace

std::wstring readWideText(const ControlRecord& control, std::string_view operation) {
    HWND handle = liveHandle(control, operation);
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(handle);
    if (length == 0 && GetLastError() != ERROR_SUCCESS) {
        RaiseControlError(control.name, operation, lastErrorText());
    }
    std::wstring result(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, result.data(), length + 1);
    if (copied == 0 && length > 0) {
        RaiseControlError(control.name, operation, lastErrorText());
    }
    result.resize(static_cast<std::size_t>(copied));
    return result;
}

void writeWideText(const ControlRecord& control, std::string_view operation,
                   const std::wstring& text) {
    if (SetWindowTextW(liveHandle(control, operation), text.c_str()) == FALSE) {
        RaiseControlError(control.name, operation, lastErrorText());
    }
}

std::string ReadText(ControlRecord& control, std::string_view operation) {
    return narrow(readWideText(control, operation));
}

void WriteText(ControlRecord& control, std::string_view operation, std::string_view text) {
    writeWideText(control, operation, widen(text));
}

} // namespace platform::detail
