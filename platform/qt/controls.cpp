#include "platform/qt/output_area.h"
#include "platform/qt/window.h"
#include "platform/toolkit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform::detail {
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

} // namespace

QWidget* makeControlWidget(const ControlRecord& record, Window& window) {
    switch (record.kind) {
    case ControlKind::TextBox:
        return new QLineEdit(&window);
    case ControlKind::PictureBox:
        return new OutputArea(&window);
    case ControlKind::Label: {
        auto* label = new QLabel(toQString(record.caption), &window);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::CommandButton: {
        auto* button = new Button(toQString(record.caption), &window);
        QObject::connect(button, &QPushButton::clicked, &window,
                         [&window, &record] { Dispatch(window, record.click); });
        return button;
    }
    }
    return nullptr;
}

std::string ReadText(ControlRecord& control, std::string_view operation) {
    return live<QLineEdit>(control, operation).text().toStdString();
}

void WriteText(ControlRecord& control, std::string_view operation, std::string_view text) {
    live<QLineEdit>(control, operation).setText(toQString(text));
}

} // namespace platform::detail
