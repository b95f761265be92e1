#include "platform/web/window.h"

#include <initializer_list>
#include <utility>

// A window's markup, the page's structure written once: the frame, found by
// its id, labelled by the caption in its title bar; the client area, found
// by its id, with the controls in the labelled order (Tab follows it, and so
// does a screen reader reading on), a live region that takes no room
// (role status) and the report of a run-time error (role alertdialog),
// described by its text. The style sheet takes each part by its element
// and role.

namespace platform::layer {
namespace {

// `text` as markup shows it, in an element or a quoted attribute.
std::string escaped(std::string_view text) {
    std::string markup;
    for (const char c : text) {
        const std::string_view entity = c == '&'    ? "&amp;"
                                        : c == '<'  ? "&lt;"
                                        : c == '>'  ? "&gt;"
                                        : c == '"'  ? "&quot;"
                                        : c == '\n' ? "&#10;"
                                                    : std::string_view(&c, 1);
        markup += entity;
    }
    return markup;
}

// A CSS rule giving `selector` the lengths of `named` twips, in pixels at 96
// dots per inch, as custom properties: window.css makes each so many of the
// window's pixels, which a phone's screen draws larger.
std::string placed(const std::string& selector,
                   std::initializer_list<std::pair<const char*, int>> named) {
    std::string properties;
    for (const auto& [name, twips] : named) {
        properties += std::string(properties.empty() ? "--" : ";--") + name + ":" +
                      std::to_string(detail::pixels(twips));
    }
    return selector + "{" + properties + "}";
}

// Each kind of control as an element: a field, an output area that takes
// the focus and is no live region (the window's one region says what a
// click printed), a label, and a button.
Markup controlMarkup(const Window& window, const ControlRecord& control) {
    static constexpr std::pair<const char*, const char*> kinds[] = {
        {"input", " type=text autocomplete=off spellcheck=false"},
        {"output", " tabindex=0 aria-live=off"},
        {"label", ""},
        {"button", " type=button"}};
    static_assert(std::size(kinds) ==
                  static_cast<std::size_t>(detail::ControlKind::CommandButton) + 1);
    const auto [tag, attributes] = kinds[static_cast<std::size_t>(control.kind)];
    std::string html =
        "<" + std::string(tag) + " id=\"" + escaped(control.name) + "\"" + attributes;
    if (const ControlRecord* named = window.form.namedBy(control)) {
        html += " for=\"" + escaped(named->name) + "\"";
    }
    if (&control == window.form.initialFocus()) {
        html += " autofocus"; // where the focus is when the window opens, even before the program
    }
    html += ">";
    if (control.kind != detail::ControlKind::TextBox) {
        html += escaped(control.caption) + "</" + std::string(tag) + ">";
    }
    return {
        html,
        placed(
            "#" + window.clientId + " #" + control.name,
            {{"l", control.left}, {"t", control.top}, {"w", control.width}, {"h", control.height}}),
        {},
        {}};
}

} // namespace

Markup MarkupOf(const Window& window, const ControlRecord* control) {
    if (control != nullptr) {
        return controlMarkup(window, *control);
    }
    const FormWindow& form = window.form;
    const std::string icon = iconAddress(form.icon);
    Markup markup{
        "<section id=" + window.frameId + " aria-labelledby=" + window.captionId + "><header>",
        placed("#" + window.frameId, {{"cw", form.clientWidth}, {"ch", form.clientHeight}}), icon,
        iconSizes(form.icon)};
    if (!icon.empty()) {
        markup.html += "<img alt='' src='" + icon + "'>"; // its size is the style sheet's
    }
    markup.html += "<h1 id=" + window.captionId + ">" + escaped(form.caption) +
                   "</h1></header><div id=" + window.clientId + ">";
    for (const ControlRecord* made : form.labelledOrder()) {
        const Markup part = controlMarkup(window, *made);
        markup.html += part.html;
        markup.style += part.style;
    }
    // The report, modal to the page when it opens: its title is the
    // window's caption, then an error sign and the message; OK or Escape
    // closes it, and the focus goes back where it was.
    const std::string report = window.frameId + "-report";
    markup.html += "<div role=status></div><dialog role=alertdialog aria-labelledby=" + report +
                   " aria-describedby=" + report + "-text><h1 id=" + report + ">" +
                   escaped(form.caption) +
                   "</h1><p><span role=img aria-label=Error>&#x2716;</span> <span id=" + report +
                   "-text></span></p><form method=dialog><button>OK</button></form></dialog>"
                   "</div></section>";
    return markup;
}

} // namespace platform::layer
