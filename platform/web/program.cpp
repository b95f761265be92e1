#include "platform/forms.h"
#include "platform/web/js.h"

#include <exception>
#include <memory>

namespace platform {

int Start(const Project& project) {
    // The page keeps the window for as long as it is open: the browser's own
    // event loop runs the game after the program's entry point returns.
    static std::unique_ptr<Form> startupForm;
    try {
        startupForm = project.createStartupForm();
        startupForm->Show();
        return 0;
    } catch (const std::exception& error) {
        // The window could not be made: the page says so in its place.
        detail::Js::global("document")["body"].set(
            "textContent", std::string(project.name) + " could not start: " + error.what());
        return 1;
    }
}

} // namespace platform
