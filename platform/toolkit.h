#pragma once

// What each platform layer supplies to the forms and controls written once
// in platform/forms.cpp: a window with its controls, their text, the output
// area's print and clear, and the report of a run-time error. Each layer
// defines its Window, and its record of a control derived from
// ControlRecord, in its window.h. Only the platform layer includes this.

#include "platform/controls.h"
#include "platform/forms.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::detail {

std::unique_ptr<Window, WindowDeleter> MakeWindow(const FormDescription& description);

// Makes the toolkit's control for `record` on `window` and keeps the record.
ControlRecord& AddControl(Window& window, ControlRecord record);

// Shows the window with the controls in tab order, each label naming its
// control, the font fitted to the captions and the keyboard focus on the
// first control that takes it.
void ShowForm(Window& window);

// The control operations. Each raises a RuntimeError naming the control and
// the operation when it fails, the control being gone among other reasons.
std::string ReadText(ControlRecord& control, std::string_view operation);
void WriteText(ControlRecord& control, std::string_view operation, std::string_view text);
void ClearOutput(ControlRecord& control);
void PrintOutput(ControlRecord& control, std::string_view item, bool lineEnd);

// Shows the player the report of a run-time error, modal to `window`, and
// returns once it is closed.
void ShowReport(Window& window, const std::string& report);

// The report a click procedure's failure brings up: the text of the
// RuntimeError it raised, or one made for any other exception. Empty if it
// ran to its end.
std::optional<std::string> RunProcedure(const std::function<void()>& procedure);

// Runs a click procedure as the event dispatch does: whatever it raises is
// reported, and the program goes on.
void Dispatch(Window& window, const std::function<void()>& procedure);

} // namespace platform::detail
