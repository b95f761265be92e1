#pragma once

#include "game/form1.h"
#include "game/version.h"
#include "platform/forms.h"

namespace game {

inline constexpr platform::Project Project{
    .name = "Rolling a zemb",
    .program = "rolling-zemb",
    .id = "net.rollingzemb.RollingZemb",
    .version = VersionShown,
    .createStartupForm = &platform::Create<Form1>,
};

} // namespace game
