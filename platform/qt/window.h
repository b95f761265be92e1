#pragma once

// The toolkit's side of a form on Qt 6 Widgets: the top-level widget and the
// widget of each control, and what the layer's files share. Only the Qt
// layer and its users in tests and benchmarks include this.

#include "platform/form_window.h"

#include <span>
#include <string_view>

#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform::layer {

// Guarded: it turns null when the widget is destroyed, which makes every
// later operation on the control fail cleanly instead of touching freed
// memory.
struct Control {
    QPointer<QWidget> widget;
};

struct Window final : QWidget {
    Q_OBJECT

public:
    explicit Window(FormWindow& shown);

    FormWindow& form;
    // For assistive technology only, made with the first announcement:
    // never shown.
    QWidget* announcementBar = nullptr;
};

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The widget of a control, as the layer made it for its kind.
template <class Widget = QWidget> Widget* widgetOf(const ControlRecord& control) {
    return qobject_cast<Widget*>(control.toolkit->widget.data());
}

// The widget of an output area (output_area.cpp).
QWidget* makeOutputArea(Window& window, const ControlRecord& area);

// Makes the toolkit describe the forms and the output areas to assistive
// technology: a form as a window, an output area as read-only text that can
// be read and followed. Once per process; later calls do nothing.
void installAccessibleInterfaces();

// The window's font at `size` pixels.
QFont fontAt(const QWidget& window, int size);

// The icon with every image of an icon file's bytes; null if they hold none.
const QIcon& iconFromFile(std::span<const unsigned char> bytes);

} // namespace platform::layer
