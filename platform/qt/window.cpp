#include "platform/qt/window.h"

#include "platform/toolkit.h"

#include <vector>

#include <QMessageBox>

namespace platform::detail {

Window::Window(const FormDescription& description) {
    installAccessibleInterfaces();
    setWindowTitle(toQString(description.caption));
    setFixedSize(pixels(description.clientWidth), pixels(description.clientHeight));
    if (!description.icon.empty()) {
        setWindowIcon(iconFromFile(description.icon));
    }
}

ControlSlot& Window::makeControl(ControlRecord record) {
    auto& slot = controls_.add(std::make_unique<ControlSlot>(std::move(record)));
    slot.widget = makeControlWidget(slot, *this);
    slot.widget->setObjectName(toQString(slot.name));
    slot.widget->setGeometry(pixels(slot.left), pixels(slot.top), pixels(slot.width),
                             pixels(slot.height));
    return slot;
}

QWidget* Window::control(std::string_view name) const {
    const ControlSlot* slot = controls_.find(name);
    return slot == nullptr ? nullptr : slot->widget.data();
}

void Window::showWithInitialFocus() {
    bindLabels(controls_);
    std::vector<QWidget*> order;
    for (const ControlSlot* slot : controls_.tabOrder()) {
        if (slot->widget != nullptr && slot->widget->focusPolicy() != Qt::NoFocus) {
            order.push_back(slot->widget);
        }
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    fitFont(*this, controls_);
    show();
    if (!order.empty()) {
        order.front()->setFocus(Qt::TabFocusReason);
    }
}

void Window::showReport(const std::string& report) {
    QMessageBox::critical(this, windowTitle(), QString::fromStdString(report));
}

std::unique_ptr<FormWindow> MakeWindow(const FormDescription& description) {
    return std::make_unique<Window>(description);
}

} // namespace platform::detail
