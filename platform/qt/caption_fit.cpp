#include "platform/caption_fit.h"

#include "platform/qt/window.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace platform::layer {

struct TextMetrics::Font {
    QFontMetrics metrics;
};

QFont fontAt(const QWidget& window, int size) {
    QFont font = QApplication::font(&window);
    font.setPixelSize(size);
    return font;
}

TextMetrics::TextMetrics(const Window& window, int size)
    : font_(std::make_unique<Font>(Font{QFontMetrics(fontAt(window, size))})) {}

TextMetrics::~TextMetrics() = default;

int TextMetrics::lineWidth(std::string_view text) const {
    return font_->metrics.horizontalAdvance(toQString(text));
}

int TextMetrics::lineHeight() const {
    return font_->metrics.height();
}

int TextMetrics::wrappedHeight(std::string_view text, int width) const {
    constexpr int unbounded = 1 << 20;
    return font_->metrics
        .boundingRect(QRect(0, 0, width, unbounded), Qt::TextWordWrap, toQString(text))
        .height();
}

// Device-independent pixels, which the toolkit scales.
int PixelsPerInch(const Window& /*window*/) {
    return 96;
}

int DesktopFontSize(const Window& window) {
    return QFontInfo(QApplication::font(&window)).pixelSize();
}

// A button shows its caption inside its whole box, a label inside its
// contents.
std::optional<detail::CaptionBox> CaptionBoxOf(const Window& /*window*/,
                                               const ControlRecord& control) {
    const QWidget* widget = widgetOf(control);
    if (widget == nullptr) {
        return std::nullopt;
    }
    const QRect box =
        qobject_cast<const QLabel*>(widget) != nullptr ? widget->contentsRect() : widget->rect();
    return detail::CaptionBox{box.width(), box.height()};
}

void UseFontSize(Window& window, int size) {
    window.setFont(fontAt(window, size));
}

} // namespace platform::layer
