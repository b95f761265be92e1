#pragma once

#include "platform/forms.h"

namespace game {

// The game's one window: the balance field, the output area, two labels and
// four buttons, each button's click bound to its procedure. The balance lives
// only as the text of Text1; the window keeps no game state of its own.
class Form1 final : public platform::Form {
public:
    Form1();

    // In tab order.
    platform::TextBox Text1;
    platform::PictureBox Picture1;
    platform::CommandButton Command1;
    platform::Label Label1;
    platform::Label Label2;
    platform::CommandButton Command2;
    platform::CommandButton Command3;
    platform::CommandButton Command4;

private:
    void PlaceBet(platform::Single lowest, platform::Single highest);
    void StartGame();
    void QuitGame();
};

} // namespace game
