#include "platform/win32/window.h"

#include "platform/toolkit.h"
#include "platform/win32/unicode.h"

#include <stdexcept>
#include <windows.h>

namespace platform::detail {
namespace {

constexpr int TwipsPerInch = 1440;
constexpr int FirstControlId = 100; // clear of IDOK and IDCANCEL, which navigation sends
constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t FormClassName[] = L"RollingZembForm";

HINSTANCE thisModule() {
    return GetModuleHandleW(nullptr);
}

ATOM registeredFormClass = 0;

void registerFormClass(WNDPROC procedure) {
    if (registeredFormClass != 0) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = thisModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = FormClassName;
    registeredFormClass = RegisterClassExW(&windowClass);
    if (registeredFormClass == 0) {
        raiseSystemError("the window class could not be registered");
    }
}

} // namespace

ATOM formClass() {
    return registeredFormClass;
}

Window::Window(const FormDescription& description)
    : clientWidth_(description.clientWidth)
    , clientHeight_(description.clientHeight)
    , iconFile_(description.icon) {
    // Placed where the system places a new window, at the size for the
    // system's DPI: the DPI of the monitor it opens on, unless that monitor
    // is not the main one.
    registerFormClass(windowProcedure);
    dpi_ = GetDpiForSystem();
    const RECT frame = frameFor(dpi_);
    handle_ =
        CreateWindowExW(0, MAKEINTATOM(registeredFormClass), widen(description.caption).c_str(),
                        FormStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, thisModule(), this);
    if (handle_ == nullptr) {
        raiseSystemError("the window could not be created");
    }
    if (const UINT dpi = GetDpiForWindow(handle_); dpi != dpi_) {
        dpi_ = dpi;
        layOut();
    }
}

Window::~Window() {
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
}

ControlSlot& Window::makeControl(ControlRecord record) {
    auto& slot = controls_.add(std::make_unique<ControlSlot>(std::move(record)));
    const ControlLook look = lookOf(slot.kind);
    const int id =
        FirstControlId + static_cast<int>(std::distance(controls_.begin(), controls_.end())) - 1;
    const RECT bounds = placement(slot);
    slot.handle =
        CreateWindowExW(look.extendedStyle, look.className, widen(slot.caption).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | look.style, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, handle_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(), nullptr);
    if (slot.handle == nullptr) {
        controls_.removeLast();
        raiseSystemError("a control could not be created");
    }
    try {
        subclassControl(slot);
    } catch (...) {
        DestroyWindow(slot.handle);
        controls_.removeLast();
        throw;
    }
    if (font_ != nullptr) {
        SendMessageW(slot.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    return slot;
}

const ControlSlot* Window::find(std::string_view name) const {
    return controls_.find(name);
}

const ControlSlot* Window::find(HWND handle) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [handle](const auto& slot) {
        return handle != nullptr && slot->handle == handle;
    });
    return found == controls_.end() ? nullptr : found->get();
}

std::string Window::caption() const {
    return narrow(windowText(handle_));
}

int Window::pixels(int twips) const {
    return MulDiv(twips, static_cast<int>(dpi_), TwipsPerInch);
}

HWND Window::firstInTabOrder() const {
    return GetNextDlgTabItem(handle_, nullptr, FALSE);
}

RECT Window::frameFor(UINT dpi) const {
    RECT frame{0, 0, MulDiv(clientWidth_, static_cast<int>(dpi), TwipsPerInch),
               MulDiv(clientHeight_, static_cast<int>(dpi), TwipsPerInch)};
    AdjustWindowRectExForDpi(&frame, FormStyle, FALSE, 0, dpi);
    return frame;
}

RECT Window::placement(const ControlSlot& slot) const {
    const int left = pixels(slot.left);
    const int top = pixels(slot.top);
    return {left, top, left + pixels(slot.width), top + pixels(slot.height)};
}

void Window::layOut() {
    const RECT frame = frameFor(dpi_);
    SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& slot : controls_) {
        if (slot->handle != nullptr) {
            const RECT bounds = placement(*slot);
            SetWindowPos(slot->handle, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                         bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (IsWindowVisible(handle_) != FALSE) {
        clipLabels();
        fitFont();
        setIcons();
    }
}

void Window::showWithInitialFocus() {
    arrangeSiblings();
    clipLabels();
    fitFont();
    setIcons();
    lastFocus_ = firstInTabOrder();
    ShowWindow(handle_, SW_SHOWNORMAL);
    UpdateWindow(handle_);
    if (lastFocus_ != nullptr) {
        SetFocus(lastFocus_);
    }
}

LRESULT CALLBACK Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(creation->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The last message the window gets: the form forgets it, and the
        // system ends it with its own handle.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross into the system; the click dispatch reports
    // what a procedure raises, so this is for the layer's own failures.
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
        MessageBoxW(window, L"Run-time error: the operation failed", caption, MB_OK | MB_ICONERROR);
        return 0;
    }
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const ControlSlot* slot = find(reinterpret_cast<HWND>(lParam));
            if (slot != nullptr && slot->click) {
                Dispatch(*this, slot->click);
            }
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (const ControlSlot* slot = find(reinterpret_cast<HWND>(lParam));
            slot != nullptr && slot->kind == ControlKind::PictureBox) {
            return outputAreaColours(reinterpret_cast<HDC>(wParam));
        }
        break;
    case WM_ACTIVATE:
        // The focus goes back to the control that had it, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); find(focus) != nullptr) {
                lastFocus_ = focus;
            }
        } else {
            if (find(lastFocus_) == nullptr) {
                lastFocus_ = firstInTabOrder();
            }
            if (lastFocus_ != nullptr) {
                SetFocus(lastFocus_);
                return 0;
            }
        }
        break;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        layOut();
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS) {
            fitFont(); // the desktop's message font changed
        }
        break;
    case WM_DESTROY:
        if (endsProgram_) {
            PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

void Window::showReport(const std::string& report) {
    MessageBoxW(handle_, widen(report).c_str(), windowText(handle_).c_str(), MB_OK | MB_ICONERROR);
}

std::unique_ptr<FormWindow> MakeWindow(const FormDescription& description) {
    return std::make_unique<Window>(description);
}

} // namespace platform::detail
