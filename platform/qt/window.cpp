#include "platform/qt/window.h"

#include <QLabel>
#include <QMessageBox>

namespace platform::layer {

// A window goes with its controls' widgets.
template struct Ender<Window>;
template struct Ender<Control>;

Window::Window(FormWindow& shown)
    : form(shown) {
    installAccessibleInterfaces();
    setWindowTitle(toQString(form.caption));
    setFixedSize(detail::pixels(form.clientWidth), detail::pixels(form.clientHeight));
    if (!form.icon.empty()) {
        setWindowIcon(iconFromFile(form.icon));
    }
}

Owned<Window> MakeWindow(FormWindow& form) {
    return Owned<Window>(new Window(form));
}

void Arrange(Window& window, const std::vector<ControlRecord*>& order) {
    QWidget* previous = nullptr;
    for (const ControlRecord* control : order) {
        QWidget* widget = widgetOf(*control);
        if (widget == nullptr) {
            continue;
        }
        // A label is the buddy of the control it names, which names that
        // control for assistive technology.
        if (const ControlRecord* named = window.form.namedBy(*control)) {
            qobject_cast<QLabel*>(widget)->setBuddy(widgetOf(*named));
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
}

bool FitsAsShown(const Window& /*window*/) {
    return true;
}

void Show(Window& window, const ControlRecord* focus) {
    window.show();
    if (QWidget* widget = focus != nullptr ? widgetOf(*focus) : nullptr) {
        widget->setFocus(Qt::TabFocusReason);
    }
}

void ShowReport(Window& window, const std::string& report) {
    QMessageBox::critical(&window, window.windowTitle(), QString::fromStdString(report));
}

} // namespace platform::layer
