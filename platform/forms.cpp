// The classes the game holds, each a handle on the core's record of its
// form or control.

#include "platform/forms.h"

#include "platform/conversions.h"
#include "platform/form_window.h"

#include <utility>

namespace platform {

using detail::ControlKind;

Form::Form(const FormDescription& description)
    : window_(std::make_unique<detail::FormWindow>(description)) {}

Form::~Form() = default;

void Form::Show() {
    window_->show();
}

const std::string& Control::Name() const {
    return record_->name;
}

TextBox::TextBox(Form& form, const ControlDescription& description)
    : Control(form, form.window().add(ControlKind::TextBox, description)) {}

std::string TextBox::Text() const {
    return window().readText(record(), "Text");
}

void TextBox::SetText(std::string_view text) {
    window().writeText(record(), "SetText", text);
}

PictureBox::PictureBox(Form& form, const ControlDescription& description)
    : Control(form, form.window().add(ControlKind::PictureBox, description)) {}

void PictureBox::Clear() {
    window().clearOutput(record());
}

void PictureBox::Print(std::string_view text, Separator separator) {
    window().print(record(), text, separator == Separator::LineEnd);
}

void PictureBox::Print(double number, Separator separator) {
    Print(NumberToText(number), separator);
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form, form.window().add(ControlKind::Label, description)) {}

CommandButton::CommandButton(Form& form, const ControlDescription& description,
                             std::function<void()> click)
    : Control(form, form.window().add(ControlKind::CommandButton, description, std::move(click))) {}

} // namespace platform
