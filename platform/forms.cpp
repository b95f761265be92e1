#include "platform/forms.h"

#include "platform/conversions.h"
#include "platform/toolkit.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>
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
    window.takeAnnouncement(); // only this click's changes are said
    const std::optional<std::string> report = RunProcedure(procedure);
    if (const Announcement said = window.takeAnnouncement(); !said.text.empty()) {
        window.announce(said);
    }
    if (report) {
        window.showReport(*report);
    }
}

ControlRecord& FormWindow::addControl(ControlRecord record) {
    ControlRecord& made = makeControl(std::move(record));
    controls_.push_back(&made);
    return made;
}

const ControlRecord* FormWindow::labelOf(const ControlRecord& control) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const auto* label) {
        return label->kind == ControlKind::Label && label->labelFor == control.name;
    });
    return found == controls_.end() ? nullptr : *found;
}

void FormWindow::noteCleared() {
    std::erase_if(said_, [](const Line& line) { return line.printed; });
    lineOpen_ = false;
}

void FormWindow::notePrinted(std::string_view item, bool lineEnd) {
    if (!lineOpen_) {
        said_.push_back({{}, true});
    }
    said_.back().text += item;
    lineOpen_ = !lineEnd;
}

void FormWindow::noteText(const ControlRecord& field, std::string_view text) {
    if (!text.empty()) {
        const ControlRecord* label = labelOf(field);
        said_.push_back(
            {(label != nullptr ? label->caption + " " : std::string()) + std::string(text), false});
        lineOpen_ = false;
    }
}

Announcement FormWindow::takeAnnouncement() {
    Announcement said;
    const auto add = [](std::string& to, const std::string& line) {
        to += (to.empty() ? "" : "\n") + line;
    };
    for (const Line& line : std::exchange(said_, {})) {
        if (!line.text.empty()) {
            add(said.text, line.text);
            if (!line.printed) {
                add(said.unprinted, line.text);
            }
        }
    }
    lineOpen_ = false;
    return said;
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
    : Control(form.window(),
              form.window().addControl(ControlRecord(ControlKind::TextBox, description))) {}

std::string TextBox::Text() const {
    return detail::ReadText(record(), "Text");
}

void TextBox::SetText(std::string_view text) {
    detail::WriteText(record(), "SetText", text);
    window().noteText(record(), text);
}

PictureBox::PictureBox(Form& form, const ControlDescription& description)
    : Control(form.window(),
              form.window().addControl(ControlRecord(ControlKind::PictureBox, description))) {}

void PictureBox::Clear() {
    detail::ClearOutput(record());
    window().noteCleared();
}

void PictureBox::Print(std::string_view text, Separator separator) {
    detail::PrintOutput(record(), text, separator == Separator::LineEnd);
    window().notePrinted(text, separator == Separator::LineEnd);
}

void PictureBox::Print(double number, Separator separator) {
    Print(NumberToText(number), separator);
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form.window(),
              form.window().addControl(ControlRecord(ControlKind::Label, description))) {}

CommandButton::CommandButton(Form& form, const ControlDescription& description,
                             std::function<void()> click)
    : Control(form.window(), form.window().addControl(ControlRecord(
                                 ControlKind::CommandButton, description, std::move(click)))) {}

} // namespace platform
