#include "platform/qt/output_area.h"

#include "platform/qt/window.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>

namespace platform::layer {
namespace {

constexpr int textMargin = 3; // pixels between the frame and the text

} // namespace

OutputArea::OutputArea(QWidget* parent, const ControlRecord& area)
    : QFrame(parent)
    , area_(area) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

QString OutputArea::text() const {
    return toQString(area_.printed);
}

void OutputArea::showCleared() {
    update();
    if (QAccessible::isActive() && !area_.printed.empty()) {
        QAccessibleTextRemoveEvent event(this, 0, text());
        QAccessible::updateAccessibility(&event);
    }
}

void OutputArea::showPrinted(std::string_view added) {
    update();
    if (QAccessible::isActive()) {
        const std::string_view printed = area_.printed;
        const auto position =
            static_cast<int>(toQString(printed.substr(0, printed.size() - added.size())).size());
        QAccessibleTextInsertEvent event(this, position, toQString(added));
        QAccessible::updateAccessibility(&event);
    }
}

void OutputArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(textMargin, textMargin - 1, -textMargin, 0);
    painter.setClipRect(contentsRect());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    int baseline = area.top() + metrics.ascent();
    for (const QString& line : text().split(QLatin1Char('\n'))) {
        painter.drawText(area.left(), baseline, line);
        baseline += metrics.lineSpacing();
    }
    if (hasFocus()) {
        // A plain frame in the highlight colour: the style's focus rectangle
        // is too faint on a text area for a keyboard player to find.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(contentsRect().adjusted(0, 0, -1, -1));
    }
}

void OutputArea::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(toQString(FormWindow::copiedText(area_)));
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

QWidget* makeOutputArea(Window& window, const ControlRecord& area) {
    return new OutputArea(&window, area);
}

void ShowCleared(const ControlRecord& area, std::string_view /*operation*/) {
    widgetOf<OutputArea>(area)->showCleared();
}

void ShowPrinted(const ControlRecord& area, std::string_view added) {
    widgetOf<OutputArea>(area)->showPrinted(added);
}

} // namespace platform::layer
