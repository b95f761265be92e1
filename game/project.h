#pragma once

#include "game/form1.h"
#include "platform/forms.h"

namespace game {

inline constexpr platform::Project Project{
    .name = "Rolling a zemb",
    .version = "1.00",
    .createStartupForm = &platform::Create<Form1>,
};

} // namespace game
