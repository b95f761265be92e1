#include "platform/testing.h"

#include "platform/qt/output_area.h"
#include "platform/qt/window.h"

#include <algorithm>
#include <stdexcept>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace platform::testing {
namespace {

using detail::ControlRecord;
using layer::widgetOf;

std::string toStd(const QString& text) {
    return text.toStdString();
}

} // namespace

struct Session::Toolkit {
    Toolkit(int& argc, char** argv)
        : application(argc, argv) {}
    QApplication application;
};

Session::Session(int& argc, char** argv)
    : toolkit_(std::make_unique<Toolkit>(argc, argv)) {}

Session::~Session() = default;

struct Driver::Driving {
    explicit Driving(layer::Window& driven)
        : window(driven) {
        // Closes each error report as soon as it comes up: a message box
        // runs its own event loop, so a timer of that loop finds it.
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                reports.push_back({toStd(box->windowTitle()), toStd(box->text()),
                                   box->parentWidget() == &window,
                                   box->icon() == QMessageBox::Critical});
                box->accept();
            }
        });
        closer.start(0);
    }

    layer::Window& window;
    QTimer closer;
    std::vector<Report> reports;
    // The notifications read already, which TakeAnnouncements leaves out.
    std::vector<QPointer<QObject>> heard;
};

Driver::Driver(Form& form)
    : form_(form.window())
    , driving_(std::make_unique<Driving>(form_.toolkit())) {
    form.Show();
    waitUntilShown();
}

Driver::~Driver() = default;

std::size_t ToolkitObjects() {
    return static_cast<std::size_t>(QApplication::allWidgets().size());
}

void Driver::waitUntilShown() {
    if (!QTest::qWaitForWindowActive(&driving_->window)) {
        throw std::runtime_error("the window did not become active");
    }
}

void Driver::Click(std::string_view button) {
    QTest::mouseClick(widgetOf(control(button, Kind::Button)), Qt::LeftButton);
}

void Driver::Press(Key key) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        throw std::runtime_error("no control has the focus");
    }
    static const std::pair<Qt::Key, Qt::KeyboardModifiers> strokes[] = {
        {Qt::Key_Tab, Qt::NoModifier},      {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Left, Qt::NoModifier},     {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Space, Qt::NoModifier},    {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier}};
    if (key == Key::Copy) {
        QTest::keySequence(target, QKeySequence::Copy);
        return;
    }
    const auto [code, modifiers] = strokes[static_cast<std::size_t>(key)];
    QTest::keyClick(target, code, modifiers);
}

void Driver::SetText(std::string_view field, std::string_view text) {
    widgetOf<QLineEdit>(control(field, Kind::Field))->setText(layer::toQString(text));
}

std::string Driver::Text(std::string_view name) const {
    QWidget* widget = widgetOf(control(name));
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return toStd(edit->text());
    }
    if (const auto* area = qobject_cast<const layer::OutputArea*>(widget)) {
        return toStd(area->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return toStd(button->text());
    }
    return toStd(qobject_cast<const QLabel*>(widget)->text());
}

std::string Driver::WindowCaption() const {
    return toStd(driving_->window.windowTitle());
}

bool Driver::IsShown() const {
    return driving_->window.isVisible();
}

// The layer places controls in device-independent pixels of 1/96 inch,
// which the toolkit scales by the device pixel ratio.
double Driver::pixelRatio() const {
    return driving_->window.devicePixelRatioF();
}

std::array<double, 4> Driver::box(const ControlRecord* control) const {
    const QRect box = control != nullptr ? widgetOf(*control)->geometry() : driving_->window.rect();
    return {double(box.left()), double(box.top()), double(box.width()), double(box.height())};
}

Driver::CaptionPlace Driver::captionPlace(const ControlRecord& control) const {
    const QWidget& widget = *widgetOf(control);
    const QRect box = widget.contentsRect();
    return {widget.font().pixelSize(), double(box.width()), double(box.height())};
}

bool Driver::hasFocus(const ControlRecord& control) const {
    return widgetOf(control) == QApplication::focusWidget();
}

bool Driver::TakesFocus(std::string_view name) const {
    return widgetOf(control(name))->focusPolicy() != Qt::NoFocus;
}

std::vector<int> Driver::IconSizes() const {
    std::vector<int> sizes;
    for (const QSize& size : driving_->window.windowIcon().availableSizes()) {
        sizes.push_back(size.width());
    }
    return sizes;
}

std::string Driver::ClipboardText() const {
    return toStd(QApplication::clipboard()->text());
}

std::string Driver::AccessibleName(std::string_view name) const {
    const QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(widgetOf(control(name)));
    return accessible != nullptr ? toStd(accessible->text(QAccessible::Name)) : std::string();
}

std::string Driver::AccessibleText(std::string_view name) const {
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(widgetOf(control(name)));
    if (accessible == nullptr) {
        return {};
    }
    if (QAccessibleTextInterface* text = accessible->textInterface()) {
        return toStd(text->text(0, text->characterCount()));
    }
    return toStd(accessible->text(QAccessible::Value));
}

void Driver::Repaint() {
    driving_->window.hide();
    driving_->window.show();
    waitUntilShown();
    driving_->window.repaint();
}

void Driver::Destroy(std::string_view name) {
    delete widgetOf(control(name));
}

std::vector<Report> Driver::TakeReports() {
    return std::exchange(driving_->reports, {});
}

std::vector<std::string> Driver::TakeAnnouncements() {
    std::vector<std::string> said;
    for (QWidget* widget : driving_->window.findChildren<QWidget*>()) {
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        auto& heard = driving_->heard;
        if (accessible != nullptr && accessible->role() == QAccessible::Notification &&
            std::find(heard.begin(), heard.end(), widget) == heard.end()) {
            said.push_back(toStd(accessible->text(QAccessible::Name)));
            heard.emplace_back(widget);
        }
    }
    return said;
}

} // namespace platform::testing
