#include "platform/caption_fit.h"

#include "platform/win32/unicode.h"
#include "platform/win32/window.h"

#include <cstdlib>
#include <map>
#include <tuple>
#include <windows.h>

namespace platform::detail {
namespace {

// Text measured in a font selected into a device context of its own, for as
// long as it lives. It draws nowhere, so it needs no window.
class FontMetrics final : public TextMetrics {
public:
    explicit FontMetrics(HFONT font)
        : context_(CreateCompatibleDC(nullptr))
        , previous_(context_ != nullptr ? SelectObject(context_, font) : nullptr) {}
    ~FontMetrics() override {
        if (context_ != nullptr) {
            SelectObject(context_, previous_);
            DeleteDC(context_);
        }
    }
    FontMetrics(const FontMetrics&) = delete;
    FontMetrics& operator=(const FontMetrics&) = delete;
    FontMetrics(FontMetrics&&) = delete;
    FontMetrics& operator=(FontMetrics&&) = delete;

    [[nodiscard]] int lineWidth(std::string_view text) const override {
        const std::wstring wide = widen(text);
        SIZE extent{};
        GetTextExtentPoint32W(context_, wide.c_str(), static_cast<int>(wide.size()), &extent);
        return extent.cx;
    }
    [[nodiscard]] int lineHeight() const override {
        TEXTMETRICW metrics{};
        GetTextMetricsW(context_, &metrics);
        return metrics.tmHeight;
    }
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const override {
        const std::wstring wide = widen(text);
        RECT wrapped{0, 0, width, 0};
        DrawTextW(context_, wide.c_str(), static_cast<int>(wide.size()), &wrapped,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        return wrapped.bottom - wrapped.top;
    }

private:
    HDC context_;
    HGDIOBJ previous_;
};

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

} // namespace

CaptionSize measureCaption(HFONT font, std::string_view caption, int width) {
    return MeasureCaption(caption, width, FontMetrics(font));
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
    const auto fontOfSize = [&look](int size) {
        look.lfHeight = -size; // the height of the characters, not of the cell
        return sharedFont(look);
    };
    const int size = FittingFontSize(
        controls_, std::abs(look.lfHeight),
        MulDiv(8, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI),
        MulDiv(ButtonCaptionMargin, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI),
        [&](int candidate) { return std::make_unique<FontMetrics>(fontOfSize(candidate)); },
        [this](const ControlSlot& slot) -> std::optional<CaptionBox> {
            if (slot.handle == nullptr) {
                return std::nullopt;
            }
            return CaptionBox{pixels(slot.width), pixels(slot.height)};
        });
    HFONT font = fontOfSize(size);
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

} // namespace platform::detail
