#include "platform/qt/output_area.h"

#include "platform/qt/window.h"
#include "platform/toolkit.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>

namespace platform::detail {
namespace {

constexpr int textMargin = 3; // pixels between the frame and the text

} // namespace

OutputArea::OutputArea(QWidget* parent)
    : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void OutputArea::clear() {
    // Assistive technology is told what went and what came, when it listens.
    const bool told = QAccessible::isActive();
    const QString removed = told ? text() : QString();
    lines_ = QStringList{QString()};
    update();
    if (told && !removed.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, 0, removed);
        QAccessible::updateAccessibility(&event);
    }
}

void OutputArea::print(const QString& item, bool lineEnd) {
    const bool told = QAccessible::isActive();
    const auto position = told ? static_cast<int>(text().size()) : 0;
    lines_.back() += item;
    if (lineEnd) {
        lines_.append(QString());
    }
    update();
    if (told) {
        QAccessibleTextInsertEvent event(this, position, lineEnd ? item + QLatin1Char('\n') : item);
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
    for (const QString& line : lines_) {
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
        QString copied = text();
        if (copied.endsWith(QLatin1Char('\n'))) {
            copied.chop(1); // the empty line that holds the print position
        }
        QApplication::clipboard()->setText(copied);
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ClearOutput(ControlRecord& control) {
    live<OutputArea>(control, "Clear").clear();
}

void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd) {
    live<OutputArea>(control, "Print").print(toQString(item), lineEnd);
}

} // namespace platform::detail
