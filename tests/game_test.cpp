#include "game_window.h"

#include <gtest/gtest.h>

namespace {

std::string quitScreen(const std::string& balance) {
    return "You quit.\nThe balance of your account is " + balance + "\n";
}

// Start replaces whatever the field holds with the opening balance and
// leaves the output blank.
class Start : public testing::TestWithParam<const char*> {};

TEST_P(Start, OpensWithTen) {
    GameWindow game;
    game.setBalance(GetParam());
    game.bet("Command3", 4);
    game.click("Command2");
    EXPECT_EQ(game.field(), "10");
    EXPECT_EQ(game.output(), "");
}

INSTANTIATE_TEST_SUITE_P(Game, Start, testing::Values("", "0", "15001", "abc"));

// Quit reports the field's text exactly as it stands, then empties it; a
// second quit reports the empty field.
class Quit : public testing::TestWithParam<const char*> {};

TEST_P(Quit, ReportsTheTextAsItStands) {
    const std::string balance = GetParam();
    GameWindow game;
    game.setBalance(balance);
    game.click("Command4");
    EXPECT_EQ(game.output(), quitScreen(balance));
    EXPECT_EQ(game.field(), "");
    game.click("Command4");
    EXPECT_EQ(game.output(), quitScreen(""));
    EXPECT_EQ(game.field(), "");
}

// Text in any script, and characters beyond the Basic Multilingual Plane,
// come back unchanged.
INSTANTIATE_TEST_SUITE_P(Game, Quit,
                         testing::Values("20", "", "lots of coins", "  7 ", "0020.50",
                                         "zwanzig \xE2\x82\xAC", "\xE4\xBA\x8C\xE5\x8D\x81",
                                         "\xD7\xA2\xD7\xA9\xD7\xA8\xD7\x99\xD7\x9D",
                                         "\xF0\x9F\x8E\xB2 20"));

// Whole games from an empty window, one after the other, with the window
// open throughout.
TEST(Game, WholeSessions) {
    GameWindow game;
    for (int session = 0; session < 2; ++session) {
        game.click("Command2");
        EXPECT_EQ(game.field(), "10");
        std::string balances;
        for (int roll : {1, 6, 5, 2, 3, 4, 6, 1, 2, 3, 1, 2}) {
            game.bet(roll <= 3 ? "Command1" : "Command3", roll);
            balances += (balances.empty() ? "" : " ") + game.field();
        }
        EXPECT_EQ(balances, "20 40 80 160 320 640 1280 2560 5120 10240 20480 20480");
        EXPECT_EQ(game.output(), "The number is 2\nYou won!\nNo cash available!\n"
                                 "You have to go with $30,000.00.");
        game.bet("Command1", 4);
        EXPECT_EQ(game.field(), "0");
        game.click("Command4");
        EXPECT_EQ(game.output(), quitScreen("0"));
        game.click("Command4");
        EXPECT_EQ(game.output(), quitScreen(""));
        EXPECT_TRUE(game.driver().IsShown());
    }
    // A bet after quit works on the empty field.
    game.bet("Command3", 6);
    EXPECT_EQ(game.field(), "0");
}

} // namespace
