// The core's record of a form and its controls: the controls and their
// orders, the control operations with their checks, what stands printed,
// what a click announces, the click dispatch and the font fit.

#include "platform/form_window.h"

#include "platform/caption_fit.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace platform::detail {

ControlRecord::ControlRecord(ControlKind controlKind, const ControlDescription& description,
                             std::function<void()> onClick)
    : kind(controlKind)
    , name(description.name)
    , tabIndex(description.tabIndex)
    , caption(description.caption)
    , labelFor(description.labelFor)
    , left(description.left)
    , top(description.top)
    , width(description.width)
    , height(description.height)
    , click(std::move(onClick)) {}

namespace {

// The report a click procedure's failure brings up: the text of the
// RuntimeError it raised, or one made for any other exception. Empty if it
// ran to its end.
std::optional<std::string> RunProcedure(const std::function<void()>& procedure) {
    try {
        procedure();
        return std::nullopt;
    } catch (const RuntimeError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return RunTimeErrorReport("out of memory");
    } catch (const std::exception& error) {
        return RunTimeErrorReport(error.what());
    } catch (...) {
        return RunTimeErrorReport("the operation failed");
    }
}

} // namespace

FormWindow::FormWindow(const FormDescription& description)
    : caption(description.caption)
    , clientWidth(description.clientWidth)
    , clientHeight(description.clientHeight)
    , icon(description.icon)
    , toolkit_(layer::MakeWindow(*this)) {}

// The layer's window goes first, and its controls with it, while their
// records still stand.
FormWindow::~FormWindow() {
    toolkit_.reset();
}

ControlRecord& FormWindow::add(ControlKind kind, const ControlDescription& description,
                               std::function<void()> click) {
    auto record = std::make_unique<ControlRecord>(kind, description, std::move(click));
    record->toolkit = layer::MakeControl(*toolkit_, *record);
    return *controls_.emplace_back(std::move(record));
}

void FormWindow::show() {
    layer::Arrange(*toolkit_, labelledOrder());
    if (layer::FitsAsShown(*toolkit_)) {
        fitFont();
    }
    layer::Show(*toolkit_, initialFocus());
}

const ControlRecord* FormWindow::initialFocus() const {
    const std::vector<ControlRecord*> order = tabOrder();
    const auto focus = std::find_if(order.begin(), order.end(), [](const ControlRecord* control) {
        return control->takesFocus();
    });
    return focus == order.end() ? nullptr : *focus;
}

// The captions of the buttons and labels still there; the sizes in the
// window's own pixels.
void FormWindow::fitFont() {
    std::vector<Caption> captions;
    for (const auto& control : controls_) {
        const bool button = control->kind == ControlKind::CommandButton;
        if (button || control->kind == ControlKind::Label) {
            if (const auto box = layer::CaptionBoxOf(*toolkit_, *control)) {
                captions.push_back({control->caption, button, *box});
            }
        }
    }
    const int perInch = layer::PixelsPerInch(*toolkit_);
    const auto scaled = [perInch](int pixels) { return (pixels * perInch + 48) / 96; };
    const int size =
        FittingFontSize(captions, layer::DesktopFontSize(*toolkit_), scaled(SmallestFontSize),
                        scaled(ButtonCaptionMargin),
                        [this](int candidate) { return layer::TextMetrics(*toolkit_, candidate); });
    layer::UseFontSize(*toolkit_, size);
}

ControlRecord* FormWindow::find(std::string_view name) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [name](const auto& control) { return control->name == name; });
    return found == controls_.end() ? nullptr : found->get();
}

const ControlRecord* FormWindow::namedBy(const ControlRecord& label) const {
    return label.kind == ControlKind::Label && !label.labelFor.empty() ? find(label.labelFor)
                                                                       : nullptr;
}

const ControlRecord* FormWindow::labelOf(const ControlRecord& control) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [&](const auto& label) { return namedBy(*label) == &control; });
    return found == controls_.end() ? nullptr : found->get();
}

// Each control goes in after those of its tab index or below: a few
// controls, which a general sort's code would only weigh down.
std::vector<ControlRecord*> FormWindow::tabOrder() const {
    std::vector<ControlRecord*> order;
    order.reserve(controls_.size());
    for (const auto& control : controls_) {
        order.push_back(control.get());
        for (std::size_t at = order.size() - 1;
             at > 0 && order[at - 1]->tabIndex > order[at]->tabIndex; --at) {
            std::swap(order[at - 1], order[at]);
        }
    }
    return order;
}

std::vector<ControlRecord*> FormWindow::labelledOrder() const {
    const std::vector<ControlRecord*> sorted = tabOrder();
    std::vector<ControlRecord*> order;
    order.reserve(sorted.size());
    for (ControlRecord* control : sorted) {
        if (namedBy(*control) != nullptr) {
            continue; // placed with the control it names
        }
        for (ControlRecord* label : sorted) {
            if (namedBy(*label) == control) {
                order.push_back(label);
            }
        }
        order.push_back(control);
    }
    return order;
}

const ControlRecord& FormWindow::nextInTabOrder(const ControlRecord& from, bool back) const {
    std::vector<ControlRecord*> order = tabOrder();
    std::erase_if(order, [&](const ControlRecord* control) {
        return control != &from && (!control->takesFocus() || !layer::Exists(*control->toolkit));
    });
    const auto at = std::find(order.begin(), order.end(), &from);
    if (at == order.end()) {
        return from;
    }
    const auto index = static_cast<std::size_t>(at - order.begin());
    return *order[(back ? index + order.size() - 1 : index + 1) % order.size()];
}

void FormWindow::click(const ControlRecord& button) {
    said_.clear(); // only this click's changes are said
    const std::optional<std::string> report = RunProcedure(button.click);
    if (const Announcement said = takeAnnouncement(); !said.text.empty()) {
        layer::Announce(*toolkit_, said);
    }
    if (report) {
        layer::ShowReport(*toolkit_, *report);
    }
}

ControlRecord& FormWindow::live(ControlRecord& control, std::string_view operation) const {
    if (control.toolkit == nullptr || !layer::Exists(*control.toolkit)) {
        RaiseControlError(control.name, operation, "the control no longer exists");
    }
    return control;
}

std::string FormWindow::readText(ControlRecord& field, std::string_view operation) {
    return layer::ReadText(live(field, operation), operation);
}

void FormWindow::writeText(ControlRecord& field, std::string_view operation,
                           std::string_view text) {
    layer::WriteText(live(field, operation), operation, text);
    if (!text.empty()) {
        const ControlRecord* label = labelOf(field);
        said_.push_back({nullptr, (label != nullptr ? label->caption + " " : std::string()) +
                                      std::string(text)});
    }
}

void FormWindow::clearOutput(ControlRecord& area) {
    constexpr std::string_view operation = "Clear";
    layer::ShowCleared(live(area, operation), operation);
    area.printed.clear();
    std::erase_if(said_, [&](const Said& said) { return said.area == &area; });
}

void FormWindow::print(ControlRecord& area, std::string_view item, bool lineEnd) {
    live(area, "Print");
    const std::size_t end = area.printed.size();
    area.printed += item;
    if (lineEnd) {
        area.printed += '\n';
    }
    layer::ShowPrinted(area, std::string_view(area.printed).substr(end));
    if (std::none_of(said_.begin(), said_.end(),
                     [&](const Said& said) { return said.area == &area; })) {
        said_.push_back({&area, {}});
    }
}

std::string FormWindow::copiedText(const ControlRecord& area) {
    const std::string_view text = area.printed;
    return std::string(text.ends_with('\n') ? text.substr(0, text.size() - 1) : text);
}

Announcement FormWindow::takeAnnouncement() {
    Announcement said;
    const auto add = [](std::string& to, std::string_view line) {
        if (!line.empty()) {
            to += (to.empty() ? "" : "\n") + std::string(line);
        }
    };
    for (const Said& entry : std::exchange(said_, {})) {
        if (entry.area == nullptr) {
            add(said.text, entry.line);
            continue;
        }
        std::string_view lines = entry.area->printed;
        while (!lines.empty()) {
            const std::size_t end = std::min(lines.find('\n'), lines.size());
            add(said.text, lines.substr(0, end));
            lines.remove_prefix(std::min(lines.size(), end + 1));
        }
    }
    return said;
}

} // namespace platform::detail
