#pragma once

// Closes every error report as soon as it comes up, as a player would, and
// keeps what it said: the window's message box runs its own event loop, so a
// timer of that loop finds it.

#include <utility>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

class ReportCloser {
public:
    ReportCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                last_ = box->text();
                ++count_;
                box->accept();
            }
        });
        timer_.start(0);
    }

    // The text of the last report closed, and forgets it.
    QString take() { return std::exchange(last_, QString()); }
    [[nodiscard]] int count() const { return count_; }

private:
    QTimer timer_;
    QString last_;
    int count_ = 0;
};
