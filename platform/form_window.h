#pragma once

// The runtime's record of a form and of each of its controls, the same on
// every platform: the one list of the controls with their orders and the
// labels' pairing, what stands printed in each output area, what a click
// announces, the click dispatch and the font fit. The layer's window and
// controls hang from it (layer.h). Only the platform layer and the core
// include this.

#include "platform/forms.h"
#include "platform/layer.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

enum class ControlKind { TextBox, PictureBox, Label, CommandButton };

struct ControlRecord {
    ControlRecord(ControlKind controlKind, const ControlDescription& description,
                  std::function<void()> onClick = {});

    const ControlKind kind;
    const std::string name;
    const int tabIndex;
    const std::string caption;  // empty for controls without one
    const std::string labelFor; // for a label, the name of the control it names
    const int left;             // twips, from the form's client area
    const int top;
    const int width;
    const int height;
    const std::function<void()> click; // buttons only
    std::string printed; // an output area's text since it was last cleared, lines ended by '\n'
    layer::Owned<layer::Control> toolkit; // the layer's object; null until it is made

    // Whether the control takes the keyboard focus: every kind but a label.
    [[nodiscard]] bool takesFocus() const { return kind != ControlKind::Label; }
};

// What a click said and changed, for assistive technology to say at once,
// wherever the focus is: the lines it printed since the last clear and each
// field's new text named by its label, one a line, in the order they came.
// The latest few stay for a screen reader that is behind.
struct Announcement {
    static constexpr std::size_t kept = 8;

    std::string text;
};

// Converts twips to pixels at 96 dots per inch, rounding to the nearest.
constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

class FormWindow {
public:
    explicit FormWindow(const FormDescription& description);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    FormWindow(FormWindow&&) = delete;
    FormWindow& operator=(FormWindow&&) = delete;

    const std::string caption;
    const int clientWidth;                     // twips
    const int clientHeight;                    // twips
    const std::span<const unsigned char> icon; // an icon file's bytes; empty for none

    // Makes a control with the layer and adds it to the form.
    ControlRecord& add(ControlKind kind, const ControlDescription& description,
                       std::function<void()> click = {});

    // Shows the window: the controls arranged in the labelled order, the
    // font fitted to the captions, the keyboard focus on the first control in
    // tab order that takes it.
    void show();
    // Fits one font to every caption: the largest size, no larger than the
    // desktop's, at which each shows whole. It runs as the window is shown,
    // and the layer runs it again when its DPI or the desktop's font changes.
    void fitFont();

    // The controls in the order they were made.
    [[nodiscard]] const std::vector<std::unique_ptr<ControlRecord>>& controls() const {
        return controls_;
    }
    // The control named `name`; null if there is none.
    [[nodiscard]] ControlRecord* find(std::string_view name) const;
    // The control a label names; null for any other control, or a label that
    // names none of the form's.
    [[nodiscard]] const ControlRecord* namedBy(const ControlRecord& label) const;
    // The label that names `control`; null if none does.
    [[nodiscard]] const ControlRecord* labelOf(const ControlRecord& control) const;
    // The control that has the keyboard focus when the window opens: the
    // first in tab order that takes it; null if none does.
    [[nodiscard]] const ControlRecord* initialFocus() const;
    // Every control by tab index; those of the same index in the order made.
    [[nodiscard]] std::vector<ControlRecord*> tabOrder() const;
    // The tab order with each label just before the control it names.
    [[nodiscard]] std::vector<ControlRecord*> labelledOrder() const;
    // The control that takes the focus after `from` in the tab order, or
    // before it when `back`, round at either end; `from` if none other does.
    [[nodiscard]] const ControlRecord& nextInTabOrder(const ControlRecord& from, bool back) const;

    // A click on `button`, from the layer: its procedure runs; what it
    // changed is announced, and whatever it raised is reported.
    void click(const ControlRecord& button);

    // The control operations, each raising a RuntimeError that names the
    // control and the operation when it fails.
    std::string readText(ControlRecord& field, std::string_view operation);
    void writeText(ControlRecord& field, std::string_view operation, std::string_view text);
    void clearOutput(ControlRecord& area);
    void print(ControlRecord& area, std::string_view item, bool lineEnd);

    // What Ctrl+C on an output area copies when nothing in it is selected:
    // what stands printed, without the line end that holds the print
    // position.
    [[nodiscard]] static std::string copiedText(const ControlRecord& area);

    [[nodiscard]] layer::Window& toolkit() const { return *toolkit_; }

private:
    // The control, which must still exist for `operation`.
    ControlRecord& live(ControlRecord& control, std::string_view operation) const;
    Announcement takeAnnouncement();

    std::vector<std::unique_ptr<ControlRecord>> controls_;
    // What the running click said, in order: an output area whose printed
    // lines it is, or a field's line.
    struct Said {
        const ControlRecord* area;
        std::string line;
    };
    std::vector<Said> said_;
    layer::Owned<layer::Window> toolkit_;
};

} // namespace platform::detail
