#include "platform/forms.h"
#include "platform/web/window.h"

#include <cstdio>

// The program as the build runs it under node, with no page: it writes what
// the page holds of its start-up window, for make_page.py, as JSON.

namespace platform {
namespace {

std::string quoted(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
        }
        json += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return json + "\"";
}

} // namespace

int Start(const Project& project) {
    const std::unique_ptr<Form> startupForm = project.createStartupForm();
    const detail::FormWindow& form = startupForm->window();
    const layer::Markup markup = layer::MarkupOf(form.toolkit(), nullptr);
    const std::string json =
        "{\"title\": " + quoted(form.caption) + ", \"icon\": " + quoted(markup.icon) +
        ", \"iconSizes\": " + quoted(markup.iconSizes) + ", \"style\": " + quoted(markup.style) +
        ", \"window\": " + quoted(markup.html) + "}\n";
    return std::fputs(json.c_str(), stdout) >= 0 ? 0 : 1;
}

} // namespace platform
