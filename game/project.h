#pragma once

// What main() hands the runtime: the program's identity and its start-up
// form, Form1.

#include "game/form1.h"
#include "game/identity.h"
#include "platform/forms.h"

namespace game {

inline constexpr platform::Project Project{
    .name = ApplicationName,
    .program = ProgramName,
    .id = ApplicationId,
    .version = VersionShown,
    .createStartupForm = &platform::Create<Form1>,
};

} // namespace game
