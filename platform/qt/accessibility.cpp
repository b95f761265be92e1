#include "platform/qt/output_area.h"
#include "platform/qt/window.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace platform::layer {
namespace {

// What assistive technology finds of the output area: read-only text of
// several lines, named by its label, which a screen reader reads through the
// text interface and follows through the text-changed events that printing
// and clearing raise. There is no caret and no selection.
class OutputAreaAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit OutputAreaAccessible(OutputArea* area)
        : QAccessibleWidget(area, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? printed() : QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QString text(int start, int end) const override {
        return printed().mid(start, end - start);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(printed().size()); }
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    [[nodiscard]] QRect characterRect(int /*offset*/) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    [[nodiscard]] QString printed() const { return static_cast<OutputArea*>(widget())->text(); }
};

// What announces to assistive technology: a notification in a status bar,
// neither of which a player sees. A screen reader speaks a notification
// when it is shown, wherever the focus is, and one in a status bar without
// naming its role; what it says is the notification's name.
class AnnouncementBar final : public QWidget {
public:
    using QWidget::QWidget;
};
class Notice final : public QWidget {
public:
    using QWidget::QWidget;
};

// The interfaces of the layer's own widgets; the toolkit makes those of its
// standard ones.
QAccessibleInterface* accessibleInterface(const QString& /*className*/, QObject* object) {
    if (auto* area = qobject_cast<OutputArea*>(object)) {
        return new OutputAreaAccessible(area);
    }
    // A form is a window of the desktop, which a screen reader announces by
    // its caption when it comes up.
    if (auto* window = qobject_cast<Window*>(object)) {
        return new QAccessibleWidget(window, QAccessible::Window);
    }
    if (auto* bar = dynamic_cast<AnnouncementBar*>(object)) {
        return new QAccessibleWidget(bar, QAccessible::StatusBar);
    }
    if (auto* announcement = dynamic_cast<Notice*>(object)) {
        return new QAccessibleWidget(announcement, QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

void installAccessibleInterfaces() {
    [[maybe_unused]] static const bool installed =
        (QAccessible::installFactory(accessibleInterface), true);
}

void Announce(Window& window, const detail::Announcement& said) {
    if (window.announcementBar == nullptr) {
        window.announcementBar = new AnnouncementBar(&window);
        window.announcementBar->hide();
    }
    // Each announcement is a notification of its own, whose name never
    // changes: a screen reader that reads it late still reads what it said.
    auto* announcement = new Notice(window.announcementBar);
    announcement->setAccessibleName(toQString(said.text));
    QAccessibleEvent shown(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    const auto announcements =
        window.announcementBar->findChildren<Notice*>(Qt::FindDirectChildrenOnly);
    constexpr auto kept = static_cast<qsizetype>(detail::Announcement::kept);
    for (qsizetype i = 0; i + kept < announcements.size(); ++i) {
        delete announcements[i];
    }
}

} // namespace platform::layer
