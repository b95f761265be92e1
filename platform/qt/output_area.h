#pragma once

#include <QFrame>
#include <QStringList>

namespace platform::detail {

// The widget behind a PictureBox: it keeps every line printed since the last
// clear and paints them from the top, so the text survives any repaint.
// Ctrl+C copies the text, so a player can keep a result.
class OutputArea final : public QFrame {
    Q_OBJECT

public:
    explicit OutputArea(QWidget* parent);

    void clear();
    void print(const QString& item, bool lineEnd);

    // The printed text, lines joined by '\n'; a print position at the start
    // of a new line shows as a trailing '\n'.
    [[nodiscard]] QString text() const { return lines_.join(QLatin1Char('\n')); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The last entry is the line that holds the print position.
    QStringList lines_{QString()};
};

} // namespace platform::detail
