#include "platform/testing.h"

#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <chrono>
#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>
#include <ranges>
#include <stdexcept>
#include <windows.h>

namespace platform::testing {
namespace {

using detail::windowText;

using detail::processMessagesUntil;
using detail::processPendingMessages;

std::string withNewlines(std::wstring text) {
    std::erase(text, L'\r');
    return detail::narrow(text);
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
    const detail::UniqueGdiObject<HBITMAP> colour(info.hbmColor);
    const detail::UniqueGdiObject<HBITMAP> mask(info.hbmMask);
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
    const std::unique_ptr<IAccessible, detail::ReleaseInterface> accessible(found);
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

} // namespace

// The system's accessibility interface is made of COM objects.
struct Session::Toolkit {
    detail::ComApartment com;
};

Session::Session(int& /*argc*/, char** /*argv*/)
    : toolkit_(std::make_unique<Toolkit>()) {
    if (!toolkit_->com.initialized()) {
        throw std::runtime_error("COM could not be set up for the accessibility interface");
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Session::~Session() = default;

struct Driver::State {
    explicit State(detail::Window& shown)
        : window(shown) {}

    [[nodiscard]] const detail::ControlSlot& slot(std::string_view name) const {
        return NamedControl(
            window, name, [](const detail::ControlSlot& found) { return found.handle != nullptr; });
    }
    [[nodiscard]] HWND control(std::string_view name) const { return slot(name).handle; }

    // Closes each error report as soon as it comes up: a message box runs
    // its own event loop, which calls the thread's timer procedure.
    // Both are called by the system, which no exception may reach: a report
    // that cannot be read is still closed, and counted with what was read.
    static void CALLBACK closeReports(HWND /*window*/, UINT /*message*/, UINT_PTR /*timer*/,
                                      DWORD /*time*/) noexcept {
        EnumThreadWindows(GetCurrentThreadId(), closeIfReport, 0);
    }
    static BOOL CALLBACK closeIfReport(HWND box, LPARAM /*unused*/) noexcept {
        if (hasClass(box, L"#32770") && IsWindowVisible(box) != FALSE) {
            record([box](State& state) { state.reports.push_back(read(box, state)); });
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    // Runs `add` on the driver under test for a callback of the system,
    // which no exception may reach: what cannot be read is noted as such.
    template <class Add> static void record(Add add) noexcept {
        if (active != nullptr) {
            try {
                add(*active);
            } catch (...) {
                active->unread = true;
            }
        }
    }
    static Report read(HWND box, const State& state) {
        Report report;
        report.title = detail::narrow(windowText(box));
        report.ownedByWindow = GetWindow(box, GW_OWNER) == state.window.handle();
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

    // Hears what the window announces, as a screen reader does.
    static void CALLBACK hear(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND region, LONG /*object*/,
                              LONG /*child*/, DWORD /*thread*/, DWORD /*time*/) noexcept {
        record([region](State& state) {
            state.announcements.push_back(accessibleProperty(region, &IAccessible::get_accName));
        });
    }

    static inline State* active = nullptr; // the driver whose window is under test
    detail::Window& window;
    UINT_PTR timer = 0;
    std::vector<Report> reports;
    HWINEVENTHOOK listener = nullptr;
    std::vector<std::string> announcements;
    bool unread = false; // a report or announcement could not be read

    template <class Heard> Heard take(Heard& heard) {
        if (std::exchange(unread, false)) {
            throw std::runtime_error("an error report or announcement could not be read");
        }
        return std::exchange(heard, {});
    }
};

Driver::Driver(Form& form)
    : state_(std::make_unique<State>(detail::windowOf(form))) {
    State::active = state_.get();
    // Without the timer a report would stay open and the test wait on it.
    state_->timer = SetTimer(nullptr, 0, 10, State::closeReports);
    if (state_->timer == 0) {
        State::active = nullptr;
        throw std::runtime_error("the timer that closes error reports could not be set");
    }
    state_->listener =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        State::hear, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    form.Show();
    processPendingMessages();
}

Driver::~Driver() {
    if (state_->listener != nullptr) {
        UnhookWinEvent(state_->listener);
    }
    KillTimer(nullptr, state_->timer);
    State::active = nullptr;
}

void Driver::Click(std::string_view button) {
    const detail::ControlSlot& slot = state_->slot(button);
    if (slot.kind != detail::ControlKind::CommandButton) {
        throw std::invalid_argument(std::string(button) + " is not a button");
    }
    // The button's own click: pressed and released under the mouse.
    SendMessageW(slot.handle, BM_CLICK, 0, 0);
    processPendingMessages();
}

void Driver::Press(Key key) {
    struct Stroke {
        WORD key;
        DWORD flags;
    };
    // The keys held down for each Key, in the order of its values; the arrow
    // keys and the keypad's Enter (Return's key code) are extended keys.
    constexpr DWORD extended = KEYEVENTF_EXTENDEDKEY;
    static const std::vector<Stroke> strokes[] = {
        {{VK_TAB, 0}},           {{VK_SHIFT, 0}, {VK_TAB, 0}},
        {{VK_LEFT, extended}},   {{VK_RIGHT, extended}},
        {{VK_SPACE, 0}},         {{VK_RETURN, 0}},
        {{VK_RETURN, extended}}, {{VK_CONTROL, 0}, {'C', 0}}};
    static_assert(std::size(strokes) == static_cast<std::size_t>(Key::Copy) + 1);
    const std::vector<Stroke>& down = strokes[static_cast<std::size_t>(key)];
    // Keys go to the foreground window, which a newly shown window becomes
    // only once the display has mapped it.
    HWND window = state_->window.handle();
    if (!processMessagesUntil([window] { return GetForegroundWindow() == window; },
                              std::chrono::seconds(10))) {
        throw std::runtime_error("the window did not become the foreground window");
    }
    std::vector<INPUT> inputs;
    const auto add = [&](const Stroke& stroke, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(stroke.key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = stroke.flags | flags;
        inputs.push_back(input);
    };
    for (const Stroke& stroke : down) {
        add(stroke, 0);
    }
    for (const Stroke& stroke : std::views::reverse(down)) {
        add(stroke, KEYEVENTF_KEYUP);
    }
    // Input arrives through the system's queue: wait until the last key is
    // up again, then until everything it caused has run.
    const WORD last = down.front().key;
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
        throw std::runtime_error("the keys could not be sent");
    }
    processMessagesUntil([last] { return (GetKeyState(last) & 0x8000) == 0; },
                         std::chrono::seconds(5));
    processPendingMessages();
}

void Driver::SetText(std::string_view field, std::string_view text) {
    const detail::ControlSlot& slot = state_->slot(field);
    if (slot.kind != detail::ControlKind::TextBox) {
        throw std::invalid_argument(std::string(field) + " is not a field");
    }
    SetWindowTextW(slot.handle, detail::widen(text).c_str());
}

std::string Driver::Text(std::string_view control) const {
    return withNewlines(windowText(state_->control(control)));
}

std::string Driver::WindowCaption() const {
    return state_->window.caption();
}

bool Driver::IsShown() const {
    return IsWindowVisible(state_->window.handle()) != FALSE;
}

int Driver::Dpi() const {
    return static_cast<int>(GetDpiForWindow(state_->window.handle()));
}

Rect Driver::ClientArea() const {
    RECT client{};
    GetClientRect(state_->window.handle(), &client);
    return {0, 0, client.right, client.bottom};
}

Rect Driver::Geometry(std::string_view control) const {
    RECT bounds{};
    GetWindowRect(state_->control(control), &bounds);
    MapWindowPoints(HWND_DESKTOP, state_->window.handle(), reinterpret_cast<POINT*>(&bounds), 2);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

CaptionExtent Driver::MeasureCaption(std::string_view control) const {
    HWND handle = state_->control(control);
    RECT client{};
    GetClientRect(handle, &client);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
    return {detail::measureCaption(font, Text(control), client.right),
            {0, 0, client.right, client.bottom}};
}

std::string Driver::FocusedControl() const {
    const detail::ControlSlot* focus = state_->window.find(GetFocus());
    return focus == nullptr ? std::string() : focus->name;
}

bool Driver::TakesFocus(std::string_view control) const {
    return (GetWindowLongW(state_->control(control), GWL_STYLE) & WS_TABSTOP) != 0;
}

std::vector<int> Driver::IconSizes() const {
    HWND window = state_->window.handle();
    std::vector<int> sizes;
    for (const WPARAM which : {ICON_SMALL, ICON_BIG}) {
        if (const int width =
                iconWidth(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)));
            width > 0) {
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

std::string Driver::AccessibleName(std::string_view control) const {
    return accessibleProperty(state_->control(control), &IAccessible::get_accName);
}

std::string Driver::AccessibleText(std::string_view control) const {
    return accessibleProperty(state_->control(control), &IAccessible::get_accValue);
}

void Driver::Repaint() {
    HWND window = state_->window.handle();
    ShowWindow(window, SW_HIDE);
    ShowWindow(window, SW_SHOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    processPendingMessages();
}

void Driver::Destroy(std::string_view control) {
    DestroyWindow(state_->control(control));
}

std::vector<Report> Driver::TakeReports() {
    return state_->take(state_->reports);
}

std::vector<std::string> Driver::TakeAnnouncements() {
    processPendingMessages();
    return state_->take(state_->announcements);
}

} // namespace platform::testing
