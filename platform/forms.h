#pragma once

#include "platform/runtime.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

namespace detail {
class FormWindow;
struct ControlRecord;
} // namespace detail

// Positions and sizes are in twips, 1/1440 inch: 15 twips to a pixel at
// 96 dots per inch.
inline constexpr int TwipsPerInch = 1440;
inline constexpr int TwipsPerPixel = TwipsPerInch / 96;

struct FormDescription {
    std::string_view caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    // The window's icon as the bytes of an icon file; empty for none.
    std::span<const unsigned char> icon;
};

struct ControlDescription {
    std::string_view name;
    int tabIndex = 0;
    std::string_view caption; // empty for controls without one
    int left = 0;             // twips, from the form's client area
    int top = 0;
    int width = 0;
    int height = 0;
    // For a label, the name of the control it names: assistive technology
    // reads the label's caption as that control's name.
    std::string_view labelFor;
};

// A window of the program, with its controls for as long as it lives: the
// start-up form lives until the program ends. A game window derives from it
// and declares its controls as members, which bind themselves to the window
// as they are constructed.
class Form {
public:
    explicit Form(const FormDescription& description);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    Form(Form&&) = delete;
    Form& operator=(Form&&) = delete;

    // Shows the window with the keyboard focus on the control of the lowest
    // tab index that takes it.
    void Show();

    // The runtime's record of the window, for the runtime and for tests;
    // opaque to the game.
    [[nodiscard]] detail::FormWindow& window() const { return *window_; }

private:
    std::unique_ptr<detail::FormWindow> window_;
};

// What the game holds of a control: its name and a reference to the runtime's
// record of it, whose toolkit object may be gone. Every operation checks that
// it is still there and raises a RuntimeError naming the control and the
// operation if not.
class Control {
public:
    [[nodiscard]] const std::string& Name() const;

protected:
    Control(Form& form, detail::ControlRecord& record)
        : window_(&form.window())
        , record_(&record) {}
    [[nodiscard]] detail::FormWindow& window() const { return *window_; }
    [[nodiscard]] detail::ControlRecord& record() const { return *record_; }

private:
    detail::FormWindow* window_;
    detail::ControlRecord* record_; // owned by the form's window
};

class TextBox : public Control {
public:
    TextBox(Form& form, const ControlDescription& description);
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);
};

// Where the print position goes after an item: it stays on the line behind
// the item, or moves to the start of the next line.
enum class Separator { StayOnLine, LineEnd };

// The output area: text printed into it stays until it is cleared, across
// repaints of the window.
class PictureBox : public Control {
public:
    PictureBox(Form& form, const ControlDescription& description);
    // Erases all printed text; the next print starts at the top line.
    void Clear();
    void Print(std::string_view text, Separator separator);
    // A number is printed as NumberToText writes it.
    void Print(double number, Separator separator);
};

class Label : public Control {
public:
    Label(Form& form, const ControlDescription& description);
};

class CommandButton : public Control {
public:
    // `click` runs when the button is clicked, by mouse or keyboard. An
    // exception it raises is reported to the player, and the program goes on.
    CommandButton(Form& form, const ControlDescription& description, std::function<void()> click);
};

// What the program hands the runtime: how it is known, its version as
// shown, and the start-up window.
struct Project {
    std::string_view name;    // as shown to the player
    std::string_view program; // the executable's name
    std::string_view id;      // reverse-DNS application id, as its desktop entry's
    std::string_view version;
    std::unique_ptr<Form> (*createStartupForm)();
};

template <class StartupForm> std::unique_ptr<Form> Create() {
    return std::make_unique<StartupForm>();
}

// Creates and shows the start-up window and runs the event loop until the
// window is closed; returns the program's exit status.
int Start(const Project& project);

} // namespace platform
