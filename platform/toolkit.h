#pragma once

// What each platform layer supplies to the forms and controls written once
// in platform/forms.cpp: a window with its controls, their text, the output
// area's print and clear, and the report of a run-time error. Each layer
// defines its Window, a FormWindow, and its record of a control derived
// from ControlRecord, in its window.h. Only the platform layer includes
// this.

#include "platform/controls.h"
#include "platform/forms.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// What a click said and changed, for assistive technology to say at once,
// wherever the focus is: the lines it printed since the last clear and each
// field's new text named by its label, one a line, in the order they came.
struct Announcement {
    std::string text;
    std::string unprinted; // only the fields' lines: what the output area does not show
};

// The window of a form, as each layer makes it with the toolkit.
class FormWindow {
public:
    FormWindow() = default;
    virtual ~FormWindow() = default;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    FormWindow(FormWindow&&) = delete;
    FormWindow& operator=(FormWindow&&) = delete;

    // Makes the toolkit's control for `record` at its twips rectangle and
    // keeps the record.
    ControlRecord& addControl(ControlRecord record);

    // Shows the window with the controls in tab order, each label naming
    // its control, the font fitted to the captions and the keyboard focus on
    // the first control that takes it.
    virtual void showWithInitialFocus() = 0;

    // Shows the player the report of a run-time error, modal to the window,
    // and returns once it is closed.
    virtual void showReport(const std::string& report) = 0;

    // Has assistive technology say what a click did at once, wherever the
    // focus is.
    virtual void announce(const Announcement& said) = 0;

    // The label that names `control`; null if none does.
    [[nodiscard]] const ControlRecord* labelOf(const ControlRecord& control) const;

    // What the control operations tell the window while a click runs: the
    // output area cleared, an item printed, a field's new text.
    void noteCleared();
    void notePrinted(std::string_view item, bool lineEnd);
    void noteText(const ControlRecord& field, std::string_view text);
    // What to announce of the click that ran since the last call; its text
    // is empty if there is nothing to say.
    Announcement takeAnnouncement();

protected:
    // The toolkit's side of addControl: the layer's record of `record`, with
    // its control made.
    virtual ControlRecord& makeControl(ControlRecord record) = 0;

private:
    std::vector<const ControlRecord*> controls_; // the layer owns them
    struct Line {
        std::string text;
        bool printed; // by the output area, and gone when it is cleared
    };
    std::vector<Line> said_;
    bool lineOpen_ = false; // the last printed line goes on with the next item
};

std::unique_ptr<FormWindow> MakeWindow(const FormDescription& description);

// The control operations. Each raises a RuntimeError naming the control and
// the operation when it fails, the control being gone among other reasons.
std::string ReadText(ControlRecord& control, std::string_view operation);
void WriteText(ControlRecord& control, std::string_view operation, std::string_view text);
void ClearOutput(ControlRecord& control);
void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd);

// The report a click procedure's failure brings up: the text of the
// RuntimeError it raised, or one made for any other exception. Empty if it
// ran to its end.
std::optional<std::string> RunProcedure(const std::function<void()>& procedure);

// Runs a click procedure as the event dispatch does: whatever it raises is
// reported, and the program goes on.
void Dispatch(FormWindow& window, const std::function<void()>& procedure);

} // namespace platform::detail
