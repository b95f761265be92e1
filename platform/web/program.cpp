#include "platform/forms.h"
#include "platform/web/page.h"

#include <exception>
#include <memory>

namespace platform {

// The page keeps the window for as long as it is open: the browser's own
// event loop runs the game after the program's entry point returns.
int Start(const Project& project) {
    static std::unique_ptr<Form> startupForm;
    try {
        startupForm = project.createStartupForm();
        startupForm->Show();
        rz_keep_page();
        return 0;
    } catch (const std::exception& error) {
        // The window could not be made: the page says so in its place.
        rz_say((std::string(project.name) + " could not start: " + error.what()).c_str());
        return 1;
    }
}

} // namespace platform
