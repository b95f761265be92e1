#pragma once

// A shown game window with a fake clock and the means to play it as a player
// does: clicks on its buttons, text put into its field, and what its field
// and output area show.

#include "game/form1.h"
#include "platform/testing.h"

#include <string>
#include <string_view>

class GameWindow {
public:
    GameWindow()
        : driver_(form_) {}

    platform::testing::Driver& driver() { return driver_; }
    const platform::testing::Driver& driver() const { return driver_; }
    platform::testing::FakeClock& clock() { return clock_; }

    std::string field() const { return driver_.Text("Text1"); }
    std::string output() const { return driver_.Text("Picture1"); }
    void setBalance(std::string_view text) { driver_.SetText("Text1", text); }
    void click(std::string_view button) { driver_.Click(button); }
    // Sets the clock so that the next roll is `roll`, and clicks `button`.
    void bet(std::string_view button, int roll) {
        clock_.setForRoll(roll);
        click(button);
    }

private:
    platform::testing::FakeClock clock_;
    game::Form1 form_;
    platform::testing::Driver driver_;
};
