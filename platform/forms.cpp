#include "platform/forms.h"

#include "platform/conversions.h"
#include "platform/toolkit.h"

#include <exception>
#include <new>
#include <utility>

namespace platform {

namespace detail {

std::optional<std::string> RunProcedure(const std::function<void()>& procedure) {
    try {
        procedure();
        return std::nullopt;
    } catch (const RuntimeError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return "Run-time error: out of memory";
    } catch (const std::exception& error) {
        return std::string("Run-time error: ") + error.what();
    } catch (...) {
        return "Run-time error: the operation failed";
    }
}

void Dispatch(FormWindow& window, const std::function<void()>& procedure) {
    if (const std::optional<std::string> report = RunProcedure(procedure)) {
        window.showReport(*report);
    }
}

} // namespace detail

using detail::ControlKind;
using detail::ControlRecord;

Form::Form(const FormDescription& description)
    : window_(detail::MakeWindow(description)) {}

Form::~Form() = default;

void Form::Show() {
    window_->showWithInitialFocus();
}

const std::string& Control::Name() const {
    return record_->name;
}

TextBox::TextBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(ControlRecord(ControlKind::TextBox, description))) {}

std::string TextBox::Text() const {
    return detail::ReadText(record(), "Text");
}

void TextBox::SetText(std::string_view text) {
    detail::WriteText(record(), "SetText", text);
}

PictureBox::PictureBox(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(ControlRecord(ControlKind::PictureBox, description))) {}

void PictureBox::Clear() {
    detail::ClearOutput(record());
}

void PictureBox::Print(std::string_view text, Separator separator) {
    detail::PrintOutput(record(), text, separator == Separator::LineEnd);
}

void PictureBox::Print(double number, Separator separator) {
    Print(NumberToText(number), separator);
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form.window().addControl(ControlRecord(ControlKind::Label, description))) {}

CommandButton::CommandButton(Form& form, const ControlDescription& description,
                             std::function<void()> click)
    : Control(form.window().addControl(
          ControlRecord(ControlKind::CommandButton, description, std::move(click)))) {}

} // namespace platform
