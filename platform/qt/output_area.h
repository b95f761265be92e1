#pragma once

#include "platform/form_window.h"

#include <QFrame>

namespace platform::layer {

// The widget behind a PictureBox: it paints, from the top, what stands
// printed in the output area's record, so the text survives any repaint.
// Ctrl+C copies it, so a player can keep a result.
class OutputArea final : public QFrame {
    Q_OBJECT

public:
    OutputArea(QWidget* parent, const ControlRecord& area);

    // What stands printed, lines joined by '\n'; a print position at the
    // start of a new line shows as a trailing '\n'.
    [[nodiscard]] QString text() const;

    // Repaints, and tells assistive technology what went (before the record
    // is emptied) or what came (once it ends with `added`), when it listens.
    void showCleared();
    void showPrinted(std::string_view added);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const ControlRecord& area_;
};

} // namespace platform::layer
