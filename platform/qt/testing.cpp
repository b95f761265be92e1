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

namespace platform::layer {

using testing::CaptionExtent;
using testing::Key;
using testing::Rect;
using testing::Report;

namespace {

std::string toStd(const QString& text) {
    return text.toStdString();
}

} // namespace

struct Session {
    Session(int& argc, char** argv)
        : application(argc, argv) {}
    QApplication application;
};

struct Driving {
    explicit Driving(Window& driven)
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

    [[nodiscard]] qreal ratio() const { return window.devicePixelRatioF(); }
    [[nodiscard]] int scaled(int pixels) const { return qRound(pixels * ratio()); }
    [[nodiscard]] Rect inPixels(const QRect& rect) const {
        return {scaled(rect.left()), scaled(rect.top()), scaled(rect.width()),
                scaled(rect.height())};
    }

    Window& window;
    QTimer closer;
    std::vector<Report> reports;
    // The notifications read already, which TakeAnnouncements leaves out.
    std::vector<QPointer<QObject>> heard;
};

void Ender::operator()(Session* session) const noexcept {
    delete session;
}

void Ender::operator()(Driving* driving) const noexcept {
    delete driving;
}

Owned<Session> OpenSession(int& argc, char** argv) {
    return Owned<Session>(new Session(argc, argv));
}

std::size_t ToolkitObjects() {
    return static_cast<std::size_t>(QApplication::allWidgets().size());
}

Owned<Driving> StartDriving(Window& window) {
    return Owned<Driving>(new Driving(window));
}

void WaitUntilShown(Driving& driving) {
    if (!QTest::qWaitForWindowActive(&driving.window)) {
        throw std::runtime_error("the window did not become active");
    }
}

void Click(Driving& /*driving*/, const ControlRecord& button) {
    QTest::mouseClick(widgetOf(button), Qt::LeftButton);
}

void Press(Driving& /*driving*/, Key key) {
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

void PutText(Driving& /*driving*/, const ControlRecord& field, std::string_view text) {
    widgetOf<QLineEdit>(field)->setText(toQString(text));
}

std::string ShownText(Driving& /*driving*/, const ControlRecord& control) {
    QWidget* widget = widgetOf(control);
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return toStd(edit->text());
    }
    if (const auto* area = qobject_cast<const OutputArea*>(widget)) {
        return toStd(area->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return toStd(button->text());
    }
    return toStd(qobject_cast<const QLabel*>(widget)->text());
}

std::string ShownCaption(Driving& driving) {
    return toStd(driving.window.windowTitle());
}

bool IsShown(Driving& driving) {
    return driving.window.isVisible();
}

// The layer places controls in device-independent pixels of 1/96 inch,
// which the toolkit scales by the device pixel ratio.
int Dpi(Driving& driving) {
    return driving.scaled(96);
}

Rect ClientArea(Driving& driving) {
    return driving.inPixels(driving.window.rect());
}

Rect Geometry(Driving& driving, const ControlRecord& control) {
    return driving.inPixels(widgetOf(control)->geometry());
}

CaptionExtent MeasureCaption(Driving& driving, const ControlRecord& control) {
    const QWidget& widget = *widgetOf(control);
    const TextMetrics metrics(driving.window, widget.font().pixelSize());
    const QRect box = widget.contentsRect();
    const detail::CaptionSize size =
        detail::MeasureCaption(ShownText(driving, control), box.width(), metrics);
    return {{driving.scaled(size.lineWidth), driving.scaled(size.lineHeight),
             driving.scaled(size.widestWord), driving.scaled(size.wrappedHeight)},
            driving.inPixels(box)};
}

const ControlRecord* FocusedControl(Driving& driving) {
    const QWidget* focus = QApplication::focusWidget();
    const auto& controls = driving.window.form.controls();
    const auto found = std::find_if(controls.begin(), controls.end(), [focus](const auto& control) {
        return focus != nullptr && widgetOf(*control) == focus;
    });
    return found == controls.end() ? nullptr : found->get();
}

bool TakesFocus(Driving& /*driving*/, const ControlRecord& control) {
    return widgetOf(control)->focusPolicy() != Qt::NoFocus;
}

std::vector<int> IconSizes(Driving& driving) {
    std::vector<int> sizes;
    for (const QSize& size : driving.window.windowIcon().availableSizes()) {
        sizes.push_back(size.width());
    }
    return sizes;
}

std::string ClipboardText(Driving& /*driving*/) {
    return toStd(QApplication::clipboard()->text());
}

std::string AccessibleName(Driving& /*driving*/, const ControlRecord& control) {
    const QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(widgetOf(control));
    return accessible != nullptr ? toStd(accessible->text(QAccessible::Name)) : std::string();
}

std::string AccessibleText(Driving& /*driving*/, const ControlRecord& control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widgetOf(control));
    if (accessible == nullptr) {
        return {};
    }
    if (QAccessibleTextInterface* text = accessible->textInterface()) {
        return toStd(text->text(0, text->characterCount()));
    }
    return toStd(accessible->text(QAccessible::Value));
}

void Repaint(Driving& driving) {
    driving.window.hide();
    driving.window.show();
    WaitUntilShown(driving);
    driving.window.repaint();
}

void Destroy(Driving& /*driving*/, const ControlRecord& control) {
    delete widgetOf(control);
}

std::vector<Report> TakeReports(Driving& driving) {
    return std::exchange(driving.reports, {});
}

std::vector<std::string> TakeAnnouncements(Driving& driving) {
    std::vector<std::string> said;
    for (QWidget* widget : driving.window.findChildren<QWidget*>()) {
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        auto& heard = driving.heard;
        if (accessible != nullptr && accessible->role() == QAccessible::Notification &&
            std::find(heard.begin(), heard.end(), widget) == heard.end()) {
            said.push_back(toStd(accessible->text(QAccessible::Name)));
            heard.emplace_back(widget);
        }
    }
    return said;
}

} // namespace platform::layer
