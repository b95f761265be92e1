#include "platform/testing.h"

#include "platform/win32/program.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <chrono>
#include <commctrl.h>
#include <oleacc.h>
#include <ranges>
#include <stdexcept>

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

std::string withNewlines(std::wstring text) {
    std::erase(text, L'\r');
    return narrow(text);
}

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return CompareStringOrdinal(className, -1, name, -1, TRUE) == CSTR_EQUAL;
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

// A property of what the system's accessibility interface finds for a
// control, as assistive technology asks for it.
std::string accessibleProperty(HWND control,
                               HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
    IAccessible* found = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&found))) ||
        found == nullptr) {
        throw std::runtime_error("the control has no accessible object");
    }
    const std::unique_ptr<IAccessible, layer::ReleaseInterface> accessible(found);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = nullptr;
    if ((accessible.get()->*property)(self, &value) != S_OK || value == nullptr) {
        return {};
    }
    std::wstring text(value, SysStringLen(value));
    SysFreeString(value);
    return withNewlines(std::move(text));
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

// The error reports closed as soon as they come up, and what the window
// announced, both read as a player and a screen reader find them.
struct Driver::Driving {
    // Closes each error report as soon as it comes up: a message box runs
    // its own event loop, which calls the thread's timer procedure. Both are
    // called by the system, which no exception may reach: a report that
    // cannot be read is still closed, and counted with what was read.
    static void CALLBACK closeReports(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/,
                                      DWORD /*time*/) noexcept {
        EnumThreadWindows(GetCurrentThreadId(), closeIfReport, 0);
    }
    static BOOL CALLBACK closeIfReport(HWND box, LPARAM /*unused*/) noexcept {
        if (hasClass(box, L"#32770") && IsWindowVisible(box) != FALSE) {
            record([box](Driving& driving) { driving.reports.push_back(driving.read(box)); });
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    // Hears what the window announces, as a screen reader does.
    static void CALLBACK hear(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND region, LONG /*object*/,
                              LONG /*child*/, DWORD /*thread*/, DWORD /*time*/) noexcept {
        record([region](Driving& driving) {
            driving.announcements.push_back(accessibleProperty(region, &IAccessible::get_accName));
        });
    }
    // Runs `add` on the driver at work, for a callback of the system: what
    // cannot be read is noted as such.
    template <class Add> static void record(Add add) noexcept {
        if (active != nullptr) {
            try {
                add(*active);
            } catch (...) {
                active->unread = true;
            }
        }
    }

    explicit Driving(layer::Window& driven)
        : window(driven) {
        active = this;
        // Without the timer a report would stay open and the test wait on it.
        timer = SetTimer(nullptr, 0, 10, closeReports);
        listener = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED,
                                   nullptr, hear, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        if (timer == 0) {
            active = nullptr;
            throw std::runtime_error("the timer that closes error reports could not be set");
        }
    }
    ~Driving() {
        if (listener != nullptr) {
            UnhookWinEvent(listener);
        }
        KillTimer(nullptr, timer);
        active = nullptr;
    }
    Driving(const Driving&) = delete;
    Driving& operator=(const Driving&) = delete;
    Driving(Driving&&) = delete;
    Driving& operator=(Driving&&) = delete;

    [[nodiscard]] Report read(HWND box) const {
        Report report{
            withNewlines(windowText(box)), {}, GetWindow(box, GW_OWNER) == window.handle, false};
        // The text and the icon stand in static controls of the box.
        const HICON errorIcon = LoadIconW(nullptr, IDI_ERROR);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!hasClass(child, WC_STATICW)) {
                continue;
            }
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                report.errorIcon = report.errorIcon || SendMessageW(child, STM_GETICON, 0, 0) ==
                                                           reinterpret_cast<LRESULT>(errorIcon);
            } else if (const std::wstring text = windowText(child); !text.empty()) {
                report.text = withNewlines(text);
            }
        }
        return report;
    }
    template <class Heard> Heard take(Heard& heard) {
        layer::processPendingMessages();
        if (std::exchange(unread, false)) {
            throw std::runtime_error("an error report or announcement could not be read");
        }
        return std::exchange(heard, {});
    }

    static inline Driving* active = nullptr; // the driver whose window is under test
    layer::Window& window;
    UINT_PTR timer = 0;
    HWINEVENTHOOK listener = nullptr;
    std::vector<Report> reports;
    std::vector<std::string> announcements;
    bool unread = false; // a report or announcement could not be read
};

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
