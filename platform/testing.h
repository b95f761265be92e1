#pragma once

// Test support: a fixed clock, and a driver that works a shown form through
// its real controls as a player does, so that the same test cases run on
// every platform. The core defines what is the same everywhere (finding a
// control by its name, the DPI, measuring a caption), each layer the rest
// with its toolkit's own input and reading. Only tests include this.

#include "platform/caption_fit.h"
#include "platform/clock.h"
#include "platform/forms.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::testing {

// While it lives, the clock reads `milliseconds` since midnight, through the
// same conversion as the system clock.
class FakeClock {
public:
    explicit FakeClock(int milliseconds = 0)
        : previous_(detail::replaceMillisecondSource([this] { return milliseconds_; }))
        , milliseconds_(milliseconds) {}
    ~FakeClock() { detail::replaceMillisecondSource(std::move(previous_)); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    FakeClock(FakeClock&&) = delete;
    FakeClock& operator=(FakeClock&&) = delete;

    void set(int milliseconds) { milliseconds_ = milliseconds; }
    // Sets the clock to the start of the hundredth in which `roll` comes up.
    void setForRoll(int roll) { milliseconds_ = (roll - 1) * 10; }

private:
    detail::MillisecondSource previous_;
    int milliseconds_;
};

// The toolkit, set up for a test program from its command line. One lives
// for the whole program and is made before the first form.
class Session {
public:
    Session(int& argc, char** argv);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Session(Session&&) = delete;
    Session& operator=(Session&&) = delete;

private:
    struct Toolkit;
    std::unique_ptr<Toolkit> toolkit_;
};

// A rectangle in the window's device pixels, physical at its DPI, from the
// top left of its client area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// What a caption needs, in device pixels, measured by the layer in the
// control's own font, with the control's client area.
struct CaptionExtent : detail::CaptionSize {
    Rect box;
};

// Keys a player presses; Copy is the platform's copy shortcut, Ctrl+C.
enum class Key { Tab, Backtab, Left, Right, Space, Return, Enter, Copy };

// An error report as the player saw it. The driver closes each one as soon as
// it comes up, as a player would.
struct Report {
    std::string title;
    std::string text;
    bool ownedByWindow = false; // modal to the game's window
    bool errorIcon = false;
};

// Works a form through its real controls: the toolkit's own mouse and
// keyboard events, and what the controls show. Controls are named as in
// the form's description; naming a control the form lacks throws.
class Driver {
public:
    // Shows `form` and waits until it is on screen and active.
    explicit Driver(Form& form);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    Driver(Driver&&) = delete;
    Driver& operator=(Driver&&) = delete;

    // A click with the left mouse button on a button.
    void Click(std::string_view button);
    // Presses and releases `key` on the control that has the focus.
    void Press(Key key);
    // Puts `text` into a field in place of what it held.
    void SetText(std::string_view field, std::string_view text);

    // What a control shows: a field's text, a button's or a label's caption,
    // or the output area's printed lines joined by '\n' (a print position at
    // the start of a new line shows as a trailing '\n').
    [[nodiscard]] std::string Text(std::string_view control) const;
    [[nodiscard]] std::string WindowCaption() const;
    [[nodiscard]] bool IsShown() const;
    [[nodiscard]] int Dpi() const;
    [[nodiscard]] Rect ClientArea() const;
    [[nodiscard]] Rect Geometry(std::string_view control) const;
    [[nodiscard]] CaptionExtent MeasureCaption(std::string_view control) const;
    // The name of the control that has the keyboard focus; empty for none.
    [[nodiscard]] std::string FocusedControl() const;
    [[nodiscard]] bool TakesFocus(std::string_view control) const;
    // The pixel widths of the window icon's images.
    [[nodiscard]] std::vector<int> IconSizes() const;
    // The clipboard's text, with line ends as '\n'.
    [[nodiscard]] std::string ClipboardText() const;
    // What assistive technology finds of a control, through the platform's
    // accessibility interface: its name, and the text it reads from it (line
    // ends as '\n').
    [[nodiscard]] std::string AccessibleName(std::string_view control) const;
    [[nodiscard]] std::string AccessibleText(std::string_view control) const;

    // Hides the window, shows it again and waits until it is repainted.
    void Repaint();
    // Destroys a control's toolkit object behind the runtime's back, so that
    // every later operation on the control fails.
    void Destroy(std::string_view control);
    // The error reports closed since the last call, oldest first.
    std::vector<Report> TakeReports();
    // What assistive technology was told to say at once since the last
    // call, oldest first, as a screen reader reads it (line ends as '\n').
    std::vector<std::string> TakeAnnouncements();

private:
    // What the layer holds while it works the window: from the start, each
    // error report is closed as soon as it comes up and kept, and what the
    // window announces is heard.
    struct Driving;

    // The control named `name`, which must still exist and, unless `kind`
    // is empty, be a field or a button.
    enum class Kind { Any, Field, Button };
    [[nodiscard]] const detail::ControlRecord& control(std::string_view name,
                                                       Kind kind = Kind::Any) const;
    // Waits until the shown window is on screen and takes input.
    void waitUntilShown();

    // The layer's measures, in the window's own pixels: the device pixels
    // to one of them; a control's box from the client area's top left corner
    // (left, top, width, height), or the client area's for none; whether a
    // control has the focus; and the font size a control shows its caption
    // in, with the width and height of its client area.
    [[nodiscard]] double pixelRatio() const;
    [[nodiscard]] std::array<double, 4> box(const detail::ControlRecord* control) const;
    [[nodiscard]] bool hasFocus(const detail::ControlRecord& control) const;
    struct CaptionPlace {
        int fontSize = 0;
        double width = 0;
        double height = 0;
    };
    [[nodiscard]] CaptionPlace captionPlace(const detail::ControlRecord& control) const;
    // Window pixels as device pixels.
    [[nodiscard]] int devicePixels(double pixels) const;

    detail::FormWindow& form_;
    std::unique_ptr<Driving> driving_;
};

// How many objects the toolkit holds for the program's windows: a window
// made and destroyed leaves it as it was.
std::size_t ToolkitObjects();

} // namespace platform::testing
