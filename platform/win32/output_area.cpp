#include "platform/win32/output_area.h"

#include "platform/win32/system_error.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <commctrl.h>
#include <windows.h>

// The output area is a read-only multi-line edit that shows what stands
// printed: each item printed goes at its end, and a line end is a CR LF, as
// the edit shows it.

namespace platform::layer {
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

// `text` with each line end as the edit shows it.
std::wstring withLineEnds(std::string_view text) {
    std::wstring shown;
    for (const wchar_t c : widen(text)) {
        if (c == L'\n') {
            shown += L'\r';
        }
        shown += c;
    }
    return shown;
}

} // namespace

std::optional<LRESULT> outputAreaMessage(const ControlRecord& area, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    HWND control = area.toolkit->handle;
    switch (message) {
    case WM_GETDLGCODE:
        // Tab, Return and Escape are left to the window's navigation.
        return DefSubclassProc(control, message, wParam, lParam) &
               ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    case WM_COPY: {
        // Ctrl+C copies a part of the text that the player selected as the
        // edit does; with nothing selected, or all of it (as Tab selects
        // it), what stands printed.
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        const auto all = static_cast<DWORD>(GetWindowTextLengthW(control));
        if (start != end && (start != 0 || end != all)) {
            return std::nullopt;
        }
        copyToClipboard(control, withLineEnds(FormWindow::copiedText(area)));
        return 0;
    }
    default:
        return std::nullopt;
    }
}

LRESULT outputAreaColours(HDC context) {
    SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(context, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void ShowCleared(const ControlRecord& area, std::string_view operation) {
    if (SetWindowTextW(area.toolkit->handle, L"") == FALSE) {
        RaiseControlError(area.name, operation, lastErrorText());
    }
}

// At the end of the edit's text, with no undo: the player cannot type there.
void ShowPrinted(const ControlRecord& area, std::string_view added) {
    HWND control = area.toolkit->handle;
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(control));
    SendMessageW(control, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(control, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(withLineEnds(added).c_str()));
}

} // namespace platform::layer
