#pragma once

// A shown game window with the means to drive it as a player does: clicks on
// its buttons, text typed into its field, and what its output area shows.

#include "game/form1.h"
#include "platform/testing.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class GameWindow {
public:
    GameWindow() {
        form_.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&form_.window()));
    }

    QWidget& window() { return form_.window(); }
    QWidget* control(std::string_view name) { return platform::testing::control(form_, name); }
    QLineEdit& field() { return *qobject_cast<QLineEdit*>(control("Text1")); }
    QString output() {
        return qobject_cast<platform::detail::OutputArea*>(control("Picture1"))->text();
    }

    void click(std::string_view button) {
        QTest::mouseClick(qobject_cast<QPushButton*>(control(button)), Qt::LeftButton);
    }
    void bet(std::string_view button, int roll) {
        clock_.setForRoll(roll);
        click(button);
    }
    void setBalance(const QString& text) { field().setText(text); }

    platform::testing::FakeClock& clock() { return clock_; }

private:
    platform::testing::FakeClock clock_;
    game::Form1 form_;
};
