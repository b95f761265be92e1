#include "platform/forms.h"
#include "platform/web/window.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

namespace platform {
namespace {

// What the page holds of its start-up window, for the build that writes the
// page, a line each: its title, its icon's address and the icon's sizes, and
// the window's style and markup, which hold no line end.
void writePage(const detail::FormWindow& form) {
    const layer::Markup markup = layer::WindowMarkup(form.toolkit());
    std::string title = form.caption;
    std::replace(title.begin(), title.end(), '\n', ' ');
    for (const std::string& line : {title, layer::iconAddress(form.icon),
                                    layer::iconSizes(form.icon), markup.style, markup.html}) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
}

} // namespace

int Start(const Project& project) {
    // The page keeps the window for as long as it is open: the browser's own
    // event loop runs the game after the program's entry point returns. Run
    // with no page, at build time, the program writes what the page holds.
    static std::unique_ptr<Form> startupForm;
    try {
        startupForm = project.createStartupForm();
        if (!rz_has_page()) {
            writePage(startupForm->window());
            return 0;
        }
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
