#include "platform/caption_fit.h"

#include "platform/qt/window.h"

#include <optional>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace platform::detail {
namespace {

class FontMetrics final : public TextMetrics {
public:
    explicit FontMetrics(const QFont& font)
        : metrics_(font) {}

    [[nodiscard]] int lineWidth(std::string_view text) const override {
        return metrics_.horizontalAdvance(toQString(text));
    }
    [[nodiscard]] int lineHeight() const override { return metrics_.height(); }
    [[nodiscard]] int wrappedHeight(std::string_view text, int width) const override {
        constexpr int unbounded = 1 << 20;
        return metrics_
            .boundingRect(QRect(0, 0, width, unbounded), Qt::TextWordWrap, toQString(text))
            .height();
    }

private:
    QFontMetrics metrics_;
};

// Where a button or a label shows its caption; nullopt for other widgets.
std::optional<CaptionBox> captionBox(const QWidget* widget) {
    if (qobject_cast<const QPushButton*>(widget) != nullptr) {
        return CaptionBox{widget->width(), widget->height()};
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return CaptionBox{label->contentsRect().width(), label->contentsRect().height()};
    }
    return std::nullopt;
}

QString captionOf(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    return {};
}

} // namespace

CaptionSize measureCaption(const QWidget& widget, const QFont& font) {
    const std::optional<CaptionBox> box = captionBox(&widget);
    return MeasureCaption(captionOf(widget).toStdString(), box ? box->width : widget.width(),
                          FontMetrics(font));
}

void fitFont(Window& window, const ControlList<ControlSlot>& controls) {
    // One size for the whole window keeps it even.
    constexpr int smallestPixelSize = 8;
    QFont font = QApplication::font(&window);
    const int size = FittingFontSize(
        controls, QFontInfo(font).pixelSize(), smallestPixelSize, ButtonCaptionMargin,
        [&font](int pixelSize) {
            font.setPixelSize(pixelSize);
            return std::make_unique<FontMetrics>(font);
        },
        [](const ControlSlot& slot) { return captionBox(slot.widget.data()); });
    font.setPixelSize(size);
    window.setFont(font);
}

} // namespace platform::detail
