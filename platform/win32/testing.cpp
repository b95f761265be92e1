#include "platform/win32/testing.h"

#include <algorithm>
#include <ranges>

namespace platform::layer {

using testing::CaptionExtent;
using testing::Key;
using testing::Rect;

// The system's accessibility interface is made of COM objects.
struct Session {
    ComApartment com;
};

void Ender::operator()(Session* session) const noexcept {
    delete session;
}

void Ender::operator()(Driving* driving) const noexcept {
    delete driving;
}

Owned<Session> OpenSession(int& /*argc*/, char** /*argv*/) {
    Owned<Session> session(new Session);
    if (!session->com.initialized) {
        throw std::runtime_error("COM could not be set up for the accessibility interface");
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return session;
}

// The windows of the thread, each with its children.
std::size_t ToolkitObjects() {
    std::size_t count = 0;
    const auto counted = [](HWND window, LPARAM total) {
        ++*reinterpret_cast<std::size_t*>(total);
        EnumChildWindows(
            window,
            [](HWND, LPARAM all) {
                ++*reinterpret_cast<std::size_t*>(all);
                return TRUE;
            },
            total);
        return TRUE;
    };
    EnumThreadWindows(GetCurrentThreadId(), counted, reinterpret_cast<LPARAM>(&count));
    return count;
}

Owned<Driving> StartDriving(Window& window) {
    return Owned<Driving>(new Driving(window));
}

void WaitUntilShown(Driving& /*driving*/) {
    processPendingMessages();
}

// The button's own click: pressed and released under the mouse.
void Click(Driving& /*driving*/, const ControlRecord& button) {
    SendMessageW(button.toolkit->handle, BM_CLICK, 0, 0);
    processPendingMessages();
}

void Press(Driving& driving, Key key) {
    // The keys held down for each Key, in the order of its values; the arrow
    // keys and the keypad's Enter (Return's key code) are extended keys.
    constexpr DWORD extended = KEYEVENTF_EXTENDEDKEY;
    static const std::vector<std::pair<WORD, DWORD>> strokes[] = {
        {{VK_TAB, 0}},           {{VK_SHIFT, 0}, {VK_TAB, 0}},
        {{VK_LEFT, extended}},   {{VK_RIGHT, extended}},
        {{VK_SPACE, 0}},         {{VK_RETURN, 0}},
        {{VK_RETURN, extended}}, {{VK_CONTROL, 0}, {'C', 0}}};
    static_assert(std::size(strokes) == static_cast<std::size_t>(Key::Copy) + 1);
    const auto& down = strokes[static_cast<std::size_t>(key)];
    // Keys go to the foreground window, which a newly shown window becomes
    // only once the display has mapped it.
    HWND window = driving.window.handle;
    if (!processMessagesUntil([window] { return GetForegroundWindow() == window; },
                              std::chrono::seconds(10))) {
        throw std::runtime_error("the window did not become the foreground window");
    }
    std::vector<INPUT> inputs;
    const auto add = [&](const std::pair<WORD, DWORD>& stroke, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.first;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(stroke.first, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = stroke.second | flags;
        inputs.push_back(input);
    };
    std::ranges::for_each(down, [&](const auto& stroke) { add(stroke, 0); });
    std::ranges::for_each(std::views::reverse(down),
                          [&](const auto& stroke) { add(stroke, KEYEVENTF_KEYUP); });
    // Input arrives through the system's queue: wait until the last key is
    // up again, then until everything it caused has run.
    const WORD last = down.front().first;
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
        throw std::runtime_error("the keys could not be sent");
    }
    processMessagesUntil([last] { return (GetKeyState(last) & 0x8000) == 0; },
                         std::chrono::seconds(5));
    processPendingMessages();
}

void PutText(Driving& /*driving*/, const ControlRecord& field, std::string_view text) {
    SetWindowTextW(field.toolkit->handle, widen(text).c_str());
}

std::string ShownText(Driving& /*driving*/, const ControlRecord& control) {
    return withNewlines(windowText(control.toolkit->handle));
}

std::string ShownCaption(Driving& driving) {
    return narrow(windowText(driving.window.handle));
}

bool IsShown(Driving& driving) {
    return IsWindowVisible(driving.window.handle) != FALSE;
}

int Dpi(Driving& driving) {
    return static_cast<int>(GetDpiForWindow(driving.window.handle));
}

Rect ClientArea(Driving& driving) {
    RECT client{};
    GetClientRect(driving.window.handle, &client);
    return {0, 0, client.right, client.bottom};
}

Rect Geometry(Driving& driving, const ControlRecord& control) {
    RECT bounds{};
    GetWindowRect(control.toolkit->handle, &bounds);
    MapWindowPoints(HWND_DESKTOP, driving.window.handle, reinterpret_cast<POINT*>(&bounds), 2);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

CaptionExtent MeasureCaption(Driving& driving, const ControlRecord& control) {
    HWND handle = control.toolkit->handle;
    RECT client{};
    GetClientRect(handle, &client);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    const TextMetrics metrics(driving.window, std::abs(font.lfHeight));
    return {detail::MeasureCaption(ShownText(driving, control), client.right, metrics),
            {0, 0, client.right, client.bottom}};
}

const ControlRecord* FocusedControl(Driving& driving) {
    return driving.window.find(GetFocus());
}

bool TakesFocus(Driving& /*driving*/, const ControlRecord& control) {
    return (GetWindowLongW(control.toolkit->handle, GWL_STYLE) & WS_TABSTOP) != 0;
}

std::vector<int> IconSizes(Driving& driving) {
    std::vector<int> sizes;
    for (const WPARAM which : {ICON_SMALL, ICON_BIG}) {
        const LRESULT icon = SendMessageW(driving.window.handle, WM_GETICON, which, 0);
        if (const int width = iconWidth(reinterpret_cast<HICON>(icon)); width > 0) {
            sizes.push_back(width);
        }
    }
    return sizes;
}

std::string ClipboardText(Driving& /*driving*/) {
    if (OpenClipboard(nullptr) == FALSE) {
        throw std::runtime_error("the clipboard could not be opened");
    }
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = characters;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return withNewlines(text);
}

std::string AccessibleName(Driving& /*driving*/, const ControlRecord& control) {
    return accessibleProperty(control.toolkit->handle, &IAccessible::get_accName);
}

std::string AccessibleText(Driving& /*driving*/, const ControlRecord& control) {
    return accessibleProperty(control.toolkit->handle, &IAccessible::get_accValue);
}

void Repaint(Driving& driving) {
    HWND window = driving.window.handle;
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    processPendingMessages();
}

void Destroy(Driving& /*driving*/, const ControlRecord& control) {
    DestroyWindow(control.toolkit->handle);
}

std::vector<Report> TakeReports(Driving& driving) {
    return driving.take(driving.reports);
}

std::vector<std::string> TakeAnnouncements(Driving& driving) {
    return driving.take(driving.announcements);
}

} // namespace platform::layer
