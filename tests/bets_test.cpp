#include "game_window.h"

#include <gtest/gtest.h>

namespace {

std::string wonScreen(int roll) {
    return "The number is " + std::to_string(roll) + "\nYou won!\n";
}
std::string refusedScreen(int roll) {
    return "The number is " + std::to_string(roll) +
           "\nYou won!\nNo cash available!\nYou have to go with $30,000.00.";
}
std::string lostScreen(int roll) {
    return "The number is " + std::to_string(roll) + "\nYou lost! (Player bankrupt)\n";
}

// Each button wins on its own half of the faces and loses on the other.
class EveryFace : public testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(EveryFace, WinsOnItsOwnHalf) {
    const auto [button, roll] = GetParam();
    const bool won = std::string_view(button) == "Command1" ? roll <= 3 : roll >= 4;
    GameWindow game;
    game.setBalance("10");
    game.bet(button, roll);
    EXPECT_EQ(game.output(), won ? wonScreen(roll) : lostScreen(roll));
    EXPECT_EQ(game.field(), won ? "20" : "0");
}

INSTANTIATE_TEST_SUITE_P(Bets, EveryFace,
                         testing::Combine(testing::Values("Command1", "Command3"),
                                          testing::Range(1, 7)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_rolls_" +
                                    std::to_string(std::get<1>(info.param));
                         });

// A won bet doubles what the field holds, read as a number, unless that
// passes the limit: then the field keeps the balance that was bet.
struct WonCase {
    const char* name;
    const char* balance;
    const char* after;
    bool refused;
};

class WonBalance : public testing::TestWithParam<WonCase> {};

TEST_P(WonBalance, DoublesWithinTheLimit) {
    const WonCase& c = GetParam();
    GameWindow game;
    game.setBalance(c.balance);
    game.bet("Command3", 5);
    EXPECT_EQ(game.field(), c.after);
    EXPECT_EQ(game.output(), c.refused ? refusedScreen(5) : wonScreen(5));
}

INSTANTIATE_TEST_SUITE_P(
    Bets, WonBalance,
    testing::Values(WonCase{"opening", "10", "20", false},
                    WonCase{"exactly_half_the_limit", "15000", "30000", false},
                    WonCase{"above_half_by_one", "15001", "15001", true},
                    WonCase{"above_half_by_a_half", "15000.5", "15000.5", true},
                    WonCase{"at_the_limit", "30000", "30000", true},
                    WonCase{"empty", "", "0", false}, WonCase{"negative", "-20", "-40", false},
                    WonCase{"not_a_number", "abc", "0", false},
                    WonCase{"number_then_text", "12abc", "24", false},
                    WonCase{"blanks_before", "  7", "14", false},
                    WonCase{"fraction", "0.1", "0.2", false},
                    WonCase{"kept_as_typed_when_refused", " 20000 coins", " 20000 coins", true},
                    WonCase{"zero_stays_zero", "0", "0", false}),
    [](const auto& info) { return std::string(info.param.name); });

class LostBalance : public testing::TestWithParam<const char*> {};

TEST_P(LostBalance, GoesToZero) {
    GameWindow game;
    game.setBalance(GetParam());
    game.bet("Command1", 6);
    EXPECT_EQ(game.field(), "0");
    EXPECT_EQ(game.output(), lostScreen(6));
}

INSTANTIATE_TEST_SUITE_P(Bets, LostBalance,
                         testing::Values("10", "", "-20", "abc", "1e308",
                                         "\xC3\xA9l\xC3\xA9phant"));

// Each bet clears the output first, so only the latest bet shows; bets
// within one hundredth roll alike and one hundredth on, the roll moves on.
TEST(Bets, OnlyTheLatestBetShows) {
    GameWindow game;
    game.setBalance("15001");
    game.bet("Command1", 1);
    EXPECT_EQ(game.output(), refusedScreen(1));
    game.clock().set(5);
    game.click("Command1");
    EXPECT_EQ(game.output(), refusedScreen(1));
    game.clock().set(10);
    game.click("Command1");
    EXPECT_EQ(game.output(), refusedScreen(2));
    game.clock().set(59);
    game.click("Command1");
    EXPECT_EQ(game.output(), lostScreen(6));
    EXPECT_EQ(game.field(), "0");
    game.clock().set(60);
    game.click("Command1");
    EXPECT_EQ(game.output(), wonScreen(1));
    EXPECT_EQ(game.field(), "0");
}

// A run of wins from the opening balance climbs to the limit and is then
// refused, keeping the balance.
TEST(Bets, WinningStreakReachesTheLimit) {
    GameWindow game;
    game.setBalance("10");
    std::string balances;
    for (int i = 0; i < 13; ++i) {
        game.bet("Command1", 2);
        balances += (i == 0 ? "" : " ") + game.field();
    }
    EXPECT_EQ(balances, "20 40 80 160 320 640 1280 2560 5120 10240 20480 20480 20480");
    EXPECT_EQ(game.output(), refusedScreen(2));
}

} // namespace
