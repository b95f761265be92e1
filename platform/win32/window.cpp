#include "platform/win32/window.h"

#include "platform/win32/icon.h"
#include "platform/win32/output_area.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unicode.h"

#include <algorithm>

namespace platform::layer {
namespace {

constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t FormClassName[] = L"RollingZembForm";

ATOM registeredFormClass = 0;

void registerFormClass(WNDPROC procedure) {
    if (registeredFormClass != 0) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = FormClassName;
    registeredFormClass = RegisterClassExW(&windowClass);
    if (registeredFormClass == 0) {
        raiseSystemError("the window class could not be registered");
    }
}

void place(HWND window, const RECT& bounds, HWND after, UINT flags) {
    SetWindowPos(window, after, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, flags | SWP_NOACTIVATE);
}

} // namespace

ATOM formClass() {
    return registeredFormClass;
}

template struct Ender<Window>;
template struct Ender<Control>;

// Placed where the system places a new window, at the size for the system's
// DPI: the DPI of the monitor it opens on, unless that monitor is not the
// main one, when it is laid out again at once.
Window::Window(FormWindow& shown)
    : form(shown)
    , font(GetDpiForSystem()) {
    registerFormClass(procedure);
    const RECT outer = frame();
    handle = CreateWindowExW(0, MAKEINTATOM(registeredFormClass), widen(form.caption).c_str(),
                             FormStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                             outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                             this);
    if (handle == nullptr) {
        raiseSystemError("the window could not be created");
    }
    if (const UINT dpi = GetDpiForWindow(handle); dpi != font.dpi()) {
        onDpiChanged(dpi, {});
    }
}

Window::~Window() {
    if (handle != nullptr) {
        DestroyWindow(handle);
    }
}

Owned<Window> MakeWindow(FormWindow& form) {
    return Owned<Window>(new Window(form));
}

const ControlRecord* Window::find(HWND control) const {
    const auto& controls = form.controls();
    const auto found =
        std::find_if(controls.begin(), controls.end(), [control](const auto& record) {
            return control != nullptr && record->toolkit->handle == control;
        });
    return found == controls.end() ? nullptr : found->get();
}

RECT Window::frame() const {
    RECT outer{0, 0, font.fromTwips(form.clientWidth), font.fromTwips(form.clientHeight)};
    AdjustWindowRectExForDpi(&outer, FormStyle, FALSE, 0, font.dpi());
    return outer;
}

RECT Window::placement(const ControlRecord& control) const {
    const int left = font.fromTwips(control.left);
    const int top = font.fromTwips(control.top);
    return {left, top, left + font.fromTwips(control.width), top + font.fromTwips(control.height)};
}

void Window::clipLabels() const {
    for (const auto& control : form.controls()) {
        if (control->kind == detail::ControlKind::Label && control->toolkit->handle != nullptr) {
            clipLabel(*control);
        }
    }
}

void Window::clipLabel(const ControlRecord& label) const {
    using UniqueRegion = UniqueGdiObject<HRGN>;
    const RECT bounds = placement(label);
    UniqueRegion visible(
        CreateRectRgn(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top));
    bool covers = false;
    for (const auto& other : form.controls()) {
        RECT overlap{};
        const RECT otherBounds = placement(*other);
        if (other->kind == detail::ControlKind::Label || other->toolkit->handle == nullptr ||
            IntersectRect(&overlap, &bounds, &otherBounds) == FALSE) {
            continue;
        }
        OffsetRect(&overlap, -bounds.left, -bounds.top);
        const UniqueRegion covered(CreateRectRgnIndirect(&overlap));
        CombineRgn(visible.get(), visible.get(), covered.get(), RGN_DIFF);
        covers = true;
    }
    // The window owns a region once it has it.
    HRGN region = covers ? visible.release() : nullptr;
    if (SetWindowRgn(label.toolkit->handle, region, TRUE) == 0 && region != nullptr) {
        DeleteObject(region);
    }
}

void Window::fitToDpi() {
    clipLabels();
    form.fitFont();
    setIcons(handle, form.icon, font.dpi());
}

// The order of siblings is the tab chain's, the tab indices' order, with
// each label just before the control it names, where the accessibility
// proxies take that control's name from. Labels take no focus, so the tab
// chain stays as it is.
void Arrange(Window& window, const std::vector<ControlRecord*>& order) {
    HWND previous = HWND_TOP;
    for (const ControlRecord* control : order) {
        HWND handle = control->toolkit->handle;
        if (handle == nullptr) {
            continue;
        }
        const HWND above = GetWindow(handle, GW_HWNDPREV);
        if (previous == HWND_TOP ? above != nullptr : above != previous) {
            SetWindowPos(handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = handle;
    }
    window.clipLabels();
}

bool FitsAsShown(const Window& /*window*/) {
    return true;
}

void Show(Window& window, const ControlRecord* focus) {
    setIcons(window.handle, window.form.icon, window.font.dpi());
    window.lastFocus = focus != nullptr ? focus->toolkit->handle : nullptr;
    ShowWindow(window.handle, SW_SHOWNORMAL);
    UpdateWindow(window.handle);
    if (window.lastFocus != nullptr) {
        SetFocus(window.lastFocus);
    }
}

void ShowReport(Window& window, const std::string& report) {
    MessageBoxW(window.handle, widen(report).c_str(), windowText(window.handle).c_str(),
                MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->handle = window;
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
        self->handle = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross into the system; the click dispatch reports
    // what a procedure raises, so this is for the layer's own failures.
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        MessageBoxW(window, widen(detail::RunTimeErrorReport("the operation failed")).c_str(),
                    windowText(window).c_str(), MB_OK | MB_ICONERROR);
        return 0;
    }
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> handled;
    switch (message) {
    case WM_COMMAND:
        handled = onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        break;
    case WM_CTLCOLORSTATIC:
        handled = onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_ACTIVATE:
        handled = onActivate(LOWORD(wParam) != WA_INACTIVE);
        break;
    case WM_DPICHANGED:
        handled = onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        break;
    case WM_SETTINGCHANGE:
        handled = onSettingChange(static_cast<UINT>(wParam));
        break;
    case WM_DESTROY:
        handled = onDestroy();
        break;
    default:
        break;
    }
    return handled ? *handled : DefWindowProcW(handle, message, wParam, lParam);
}

// A button's click runs its procedure.
std::optional<LRESULT> Window::onCommand(HWND control, UINT notification) {
    const ControlRecord* button = find(control);
    if (notification != BN_CLICKED || button == nullptr || !button->click) {
        return std::nullopt;
    }
    form.click(*button);
    return 0;
}

std::optional<LRESULT> Window::onControlColour(HDC context, HWND control) const {
    const ControlRecord* area = find(control);
    if (area == nullptr || area->kind != detail::ControlKind::PictureBox) {
        return std::nullopt;
    }
    return outputAreaColours(context);
}

// The focus goes back to the control that had it, as in a dialog.
std::optional<LRESULT> Window::onActivate(bool active) {
    if (!active) {
        if (HWND focus = GetFocus(); find(focus) != nullptr) {
            lastFocus = focus;
        }
        return std::nullopt;
    }
    if (find(lastFocus) == nullptr) {
        lastFocus = GetNextDlgTabItem(handle, nullptr, FALSE);
    }
    if (lastFocus == nullptr) {
        return std::nullopt;
    }
    SetFocus(lastFocus);
    return 0;
}

// The window and its controls at the new DPI, with the font and icons for
// it once the window is shown; where the system suggests, unless it is
// being made.
std::optional<LRESULT> Window::onDpiChanged(UINT dpi, const RECT& suggested) {
    font.setDpi(dpi);
    const RECT outer = frame();
    SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& control : form.controls()) {
        if (control->toolkit != nullptr && control->toolkit->handle != nullptr) {
            place(control->toolkit->handle, placement(*control), nullptr, SWP_NOZORDER);
        }
    }
    if (IsWindowVisible(handle) != FALSE) {
        fitToDpi();
        place(handle, suggested, nullptr, SWP_NOZORDER);
    }
    return 0;
}

// The desktop's message font changed: the fit starts again from it.
std::optional<LRESULT> Window::onSettingChange(UINT setting) {
    if (setting == SPI_SETNONCLIENTMETRICS) {
        form.fitFont();
    }
    return std::nullopt;
}

std::optional<LRESULT> Window::onDestroy() const {
    if (endsProgram) {
        PostQuitMessage(0);
    }
    return std::nullopt;
}

} // namespace platform::layer
