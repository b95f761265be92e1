#include "platform/forms.h"
#include "platform/web/window.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace platform {
namespace {

// `text` as a JSON string.
std::string json(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            quoted += "\\u00";
            quoted += "0123456789abcdef"[c >> 4];
            quoted += "0123456789abcdef"[c & 15];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

// What the page holds of its start-up window, for the build that writes the
// page: its title and icon, and the window's markup with its style.
void writePage(const detail::FormWindow& form) {
    const layer::Markup markup = layer::WindowMarkup(form.toolkit());
    const std::string page =
        "{\"title\": " + json(form.caption) + ", \"icon\": " + json(layer::iconAddress(form.icon)) +
        ", \"iconSizes\": " + json(layer::iconSizes(form.icon)) +
        ", \"style\": " + json(markup.style) + ", \"window\": " + json(markup.html) + "}\n";
    std::fwrite(page.data(), 1, page.size(), stdout);
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
