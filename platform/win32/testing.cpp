#include "platform/win32/testing.h"

#include <algorithm>
#include <chrono>
#include <ranges>

namespace platform::testing {
namespace {

using detail::ControlRecord;
using layer::narrow;
using layer::windowText;

// Runs the event loop until `done` holds or `limit` has passed; whether it
// holds.
template <class Done>
bool processMessagesUntil(Done done, std::chrono::steady_clock::duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        layer::processPendingMessages();
    }
    return true;
}

int iconWidth(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || GetIconInfo(icon, &info) == FALSE) {
        return 0;
    }
    const layer::UniqueGdiObject<HBITMAP> colour(info.hbmColor);
    const layer::UniqueGdiObject<HBITMAP> mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectW(mask.get(), sizeof(bitmap), &bitmap);
    return bitmap.bmWidth;
}

HWND handleOf(const ControlRecord& control) {
    return control.toolkit->handle;
}

} // namespace

// The system's accessibility interface is made of COM objects.
struct Session::Toolkit {
    layer::ComApartment com;
};

Session::Session(int& /*argc*/, char** /*argv*/)
    : toolkit_(std::make_unique<Toolkit>()) {
    if (!toolkit_->com.initialized) {
        throw std::runtime_error("COM could not be set up for the accessibility interface");
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Session::~Session() = default;

Driver::Driver(Form& form)
    : form_(form.window())
    , driving_(std::make_unique<Driving>(form_.toolkit())) {
    form.Show();
    waitUntilShown();
}

Driver::~Driver() = default;

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

void Driver::waitUntilShown() {
    layer::processPendingMessages();
}

// The button's own click: pressed and released under the mouse.
void Driver::Click(std::string_view button) {
    SendMessageW(handleOf(control(button, Kind::Button)), BM_CLICK, 0, 0);
    layer::processPendingMessages();
}

void Driver::Press(Key key) {
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
    HWND window = driving_->window.handle;
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
    layer::processPendingMessages();
}

void Driver::SetText(std::string_view field, std::string_view text) {
    SetWindowTextW(handleOf(control(field, Kind::Field)), layer::widen(text).c_str());
}

std::string Driver::Text(std::string_view name) const {
    return withNewlines(windowText(handleOf(control(name))));
}

std::string Driver::WindowCaption() const {
    return narrow(windowText(driving_->window.handle));
}

bool Driver::IsShown() const {
    return IsWindowVisible(driving_->window.handle) != FALSE;
}

// The window is laid out in the screen's own pixels.
double Driver::pixelRatio() const {
    return 1;
}

std::array<double, 4> Driver::box(const ControlRecord* control) const {
    RECT bounds{};
    if (control == nullptr) {
        GetClientRect(driving_->window.handle, &bounds);
    } else {
        GetWindowRect(handleOf(*control), &bounds);
        MapWindowPoints(HWND_DESKTOP, driving_->window.handle, reinterpret_cast<POINT*>(&bounds),
                        2);
    }
    return {double(bounds.left), double(bounds.top), double(bounds.right - bounds.left),
            double(bounds.bottom - bounds.top)};
}

Driver::CaptionPlace Driver::captionPlace(const ControlRecord& control) const {
    RECT client{};
    GetClientRect(handleOf(control), &client);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handleOf(control), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    return {std::abs(font.lfHeight), double(client.right), double(client.bottom)};
}

bool Driver::hasFocus(const ControlRecord& control) const {
    return GetFocus() == handleOf(control);
}

bool Driver::TakesFocus(std::string_view name) const {
    return (GetWindowLongW(handleOf(control(name)), GWL_STYLE) & WS_TABSTOP) != 0;
}

std::vector<int> Driver::IconSizes() const {
    std::vector<int> sizes;
    for (const WPARAM which : {ICON_SMALL, ICON_BIG}) {
        const LRESULT icon = SendMessageW(driving_->window.handle, WM_GETICON, which, 0);
        if (const int width = iconWidth(reinterpret_cast<HICON>(icon)); width > 0) {
            sizes.push_back(width);
        }
    }
    return sizes;
}

std::string Driver::ClipboardText() const {
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

std::string Driver::AccessibleName(std::string_view name) const {
    return accessibleProperty(handleOf(control(name)), &IAccessible::get_accName);
}

std::string Driver::AccessibleText(std::string_view name) const {
    return accessibleProperty(handleOf(control(name)), &IAccessible::get_accValue);
}

void Driver::Repaint() {
    HWND window = driving_->window.handle;
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    layer::processPendingMessages();
}

void Driver::Destroy(std::string_view name) {
    DestroyWindow(handleOf(control(name)));
}

std::vector<Report> Driver::TakeReports() {
    return driving_->take(driving_->reports);
}

std::vector<std::string> Driver::TakeAnnouncements() {
    return driving_->take(driving_->announcements);
}

} // namespace platform::testing
