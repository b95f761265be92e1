#include "platform/forms.h"

#include "platform/caption_fit.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdint>
#include <exception>
#include <map>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <windows.h>

namespace platform {
namespace detail {
namespace {

constexpr int TwipsPerInch = 1440;
constexpr int FirstControlId = 100; // clear of IDOK and IDCANCEL, which navigation sends
constexpr DWORD FormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t FormClassName[] = L"RollingZembForm";

[[noreturn]] void raiseSystemError(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + lastErrorText());
}

HINSTANCE thisModule() {
    return GetModuleHandleW(nullptr);
}

// The window class of every form, registered with the first form.
ATOM formClass = 0;

void registerFormClass(WNDPROC procedure) {
    if (formClass != 0) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = thisModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = FormClassName;
    formClass = RegisterClassExW(&windowClass);
    if (formClass == 0) {
        raiseSystemError("the window class could not be registered");
    }
}

// A device context for measuring text, with a font selected into it for as
// long as it lives. It draws nowhere, so it needs no window.
class FontContext {
public:
    explicit FontContext(HFONT font)
        : context_(CreateCompatibleDC(nullptr))
        , previous_(context_ != nullptr ? SelectObject(context_, font) : nullptr) {}
    ~FontContext() {
        if (context_ != nullptr) {
            SelectObject(context_, previous_);
            DeleteDC(context_);
        }
    }
    FontContext(const FontContext&) = delete;
    FontContext& operator=(const FontContext&) = delete;
    FontContext(FontContext&&) = delete;
    FontContext& operator=(FontContext&&) = delete;

    [[nodiscard]] HDC get() const { return context_; }

private:
    HDC context_;
    HGDIOBJ previous_;
};

// `caption` measured in the font selected into `context`, wrapped to `width`.
CaptionSize measure(HDC context, const std::wstring& caption, int width) {
    CaptionSize size;
    SIZE extent{};
    GetTextExtentPoint32W(context, caption.c_str(), static_cast<int>(caption.size()), &extent);
    size.lineWidth = extent.cx;
    TEXTMETRICW metrics{};
    GetTextMetricsW(context, &metrics);
    size.lineHeight = metrics.tmHeight;
    std::size_t start = 0;
    while (start < caption.size()) {
        const std::size_t end = std::min(caption.find(L' ', start), caption.size());
        if (end > start) {
            GetTextExtentPoint32W(context, caption.c_str() + start, static_cast<int>(end - start),
                                  &extent);
            size.widestWord = std::max(size.widestWord, static_cast<int>(extent.cx));
        }
        start = end + 1;
    }
    RECT wrapped{0, 0, width, 0};
    DrawTextW(context, caption.c_str(), static_cast<int>(caption.size()), &wrapped,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    size.wrappedHeight = wrapped.bottom - wrapped.top;
    return size;
}

// An icon of `size` pixels from the bytes of an icon file: the system picks
// the image that suits the size best, from the file's directory rewritten as
// a group-icon resource (the same entries with an ordinal in place of the
// offset), and scales it if need be. Null if the bytes hold no usable image.
UniqueIcon iconFromFile(std::span<const unsigned char> file, int size) {
    const auto word = [&](std::size_t at) -> std::uint32_t {
        return file[at] | (std::uint32_t{file[at + 1]} << 8);
    };
    const auto doubleWord = [&](std::size_t at) { return word(at) | (word(at + 2) << 16); };
    constexpr std::size_t header = 6;
    constexpr std::size_t fileEntry = 16;
    constexpr std::size_t groupEntry = 14;
    if (file.size() < header || word(0) != 0 || word(2) != 1) {
        return nullptr;
    }
    const std::size_t count = word(4);
    if (count == 0 || file.size() < header + count * fileEntry) {
        return nullptr;
    }
    std::vector<BYTE> group(header + count * groupEntry);
    std::copy_n(file.begin(), header, group.begin());
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = file.begin() + static_cast<std::ptrdiff_t>(header + i * fileEntry);
        const auto out = group.begin() + static_cast<std::ptrdiff_t>(header + i * groupEntry);
        std::copy_n(entry, 12, out); // size, colours, planes, bits and byte count
        out[12] = static_cast<BYTE>(i + 1);
        out[13] = 0;
    }
    const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    if (id < 1 || static_cast<std::size_t>(id) > count) {
        return nullptr;
    }
    const std::size_t entry = header + static_cast<std::size_t>(id - 1) * fileEntry;
    const std::size_t bytes = doubleWord(entry + 8);
    const std::size_t offset = doubleWord(entry + 12);
    if (offset > file.size() || bytes > file.size() - offset) {
        return nullptr;
    }
    // The system only reads the image, whatever the parameter's type says.
    auto* image = const_cast<BYTE*>(file.data() + offset);
    return UniqueIcon(CreateIconFromResourceEx(image, static_cast<DWORD>(bytes), TRUE, 0x00030000,
                                               size, size, LR_DEFAULTCOLOR));
}

// The icon of `size` pixels from an icon file's bytes, made once and kept for
// the life of the process: windows that share an icon share its images.
HICON sharedIcon(std::span<const unsigned char> file, int size) {
    static std::map<std::tuple<const unsigned char*, std::size_t, int>, UniqueIcon> made;
    auto [entry, inserted] = made.try_emplace({file.data(), file.size(), size});
    if (inserted) {
        entry->second = iconFromFile(file, size);
    }
    return entry->second.get();
}

// The font of `look`, made once and kept for the life of the process: every
// window at the same size shares it, and making a font is slow.
HFONT sharedFont(const LOGFONTW& look) {
    using Key = std::tuple<std::wstring, LONG, LONG, BYTE, BYTE, BYTE>;
    static std::map<Key, UniqueGdiObject<HFONT>> made;
    auto [entry, inserted] = made.try_emplace(Key{look.lfFaceName, look.lfHeight, look.lfWeight,
                                                  look.lfItalic, look.lfCharSet, look.lfQuality});
    if (inserted) {
        entry->second.reset(CreateFontIndirectW(&look));
    }
    return entry->second.get();
}

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

// What every control adds to its standard behaviour: it forgets its handle
// when destroyed; a button is clicked by Return as by Space, and the arrow
// keys on it move the focus along the tab order, back or on; the output area
// leaves Tab, Return and Escape to the window's navigation, and Ctrl+C on it
// copies the selected text, or all of it when none is selected, without the
// line end that only holds the print position.
LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR /*subclass*/, DWORD_PTR data) noexcept {
    auto& slot = *reinterpret_cast<ControlSlot*>(data);
    try {
        switch (message) {
        case WM_NCDESTROY:
            slot.handle = nullptr;
            RemoveWindowSubclass(control, controlProcedure, 0);
            break;
        case WM_GETDLGCODE: {
            const LRESULT code = DefSubclassProc(control, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (slot.kind == ControlKind::CommandButton) {
                const bool isReturn =
                    key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
                return code | DLGC_WANTARROWS | (isReturn ? DLGC_WANTMESSAGE : 0);
            }
            if (slot.kind == ControlKind::PictureBox) {
                return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
            }
            return code;
        }
        case WM_KEYDOWN:
            if (slot.kind == ControlKind::CommandButton && wParam == VK_RETURN) {
                const bool repeated = (lParam & (LPARAM{1} << 30)) != 0;
                if (!repeated) {
                    SendMessageW(GetParent(control), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(control));
                }
                return 0;
            }
            if (slot.kind == ControlKind::CommandButton &&
                (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN)) {
                const bool back = wParam == VK_LEFT || wParam == VK_UP;
                HWND window = GetParent(control);
                if (HWND next = GetNextDlgTabItem(window, control, back ? TRUE : FALSE)) {
                    SetFocus(next);
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (slot.kind == ControlKind::CommandButton && wParam == L'\r') {
                return 0;
            }
            break;
        case WM_COPY:
            if (slot.kind == ControlKind::PictureBox) {
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
                // Not the empty line that holds the print position.
                if (end == text.size() && copied.ends_with(L"\r\n")) {
                    copied.resize(copied.size() - 2);
                }
                copyToClipboard(control, copied);
                return 0;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        return 0; // nothing may cross into the system; the key or copy is dropped
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

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
    handle_ = CreateWindowExW(0, MAKEINTATOM(formClass), widen(description.caption).c_str(),
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

ControlSlot& Window::addControl(const ControlDescription& description, ControlKind kind,
                                std::function<void()> click) {
    static constexpr struct {
        const wchar_t* className;
        DWORD style;
        DWORD extendedStyle;
    } kinds[] = {
        // TextBox: one line of text, scrolled sideways as it grows.
        {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
        // PictureBox: read-only lines that the layer prints, never wrapped.
        {WC_EDITW, WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
        // Label: wrapped at blanks, with no mnemonics.
        {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0},
        // CommandButton.
        {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0},
    };
    const auto& look = kinds[static_cast<int>(kind)];
    auto& slot = *controls_.emplace_back(std::make_unique<ControlSlot>(
        ControlSlot{std::string(description.name), kind, description.tabIndex,
                    std::string(description.labelFor), description.left, description.top,
                    description.width, description.height, std::move(click), nullptr}));
    const int id = FirstControlId + static_cast<int>(controls_.size()) - 1;
    const RECT bounds = placement(slot);
    slot.handle =
        CreateWindowExW(look.extendedStyle, look.className, widen(description.caption).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | look.style, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, handle_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(), nullptr);
    if (slot.handle == nullptr) {
        controls_.pop_back();
        raiseSystemError("a control could not be created");
    }
    SetWindowSubclass(slot.handle, controlProcedure, 0, reinterpret_cast<DWORD_PTR>(&slot));
    if (font_ != nullptr) {
        SendMessageW(slot.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    return slot;
}

const ControlSlot* Window::find(std::string_view name) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [name](const auto& slot) { return slot->name == name; });
    return found == controls_.end() ? nullptr : found->get();
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

RECT Window::placement(const ControlSlot& slot) const {
    const int left = pixels(slot.left);
    const int top = pixels(slot.top);
    return {left, top, left + pixels(slot.width), top + pixels(slot.height)};
}

void Window::clipLabels() {
    using UniqueRegion = UniqueGdiObject<HRGN>;
    for (const auto& label : controls_) {
        if (label->kind != ControlKind::Label || label->handle == nullptr) {
            continue;
        }
        const RECT bounds = placement(*label);
        UniqueRegion visible(
            CreateRectRgn(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top));
        bool covers = false;
        for (const auto& other : controls_) {
            RECT overlap{};
            const RECT otherBounds = placement(*other);
            if (other->kind == ControlKind::Label || other->handle == nullptr ||
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
        if (SetWindowRgn(label->handle, region, TRUE) == 0 && region != nullptr) {
            DeleteObject(region);
        }
    }
}

void Window::fitFont() {
    // The largest size, no larger than the desktop's message font, at which
    // every caption shows whole; one size for the whole window keeps it even.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW look{};
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi_) !=
        FALSE) {
        look = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(look), &look);
    }
    const int desktopSize = std::abs(look.lfHeight);
    const int smallest = MulDiv(8, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    const int margin = MulDiv(ButtonCaptionMargin, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    const auto fontOfSize = [&](int size) {
        look.lfHeight = -size; // the height of the characters, not of the cell
        return sharedFont(look);
    };
    const auto allFit = [&](int size) {
        const FontContext context(fontOfSize(size));
        return std::all_of(controls_.begin(), controls_.end(), [&](const auto& slot) {
            const bool button = slot->kind == ControlKind::CommandButton;
            if (slot->handle == nullptr || (!button && slot->kind != ControlKind::Label)) {
                return true; // only buttons and labels have captions
            }
            const int width = pixels(slot->width);
            const int height = pixels(slot->height);
            const CaptionSize caption = measure(context.get(), windowText(slot->handle), width);
            return button ? ButtonCaptionFits(caption, width, height, margin)
                          : LabelCaptionFits(caption, width, height);
        });
    };
    HFONT font = fontOfSize(LargestFittingSize(desktopSize, smallest, allFit));
    if (font == nullptr) {
        return; // the controls keep the system font
    }
    const BOOL redraw = IsWindowVisible(handle_);
    for (const auto& slot : controls_) {
        if (slot->handle != nullptr) {
            SendMessageW(slot->handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
        }
    }
    font_ = font;
}

void Window::setIcons() {
    if (iconFile_.empty()) {
        return;
    }
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        HICON icon = sharedIcon(iconFile_, GetSystemMetricsForDpi(metric, dpi_));
        SendMessageW(handle_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

void Window::arrangeSiblings() {
    std::vector<const ControlSlot*> sorted;
    for (const auto& slot : controls_) {
        if (slot->handle != nullptr) {
            sorted.push_back(slot.get());
        }
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<const ControlSlot*> order;
    for (const ControlSlot* slot : sorted) {
        if (!slot->labelFor.empty() && find(slot->labelFor) != nullptr) {
            continue; // placed with the control it names
        }
        for (const ControlSlot* label : sorted) {
            if (label->labelFor == slot->name) {
                order.push_back(label);
            }
        }
        order.push_back(slot);
    }
    HWND previous = HWND_TOP;
    for (const ControlSlot* slot : order) {
        const HWND above = GetWindow(slot->handle, GW_HWNDPREV);
        if (previous == HWND_TOP ? above != nullptr : above != previous) {
            SetWindowPos(slot->handle, previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        previous = slot->handle;
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

int Window::runUntilClosed() {
    endsProgram_ = true;
    MSG message{};
    BOOL status = 0;
    while ((status = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        processMessage(message);
    }
    return status == 0 ? static_cast<int>(message.wParam) : 1;
}

void Window::dispatch(const std::function<void()>& procedure) {
    std::wstring report;
    try {
        procedure();
        return;
    } catch (const std::exception& error) {
        report = widen(error.what());
    }
    MessageBoxW(handle_, report.c_str(), windowText(handle_).c_str(), MB_OK | MB_ICONERROR);
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
    // No exception may cross into the system: what escapes the dispatch is
    // reported here, and the program goes on.
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
                dispatch(slot->click);
            }
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // The output area shows its text on the background of a field, as
        // a text box does, although the player cannot type into it.
        if (const ControlSlot* slot = find(reinterpret_cast<HWND>(lParam));
            slot != nullptr && slot->kind == ControlKind::PictureBox) {
            auto* context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(context, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
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
    case WM_NCDESTROY:
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        handle_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

void processMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetClassLongPtrW(root, GCW_ATOM) == formClass &&
        IsDialogMessageW(root, &message) != FALSE) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace detail

namespace {

// The live handle of a control, checked as every control operation is: a
// control that is gone fails the operation with a RuntimeError.
HWND live(const detail::ControlSlot& slot, std::string_view operation) {
    if (slot.handle == nullptr) {
        RaiseControlError(slot.name, operation, "the control no longer exists");
    }
    return slot.handle;
}

void setText(const detail::ControlSlot& slot, std::string_view operation,
             const std::wstring& text) {
    if (SetWindowTextW(live(slot, operation), text.c_str()) == FALSE) {
        RaiseControlError(slot.name, operation, detail::lastErrorText());
    }
}

std::wstring text(const detail::ControlSlot& slot, std::string_view operation) {
    HWND control = live(slot, operation);
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(control);
    if (length == 0 && GetLastError() != ERROR_SUCCESS) {
        RaiseControlError(slot.name, operation, detail::lastErrorText());
    }
    std::wstring result(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, result.data(), length + 1);
    if (copied == 0 && length > 0) {
        RaiseControlError(slot.name, operation, detail::lastErrorText());
    }
    result.resize(static_cast<std::size_t>(copied));
    return result;
}

} // namespace

Form::Form(const FormDescription& description)
    : window_(std::make_unique<detail::Window>(description)) {}

Form::~Form() = default;

void Form::Show() {
    window_->showWithInitialFocus();
}

const std::string& Control::Name() const {
    return slot_->name;
}

TextBox::TextBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, detail::ControlKind::TextBox)) {}

std::string TextBox::Text() const {
    return detail::narrow(text(slot(), "Text"));
}

void TextBox::SetText(std::string_view text) {
    setText(slot(), "SetText", detail::widen(text));
}

PictureBox::PictureBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, detail::ControlKind::PictureBox)) {}

void PictureBox::Clear() {
    setText(slot(), "Clear", L"");
}

// The control's text is the printed text itself: the print position is
// always at its end, and a line end is a CR LF, as a multi-line edit shows it.
void PictureBox::Print(std::string_view item, Separator separator) {
    std::wstring printed = text(slot(), "Print");
    printed += detail::widen(item);
    if (separator == Separator::LineEnd) {
        printed += L"\r\n";
    }
    setText(slot(), "Print", printed);
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(description, detail::ControlKind::Label)) {}

CommandButton::CommandButton(Form& form, const ControlDescription& description,
                             std::function<void()> click)
    : Control(form.window().addControl(description, detail::ControlKind::CommandButton,
                                       std::move(click))) {}

int Start(const Project& project) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        const std::unique_ptr<Form> startupForm = project.createStartupForm();
        startupForm->Show();
        return startupForm->window().runUntilClosed();
    } catch (const std::exception& error) {
        // The window could not be made: nothing else can be shown.
        MessageBoxW(nullptr, detail::widen(error.what()).c_str(),
                    detail::widen(project.name).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace platform
