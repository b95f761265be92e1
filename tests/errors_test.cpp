#include "game_window.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

using platform::testing::Report;

// Clicks `button` and returns the one error report it brought up, closed
// again; fails if there was not exactly one.
Report clickForReport(GameWindow& game, std::string_view button) {
    game.click(button);
    std::vector<Report> reports = game.driver().TakeReports();
    EXPECT_EQ(reports.size(), 1U) << "reports after a click on " << button;
    if (reports.empty()) {
        return {};
    }
    // The report is the game's own: an error, modal to its window.
    EXPECT_EQ(reports.front().title, "Rolling a zemb (1-6)");
    EXPECT_TRUE(reports.front().ownedByWindow);
    EXPECT_TRUE(reports.front().errorIcon);
    return reports.front();
}

// A doubled balance beyond the range of a double is an overflow: it is
// reported, the bet stops there, and the game goes on.
class Overflow : public testing::TestWithParam<const char*> {};

TEST_P(Overflow, IsReportedAndTheGameGoesOn) {
    const std::string balance = GetParam();
    GameWindow game;
    game.setBalance(balance);
    game.clock().setForRoll(2);
    EXPECT_EQ(clickForReport(game, "Command1").text, "Run-time error: overflow");
    EXPECT_EQ(game.output(), "The number is 2\nYou won!\n");
    EXPECT_EQ(game.field(), balance);
    EXPECT_TRUE(game.driver().IsShown());

    game.setBalance("10");
    game.click("Command1");
    EXPECT_TRUE(game.driver().TakeReports().empty());
    EXPECT_EQ(game.field(), "20");
}

INSTANTIATE_TEST_SUITE_P(Errors, Overflow,
                         testing::Values("1e308", "1.7976931348623157e308", "-1e999"));

// An operation on a control whose toolkit object is gone fails with a report
// that names the control and the operation; what was printed before the
// failing step stays, and the other controls keep working.
struct MissingCase {
    const char* name;
    const char* gone;
    const char* button;
    int roll;
    const char* report;
    const char* output;
};

class MissingControl : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingControl, IsReported) {
    const MissingCase& c = GetParam();
    GameWindow game;
    game.setBalance("10");
    game.driver().Destroy(c.gone);
    game.clock().setForRoll(c.roll);
    EXPECT_EQ(clickForReport(game, c.button).text, c.report);
    if (std::string_view(c.gone) != "Picture1") {
        EXPECT_EQ(game.output(), c.output);
    } else {
        EXPECT_EQ(game.field(), "10");
    }
    EXPECT_TRUE(game.driver().IsShown());
    EXPECT_EQ(clickForReport(game, c.button).text, c.report);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MissingControl,
    testing::Values(
        MissingCase{"field_read_on_a_win", "Text1", "Command1", 1,
                    "Run-time error: Text1.Text failed: the control no longer exists",
                    "The number is 1\nYou won!\n"},
        MissingCase{"field_written_on_a_loss", "Text1", "Command3", 1,
                    "Run-time error: Text1.SetText failed: the control no longer exists",
                    "The number is 1\nYou lost! (Player bankrupt)\n"},
        MissingCase{"output_cleared", "Picture1", "Command3", 4,
                    "Run-time error: Picture1.Clear failed: the control no longer exists", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever a click procedure throws, a run-time error or not, is reported,
// and the window goes on taking clicks.
struct ThrownCase {
    const char* name;
    void (*raise)();
    const char* report;
};

class Thrown : public testing::TestWithParam<ThrownCase> {};

TEST_P(Thrown, IsReportedAndTheWindowGoesOn) {
    platform::Form form(
        {.caption = "Thrown", .clientWidth = 1500, .clientHeight = 1000, .icon = {}});
    int clicks = 0;
    const platform::CommandButton button(
        form, {.name = "Command1", .caption = "Throw", .width = 975, .height = 495, .labelFor = {}},
        [&clicks] {
            ++clicks;
            GetParam().raise();
        });
    platform::testing::Driver driver(form);
    for (int click = 1; click <= 2; ++click) {
        driver.Click("Command1");
        const std::vector<Report> reports = driver.TakeReports();
        ASSERT_EQ(reports.size(), 1U);
        EXPECT_EQ(reports.front().text, GetParam().report);
        EXPECT_EQ(reports.front().title, "Thrown");
        EXPECT_TRUE(reports.front().ownedByWindow);
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(driver.IsShown());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Thrown,
    testing::Values(
        ThrownCase{"runtime_error", [] { throw platform::RuntimeError("Run-time error: x"); },
                   "Run-time error: x"},
        ThrownCase{"standard", [] { throw std::logic_error("no such step"); },
                   "Run-time error: no such step"},
        ThrownCase{"out_of_memory", [] { throw std::bad_alloc(); },
                   "Run-time error: out of memory"},
        ThrownCase{"not_standard", [] { throw 42; }, "Run-time error: the operation failed"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
