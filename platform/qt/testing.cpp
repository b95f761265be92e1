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
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace platform::testing {
namespace {

std::string toStd(const QString& text) {
    return text.toStdString();
}

int scaled(int pixels, qreal ratio) {
    return qRound(pixels * ratio);
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

struct Driver::State {
    explicit State(detail::Window& shown)
        : window(shown) {}

    [[nodiscard]] QWidget& control(std::string_view name) const {
        QWidget* widget = window.control(name);
        if (widget == nullptr) {
            throw std::invalid_argument("the form has no control named " + std::string(name));
        }
        return *widget;
    }
    [[nodiscard]] qreal ratio() const { return window.devicePixelRatioF(); }
    [[nodiscard]] Rect inPixels(const QRect& rect) const {
        return {scaled(rect.left(), ratio()), scaled(rect.top(), ratio()),
                scaled(rect.width(), ratio()), scaled(rect.height(), ratio())};
    }

    detail::Window& window;
    // Closes each error report as soon as it comes up: a message box runs
    // its own event loop, so a timer of that loop finds it.
    QTimer closer;
    std::vector<Report> reports;
    // The notifications read already, which TakeAnnouncements leaves out.
    std::vector<QPointer<QObject>> heard;
};

Driver::Driver(Form& form)
    : state_(std::make_unique<State>(detail::windowOf(form))) {
    QObject::connect(&state_->closer, &QTimer::timeout, [state = state_.get()] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            state->reports.push_back({toStd(box->windowTitle()), toStd(box->text()),
                                      box->parentWidget() == &state->window,
                                      box->icon() == QMessageBox::Critical});
            box->accept();
        }
    });
    state_->closer.start(0);
    form.Show();
    if (!QTest::qWaitForWindowActive(&state_->window)) {
        throw std::runtime_error("the window did not become active");
    }
}

Driver::~Driver() = default;

void Driver::Click(std::string_view button) {
    auto* target = qobject_cast<QAbstractButton*>(&state_->control(button));
    if (target == nullptr) {
        throw std::invalid_argument(std::string(button) + " is not a button");
    }
    QTest::mouseClick(target, Qt::LeftButton);
}

void Driver::Press(Key key) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        throw std::runtime_error("no control has the focus");
    }
    switch (key) {
    case Key::Tab:
        QTest::keyClick(target, Qt::Key_Tab);
        break;
    case Key::Backtab:
        QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
        break;
    case Key::Left:
        QTest::keyClick(target, Qt::Key_Left);
        break;
    case Key::Right:
        QTest::keyClick(target, Qt::Key_Right);
        break;
    case Key::Space:
        QTest::keyClick(target, Qt::Key_Space);
        break;
    case Key::Return:
        QTest::keyClick(target, Qt::Key_Return);
        break;
    case Key::Enter:
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Key::Copy:
        QTest::keySequence(target, QKeySequence::Copy);
        break;
    }
}

void Driver::SetText(std::string_view field, std::string_view text) {
    auto* edit = qobject_cast<QLineEdit*>(&state_->control(field));
    if (edit == nullptr) {
        throw std::invalid_argument(std::string(field) + " is not a field");
    }
    edit->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string Driver::Text(std::string_view control) const {
    QWidget& widget = state_->control(control);
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        return toStd(edit->text());
    }
    if (const auto* area = qobject_cast<const detail::OutputArea*>(&widget)) {
        return toStd(area->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return toStd(button->text());
    }
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return toStd(label->text());
    }
    throw std::invalid_argument(std::string(control) + " shows no text");
}

std::string Driver::WindowCaption() const {
    return toStd(state_->window.windowTitle());
}

bool Driver::IsShown() const {
    return state_->window.isVisible();
}

int Driver::Dpi() const {
    // The layer places controls in device-independent pixels of 1/96 inch,
    // which the toolkit scales by the device pixel ratio.
    return scaled(96, state_->ratio());
}

Rect Driver::ClientArea() const {
    return state_->inPixels(state_->window.rect());
}

Rect Driver::Geometry(std::string_view control) const {
    return state_->inPixels(state_->control(control).geometry());
}

CaptionExtent Driver::MeasureCaption(std::string_view control) const {
    const QWidget& widget = state_->control(control);
    const detail::CaptionSize size = detail::measureCaption(widget, widget.font());
    const qreal ratio = state_->ratio();
    return {{scaled(size.lineWidth, ratio), scaled(size.lineHeight, ratio),
             scaled(size.widestWord, ratio), scaled(size.wrappedHeight, ratio)},
            state_->inPixels(widget.contentsRect())};
}

std::string Driver::FocusedControl() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->parentWidget() != &state_->window) {
        return {};
    }
    return toStd(focus->objectName());
}

bool Driver::TakesFocus(std::string_view control) const {
    return state_->control(control).focusPolicy() != Qt::NoFocus;
}

std::vector<int> Driver::IconSizes() const {
    std::vector<int> sizes;
    for (const QSize& size : state_->window.windowIcon().availableSizes()) {
        sizes.push_back(size.width());
    }
    return sizes;
}

std::string Driver::ClipboardText() const {
    return toStd(QApplication::clipboard()->text());
}

std::string Driver::AccessibleName(std::string_view control) const {
    const QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(&state_->control(control));
    return accessible != nullptr ? toStd(accessible->text(QAccessible::Name)) : std::string();
}

std::string Driver::AccessibleText(std::string_view control) const {
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(&state_->control(control));
    if (accessible == nullptr) {
        return {};
    }
    if (QAccessibleTextInterface* text = accessible->textInterface()) {
        return toStd(text->text(0, text->characterCount()));
    }
    return toStd(accessible->text(QAccessible::Value));
}

void Driver::Repaint() {
    state_->window.hide();
    state_->window.show();
    if (!QTest::qWaitForWindowActive(&state_->window)) {
        throw std::runtime_error("the window was not shown again");
    }
    state_->window.repaint();
}

void Driver::Destroy(std::string_view control) {
    delete &state_->control(control);
}

std::vector<Report> Driver::TakeReports() {
    return std::exchange(state_->reports, {});
}

std::vector<std::string> Driver::TakeAnnouncements() {
    std::vector<std::string> said;
    for (QWidget* widget : state_->window.findChildren<QWidget*>()) {
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        auto& heard = state_->heard;
        if (accessible != nullptr && accessible->role() == QAccessible::Notification &&
            std::find(heard.begin(), heard.end(), widget) == heard.end()) {
            said.push_back(toStd(accessible->text(QAccessible::Name)));
            heard.emplace_back(widget);
        }
    }
    return said;
}

} // namespace platform::testing
