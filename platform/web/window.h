#pragma once

// The browser side of a form: the element that is the window and the layer's
// record of each control on it, and what the layer's files share. Only the
// platform layer and tests include this.

#include "platform/caption_fit.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/toolkit.h"
#include "platform/web/js.h"

#include <span>
#include <string>
#include <string_view>

namespace platform::detail {

class Window;

struct ControlSlot : ControlRecord {
    explicit ControlSlot(ControlRecord record)
        : ControlRecord(std::move(record)) {}
    // The control's element; an operation on it fails once it has left the
    // page.
    Js element;
    Window* window = nullptr; // the window it stands on
};

class Window final : public FormWindow {
public:
    explicit Window(const FormDescription& description);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    Window(Window&&) = delete;
    Window& operator=(Window&&) = delete;

    // Makes the element of `record` at its twips rectangle, in CSS pixels.
    ControlSlot& makeControl(ControlRecord record) override;
    void showWithInitialFocus() override;
    void showReport(const std::string& report) override;
    void announce(const Announcement& said) override;

    [[nodiscard]] const Js& element() const { return element_; }
    // The record of the control named `name`; null if there is none.
    [[nodiscard]] const ControlSlot* find(std::string_view name) const {
        return controls_.find(name);
    }
    // The element of the control that takes the focus after `from` in the
    // tab order, or before it when `back`, round at either end.
    [[nodiscard]] Js nextInTabOrder(const ControlSlot& from, bool back) const;

private:
    std::string caption_;
    Js frame_;     // the window's frame: its title bar, then the client area
    Js element_;   // the client area, which holds the controls
    Js announcer_; // a live region that takes no room
    ControlList<ControlSlot> controls_;
};

// Converts twips to CSS pixels, rounding to the nearest pixel.
constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// Makes the element for a control (controls.cpp; the output area's in
// output_area.cpp), and once it is on the page, has it answer the player.
Js makeControlElement(const ControlSlot& slot);
void connectControl(ControlSlot& slot);
void disconnectControl(const ControlSlot& slot);
Js makeOutputArea(const ControlSlot& slot);

// The element of a control that is still on the page, checked as every
// control operation is: one that is gone fails the operation with a
// RuntimeError.
Js liveElement(const ControlRecord& control, std::string_view operation);

// Makes each label name the control it names (accessibility.cpp).
void bindLabels(const ControlList<ControlSlot>& controls);

// Makes the live region that speaks what the output area does not show.
Js makeAnnouncer(const Js& form);

// Sets on `form` the largest font, no larger than the page's, at which
// every caption of `controls` shows whole.
void fitFont(const Js& form, const ControlList<ControlSlot>& controls);

// A caption as `element` shows it in the CSS font `font`, in CSS pixels.
CaptionSize measureCaption(const Js& element, const std::string& font);

// Makes the icon file's images the page's icon.
void setPageIcon(std::span<const unsigned char> file);

// The icon file as an address that an image or a link can show.
const Js& iconAddress(std::span<const unsigned char> file);

// The window's own look, added to the page once.
void addStyleSheet();

} // namespace platform::detail
