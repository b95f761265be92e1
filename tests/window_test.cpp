// The window as the player finds it. Every case holds at any scale: the
// suite also runs with the window at twice the size, where each pixel below
// becomes two.

#include "game_window.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using platform::testing::Key;
using platform::testing::Rect;

// Pixels at 96 dots per inch, scaled to the window's DPI.
int scaled(const GameWindow& game, int pixels) {
    return (pixels * game.driver().Dpi() + 48) / 96;
}
Rect scaled(const GameWindow& game, Rect rect) {
    return {scaled(game, rect.left), scaled(game, rect.top), scaled(game, rect.width),
            scaled(game, rect.height)};
}

TEST(Window, CaptionAndClientArea) {
    GameWindow game;
    EXPECT_EQ(game.driver().WindowCaption(), "Rolling a zemb (1-6)");
    const Rect client = game.driver().ClientArea();
    EXPECT_EQ(client.width, scaled(game, 340));
    EXPECT_EQ(client.height, scaled(game, 241));
}

// The window shows the die in both sizes, for its title and for the task
// switcher. (At other scales the system may scale the images.)
TEST(Icon, ShowsBothSizes) {
    GameWindow game;
    const std::vector<int> icons = game.driver().IconSizes();
    EXPECT_NE(std::find(icons.begin(), icons.end(), 16), icons.end());
    EXPECT_NE(std::find(icons.begin(), icons.end(), 32), icons.end());
}

struct ControlCase {
    const char* name;
    const char* caption;
    Rect geometry; // at 96 dots per inch
    bool takesFocus;
};

class Controls : public testing::TestWithParam<ControlCase> {};

TEST_P(Controls, StandWhereTheyBelong) {
    const ControlCase& c = GetParam();
    GameWindow game;
    EXPECT_EQ(game.driver().Geometry(c.name), scaled(game, c.geometry));
    EXPECT_EQ(game.driver().Text(c.name), c.caption);
    EXPECT_EQ(game.driver().TakesFocus(c.name), c.takesFocus);
}

INSTANTIATE_TEST_SUITE_P(
    Window, Controls,
    testing::Values(ControlCase{"Text1", "", {120, 16, 97, 33}, true},
                    ControlCase{"Picture1", "", {24, 136, 289, 89}, true},
                    ControlCase{"Command1", " (1,2,3)", {96, 64, 65, 33}, true},
                    ControlCase{"Label1", "Display", {144, 112, 41, 25}, false},
                    ControlCase{"Label2", "initial balance", {24, 24, 73, 33}, false},
                    ControlCase{"Command2", "Start", {16, 64, 65, 33}, true},
                    ControlCase{"Command3", " (4,5,6)", {176, 64, 65, 33}, true},
                    ControlCase{"Command4", "quit", {256, 64, 65, 33}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Each caption shows whole inside its control, in the control's own font: a
// button's on one line within its frame, a label's wrapped at blanks with no
// word cut.
TEST(Window, CaptionsFit) {
    GameWindow game;
    for (const char* button : {"Command1", "Command2", "Command3", "Command4"}) {
        const platform::testing::CaptionExtent extent = game.driver().MeasureCaption(button);
        EXPECT_LE(extent.lineWidth + scaled(game, 8), extent.box.width) << button;
        EXPECT_LE(extent.lineHeight + scaled(game, 6), extent.box.height) << button;
    }
    for (const char* label : {"Label1", "Label2"}) {
        const platform::testing::CaptionExtent extent = game.driver().MeasureCaption(label);
        EXPECT_LE(extent.widestWord, extent.box.width) << label;
        EXPECT_LE(extent.wrappedHeight, extent.box.height) << label;
    }
}

// The field has the focus when the window opens. Tab runs from it to the
// output area, then through the buttons in tab order and round again, and
// Shift+Tab goes back; on a button, the arrow keys go back and on too, one
// control at a time.
TEST(Window, TabChain) {
#ifdef __EMSCRIPTEN__
    // In a browser, Tab goes on from the page's last control to the browser
    // itself, as every page must let it: the chain does not come round.
    constexpr const char* afterLast = "";
#else
    constexpr const char* afterLast = "Text1";
#endif
    GameWindow game;
    EXPECT_EQ(game.field(), "");
    EXPECT_EQ(game.output(), "");
    ASSERT_EQ(game.driver().FocusedControl(), "Text1");
    for (const char* name :
         {"Picture1", "Command1", "Command2", "Command3", "Command4", afterLast}) {
        game.driver().Press(Key::Tab);
        EXPECT_EQ(game.driver().FocusedControl(), name);
    }
    game.driver().Press(Key::Backtab);
    EXPECT_EQ(game.driver().FocusedControl(), "Command4");
    for (const char* name : {"Command3", "Command2", "Command1"}) {
        game.driver().Press(Key::Left);
        EXPECT_EQ(game.driver().FocusedControl(), name);
    }
    for (const char* name : {"Command2", "Command3", "Command4"}) {
        game.driver().Press(Key::Right);
        EXPECT_EQ(game.driver().FocusedControl(), name);
    }
}

// Space, Return and Enter each click the focused button, as a mouse click
// does.
class KeyboardClick : public testing::TestWithParam<Key> {};

TEST_P(KeyboardClick, ClicksTheFocusedButton) {
    GameWindow game;
    game.setBalance("10");
    game.clock().setForRoll(2);
    for (int i = 0; i < 2; ++i) {
        game.driver().Press(Key::Tab); // to the output area, then to " (1,2,3)"
    }
    ASSERT_EQ(game.driver().FocusedControl(), "Command1");
    game.driver().Press(GetParam());
    EXPECT_EQ(game.field(), "20");
    EXPECT_EQ(game.output(), "The number is 2\nYou won!\n");
}

INSTANTIATE_TEST_SUITE_P(Window, KeyboardClick,
                         testing::Values(Key::Space, Key::Return, Key::Enter));

// Ctrl+C on the output area copies what stands printed, and a repaint of
// the window keeps it.
TEST(Window, OutputCopiesAndSurvivesRepaint) {
    GameWindow game;
    game.setBalance("10");
    game.bet("Command1", 3);
    // The click left the focus on the button; Tab on round to the output area.
    for (int i = 0; i < 8 && game.driver().FocusedControl() != "Picture1"; ++i) {
        game.driver().Press(Key::Tab);
    }
    ASSERT_EQ(game.driver().FocusedControl(), "Picture1");
    game.driver().Press(Key::Copy);
    EXPECT_EQ(game.driver().ClipboardText(), "The number is 3\nYou won!");
    const std::string shown = game.output();
    game.driver().Repaint();
    EXPECT_EQ(game.output(), shown);
}

// A window played and destroyed leaves nothing of itself alive in the
// toolkit: no window or widget, and in a page no element or listener (the
// browser's debugger counts the document's), whatever it did while it lived.
TEST(Window, LeavesNothingBehind) {
    {
        const GameWindow first; // what every window shares is made once, here
    }
    const std::size_t before = platform::testing::ToolkitObjects();
    for (int round = 0; round < 3; ++round) {
        GameWindow game;
        game.setBalance("1e308");
        game.bet("Command1", 1); // reported: an overflow
        game.bet("Command3", 1);
        EXPECT_EQ(game.driver().TakeReports().size(), 1U);
    }
    EXPECT_EQ(platform::testing::ToolkitObjects(), before);
}

// A player with a screen reader finds each control by a name that says what
// it is, the field and the output area by their labels, and reads back what
// they show.
TEST(Accessibility, NamesAndText) {
    GameWindow game;
    for (const auto& [control, name] : {std::pair{"Text1", "initial balance"},
                                        {"Picture1", "Display"},
                                        {"Command1", " (1,2,3)"},
                                        {"Command2", "Start"},
                                        {"Command3", " (4,5,6)"},
                                        {"Command4", "quit"}}) {
        EXPECT_EQ(game.driver().AccessibleName(control), name) << control;
    }
    game.setBalance("10");
    game.bet("Command1", 2);
    EXPECT_EQ(game.driver().AccessibleText("Picture1"), "The number is 2\nYou won!\n");
    EXPECT_EQ(game.driver().AccessibleText("Text1"), "20");
}

// A player whose focus stays on the button pressed hears what it did: the
// lines printed and the balance, named by its label, as each came; also
// when it says what the click before said.
TEST(Accessibility, AnnouncesWhatEachClickDid) {
    GameWindow game;
    game.click("Command2");
    game.click("Command2");
    game.bet("Command1", 1);
    game.setBalance("15001");
    game.bet("Command3", 4);
    game.click("Command4");
    EXPECT_EQ(game.driver().TakeAnnouncements(),
              (std::vector<std::string>{
                  "initial balance 10", "initial balance 10",
                  "The number is 1\nYou won!\ninitial balance 20",
                  "The number is 4\nYou won!\nNo cash available!\nYou have to go with $30,000.00.",
                  "You quit.\nThe balance of your account is 15001"}));
}

} // namespace
