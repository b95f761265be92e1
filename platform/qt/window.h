#pragma once

// The toolkit side of a form: the top-level widget and the layer's record of
// each control on it, and what the layer's files share. Only the platform
// layer and tests include this.

#include "platform/caption_fit.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/toolkit.h"

#include <string>
#include <string_view>

#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform::detail {

struct ControlSlot : ControlRecord {
    explicit ControlSlot(ControlRecord record)
        : ControlRecord(std::move(record)) {}
    // Guarded: it turns null when the widget is destroyed, which makes every
    // later operation on the control fail cleanly instead of touching freed
    // memory.
    QPointer<QWidget> widget;
};

class Window final : public QWidget, public FormWindow {
    Q_OBJECT

public:
    explicit Window(const FormDescription& description);

    // Makes the widget of `record` as a child, named by the control's name.
    ControlSlot& makeControl(ControlRecord record) override;
    void showWithInitialFocus() override;
    void showReport(const std::string& report) override;
    void announce(const Announcement& said) override;

    // The widget of the control named `name`, or null if there is none.
    [[nodiscard]] QWidget* control(std::string_view name) const;

private:
    ControlList<ControlSlot> controls_;
    // For assistive technology only, made with the first announcement: never
    // shown.
    QWidget* announcementBar_ = nullptr;
};

inline Window& windowOf(const Form& form) {
    return static_cast<Window&>(form.window());
}

// Converts twips to pixels, rounding to the nearest pixel.
constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The widget for a control of `kind` (made in controls.cpp, the output area
// in output_area.cpp).
QWidget* makeControlWidget(const ControlRecord& record, Window& window);

// The live widget of a control, checked as every control operation is: a
// control whose widget is gone fails the operation with a RuntimeError.
template <class Widget> Widget& live(ControlRecord& record, std::string_view operation) {
    auto* widget = qobject_cast<Widget*>(static_cast<ControlSlot&>(record).widget.data());
    if (widget == nullptr) {
        RaiseControlError(record.name, operation, "the control no longer exists");
    }
    return *widget;
}

// Makes the toolkit describe the forms and the output areas to assistive
// technology: a form as a window, an output area as read-only text that can
// be read and followed. Once per process; later calls do nothing.
void installAccessibleInterfaces();

// Makes the status bar on `window` that holds what is announced to
// assistive technology, as notifications; it is never shown.
QWidget* makeAnnouncementBar(QWidget& window);

// Makes each label the buddy of the control it names, which names that
// control for assistive technology.
void bindLabels(const ControlList<ControlSlot>& controls);

// Sets on `window` the largest font, no larger than the desktop's, at which
// every caption of `controls` shows whole.
void fitFont(Window& window, const ControlList<ControlSlot>& controls);

// A caption as `widget` shows it in `font`, in device-independent pixels.
CaptionSize measureCaption(const QWidget& widget, const QFont& font);

// The icon with every image of an icon file's bytes; null if they hold none.
const QIcon& iconFromFile(std::span<const unsigned char> bytes);

} // namespace platform::detail
