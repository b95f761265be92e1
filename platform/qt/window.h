#pragma once

// The toolkit side of a form: the top-level widget and the runtime's record
// of each control on it. Only the platform layer and tests include this.

#include "platform/forms.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

namespace platform::detail {

struct ControlSlot {
    std::string name;
    int tabIndex = 0;
    std::string labelFor; // for a label, the control it names
    // Guarded: it turns null when the widget is destroyed, which makes every
    // later operation on the control fail cleanly instead of touching freed
    // memory.
    QPointer<QWidget> widget;
};

class Window final : public QWidget {
    Q_OBJECT

public:
    explicit Window(const FormDescription& description);

    // Places `widget` as a child at the twips rectangle of `description` and
    // names it; returns the runtime's record of it. The tab order follows the
    // controls' tab indices once the window is shown.
    ControlSlot& addControl(const ControlDescription& description, QWidget* widget);

    // The widget of the control named `name`, or null if there is none.
    [[nodiscard]] QWidget* control(std::string_view name) const;

    // Runs a click procedure as the event dispatch does: a RuntimeError or any
    // other exception it raises is reported in a message box, and the program
    // goes on.
    void dispatch(const std::function<void()>& procedure);

    void showWithInitialFocus();

private:
    // The controls that take the focus, in tab order.
    [[nodiscard]] std::vector<QWidget*> focusOrder() const;
    // Makes each label the buddy of the control it names, which names that
    // control for assistive technology.
    void bindLabels();
    void fitFont();

    std::vector<std::unique_ptr<ControlSlot>> controls_;
};

// Converts twips to pixels, rounding to the nearest pixel.
constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

} // namespace platform::detail
