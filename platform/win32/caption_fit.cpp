#include "platform/win32/caption_fit.h"

#include "platform/caption_fit.h"
#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <cstdlib>
#include <map>
#include <tuple>

namespace platform::layer {
namespace {

// The desktop's message font at `dpi`, or the system's GUI font without it.
LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW look{};
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) !=
        FALSE) {
        look = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(look), &look);
    }
    return look;
}

} // namespace

int DpiFont::fromTwips(int twips) const {
    return MulDiv(twips, static_cast<int>(dpi_), TwipsPerInch);
}

int DpiFont::desktopSize() const {
    return std::abs(messageFont(dpi_).lfHeight);
}

HFONT DpiFont::at(int size) const {
    LOGFONTW look = messageFont(dpi_);
    look.lfHeight = -size; // the height of the characters, not of the cell
    using Key = std::tuple<std::wstring, LONG, LONG, BYTE, BYTE, BYTE>;
    static std::map<Key, UniqueGdiObject<HFONT>> made;
    auto [entry, inserted] = made.try_emplace(Key{look.lfFaceName, look.lfHeight, look.lfWeight,
                                                  look.lfItalic, look.lfCharSet, look.lfQuality});
    if (inserted) {
        entry->second.reset(CreateFontIndirectW(&look));
    }
    return entry->second.get();
}

// Text measured in a font selected into a device context of its own, for as
// long as it lives. It draws nowhere, so it needs no window.
struct TextMetrics::Font {
    explicit Font(HFONT font)
        : context(CreateCompatibleDC(nullptr))
        , previous(context != nullptr ? SelectObject(context, font) : nullptr) {}
    ~Font() {
        if (context != nullptr) {
            SelectObject(context, previous);
            DeleteDC(context);
        }
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    Font(Font&&) = delete;
    Font& operator=(Font&&) = delete;

    HDC context;
    HGDIOBJ previous;
};

TextMetrics::TextMetrics(const Window& window, int size)
    : font_(std::make_unique<Font>(window.font.at(size))) {}

TextMetrics::~TextMetrics() = default;

int TextMetrics::lineWidth(std::string_view text) const {
    const std::wstring wide = widen(text);
    SIZE extent{};
    GetTextExtentPoint32W(font_->context, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return extent.cx;
}

int TextMetrics::lineHeight() const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(font_->context, &metrics);
    return metrics.tmHeight;
}

int TextMetrics::wrappedHeight(std::string_view text, int width) const {
    const std::wstring wide = widen(text);
    RECT wrapped{0, 0, width, 0};
    DrawTextW(font_->context, wide.c_str(), static_cast<int>(wide.size()), &wrapped,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    return wrapped.bottom - wrapped.top;
}

int PixelsPerInch(const Window& window) {
    return static_cast<int>(window.font.dpi());
}

int DesktopFontSize(const Window& window) {
    return window.font.desktopSize();
}

std::optional<detail::CaptionBox> CaptionBoxOf(const Window& window, const ControlRecord& control) {
    if (control.toolkit->handle == nullptr) {
        return std::nullopt;
    }
    return detail::CaptionBox{window.font.fromTwips(control.width),
                              window.font.fromTwips(control.height)};
}

void UseFontSize(Window& window, int size) {
    window.font.fit(size);
    if (window.font.fitted() == nullptr) {
        return; // the controls keep the system font
    }
    const BOOL redraw = IsWindowVisible(window.handle);
    for (const auto& control : window.form.controls()) {
        if (control->toolkit->handle != nullptr) {
            SendMessageW(control->toolkit->handle, WM_SETFONT,
                         reinterpret_cast<WPARAM>(window.font.fitted()), redraw);
        }
    }
}

} // namespace platform::layer
