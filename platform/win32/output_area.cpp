#include "platform/toolkit.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <commctrl.h>
#include <windows.h>

// The output area is a read-only multi-line edit whose text is the printed
// text itself: the print position is always at its end, and a line end is a
// CR LF, as the edit shows it.

namespace platform::detail {
namespace {

// Fills the clipboard with `text`, as the system's own copy does.
void copyToClipboard(HWND owner, const std::wstring& text) {
    if (OpenClipboard(owner) == FALSE) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(target));
            GlobalUnlock(memory);
            if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr) {
                memory = nullptr; // the clipboard owns it now
            }
        }
        if (memory != nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

// Ctrl+C copies the selected text, or all of it when none is selected,
// without the line end that only holds the print position.
void copy(HWND control) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring text = windowText(control);
    if (start == end) {
        start = 0;
        end = static_cast<DWORD>(text.size());
    }
    std::wstring copied = text.substr(start, end - start);
    if (end == text.size() && copied.ends_with(L"\r\n")) {
        copied.resize(copied.size() - 2);
    }
    copyToClipboard(control, copied);
}

} // namespace

std::optional<LRESULT> outputAreaMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Tab, Return and Escape are left to the window's navigation.
        return DefSubclassProc(control, message, wParam, lParam) &
               ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    case WM_COPY:
        copy(control);
        return 0;
    default:
        return std::nullopt;
    }
}

LRESULT outputAreaColours(HDC context) {
    SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(context, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void ClearOutput(ControlRecord& control) {
    writeWideText(control, "Clear", L"");
}

void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd) {
    std::wstring printed = readWideText(control, "Print");
    printed += widen(item);
    if (lineEnd) {
        printed += L"\r\n";
    }
    writeWideText(control, "Print", printed);
}

} // namespace platform::detail
