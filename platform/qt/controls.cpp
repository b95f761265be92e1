#include "platform/qt/window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform::layer {
namespace {

// A push button that also answers Return and Enter while it has the focus, as
// players of desktop games expect; Space works as for every button.
class Button final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (!event->isAutoRepeat()) {
                click();
            }
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QWidget* makeWidget(Window& window, ControlRecord& control) {
    switch (control.kind) {
    case detail::ControlKind::TextBox:
        return new QLineEdit(&window);
    case detail::ControlKind::PictureBox:
        return makeOutputArea(window, control);
    case detail::ControlKind::Label: {
        auto* label = new QLabel(toQString(control.caption), &window);
        label->setWordWrap(true);
        return label;
    }
    case detail::ControlKind::CommandButton:
        break;
    }
    auto* button = new Button(toQString(control.caption), &window);
    QObject::connect(button, &QPushButton::clicked, &window,
                     [&window, &control] { window.form.click(control); });
    return button;
}

} // namespace

Owned<Control> MakeControl(Window& window, ControlRecord& control) {
    QWidget* widget = makeWidget(window, control);
    widget->setObjectName(toQString(control.name));
    widget->setGeometry(detail::pixels(control.left), detail::pixels(control.top),
                        detail::pixels(control.width), detail::pixels(control.height));
    return Owned<Control>(new Control{widget});
}

bool Exists(const Control& control) {
    return control.widget != nullptr;
}

std::string ReadText(const ControlRecord& field, std::string_view /*operation*/) {
    return widgetOf<QLineEdit>(field)->text().toStdString();
}

void WriteText(const ControlRecord& field, std::string_view /*operation*/, std::string_view text) {
    widgetOf<QLineEdit>(field)->setText(toQString(text));
}

} // namespace platform::layer
