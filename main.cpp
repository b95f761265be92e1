#include "game/project.h"
#include "platform/forms.h"

int main() {
    return platform::Start(game::Project);
}
