// Form1 laid out, and its click procedures: the two bets, Start and quit.

#include "game/form1.h"

#include "game/icon.h"
#include "game/roll.h"
#include "platform/conversions.h"

namespace game {

using platform::CheckFloatingPoint;
using platform::NumberToText;
using platform::Separator;
using platform::Single;
using platform::TextToNumber;

// The window as it is laid out: positions and sizes in twips, controls in
// tab order, each label naming the control it stands by.
// clang-format off
Form1::Form1()
    : Form({.caption = "Rolling a zemb (1-6)", .clientWidth = 5100, .clientHeight = 3615,
            .icon = ApplicationIcon()})
    , Text1(*this, {.name = "Text1", .tabIndex = 0, .caption = {},
                    .left = 1800, .top = 240, .width = 1455, .height = 495, .labelFor = {}})
    , Picture1(*this, {.name = "Picture1", .tabIndex = 1, .caption = {},
                       .left = 360, .top = 2040, .width = 4335, .height = 1335, .labelFor = {}})
    , Command1(*this, {.name = "Command1", .tabIndex = 2, .caption = " (1,2,3)",
                       .left = 1440, .top = 960, .width = 975, .height = 495, .labelFor = {}},
               [this] { PlaceBet(1, 3); })
    , Label1(*this, {.name = "Label1", .tabIndex = 3, .caption = "Display",
                     .left = 2160, .top = 1680, .width = 615, .height = 375,
                     .labelFor = "Picture1"})
    , Label2(*this, {.name = "Label2", .tabIndex = 4, .caption = "initial balance",
                     .left = 360, .top = 360, .width = 1095, .height = 495,
                     .labelFor = "Text1"})
    , Command2(*this, {.name = "Command2", .tabIndex = 5, .caption = "Start",
                       .left = 240, .top = 960, .width = 975, .height = 495, .labelFor = {}},
               [this] { StartGame(); })
    , Command3(*this, {.name = "Command3", .tabIndex = 6, .caption = " (4,5,6)",
                       .left = 2640, .top = 960, .width = 975, .height = 495, .labelFor = {}},
               [this] { PlaceBet(4, 6); })
    , Command4(*this, {.name = "Command4", .tabIndex = 7, .caption = "quit",
                       .left = 3840, .top = 960, .width = 975, .height = 495, .labelFor = {}},
               [this] { QuitGame(); }) {}
// clang-format on

// Stakes the whole balance on the roll falling from `lowest` to `highest`.
void Form1::PlaceBet(Single lowest, Single highest) {
    Picture1.Clear();
    const Single roll = RollNumber(1, 6);
    Picture1.Print("The number is ", Separator::StayOnLine);
    Picture1.Print(roll, Separator::LineEnd);
    if (roll >= lowest && roll <= highest) {
        Picture1.Print("You won!", Separator::LineEnd);
        const double balance = TextToNumber(Text1.Text());
        const double doubled = CheckFloatingPoint(balance + balance);
        if (doubled <= 30000) {
            Text1.SetText(NumberToText(doubled));
        } else {
            // The win is refused: the field keeps the balance that was bet.
            Picture1.Print("No cash available!", Separator::LineEnd);
            Picture1.Print("You have to go with $30,000.00.", Separator::StayOnLine);
        }
    } else {
        // A loss does not read the balance: whatever it was, it is gone.
        Picture1.Print("You lost! (Player bankrupt)", Separator::LineEnd);
        Text1.SetText(NumberToText(0));
    }
}

// Opens a game with the opening balance, whatever the field held.
void Form1::StartGame() {
    Picture1.Clear();
    Text1.SetText(NumberToText(10));
}

// Ends the game: reports the balance exactly as the field holds it, then
// empties the field. The window stays open for the next game.
void Form1::QuitGame() {
    Picture1.Clear();
    Picture1.Print("You quit.", Separator::LineEnd);
    Picture1.Print("The balance of your account is ", Separator::StayOnLine);
    Picture1.Print(Text1.Text(), Separator::LineEnd);
    Text1.SetText("");
}

} // namespace game
