#pragma once

// The runtime's record of each control of a form, the same for every
// toolkit, and the orders a form puts its controls in. Each layer extends the
// record with the toolkit's object. Only the platform layer and tests include
// this.

#include "platform/forms.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

enum class ControlKind { TextBox, PictureBox, Label, CommandButton };

struct ControlRecord {
    ControlRecord(ControlKind controlKind, const ControlDescription& description,
                  std::function<void()> onClick = {})
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

    ControlKind kind;
    std::string name;
    int tabIndex;
    std::string caption;  // empty for controls without one
    std::string labelFor; // for a label, the name of the control it names
    int left;             // twips, from the form's client area
    int top;
    int width;
    int height;
    std::function<void()> click; // buttons only
};

// A form's controls in the order they were made, with the orders the form
// puts them in. `Record` is a layer's record, derived from ControlRecord.
template <class Record> class ControlList {
public:
    Record& add(std::unique_ptr<Record> record) {
        return *records_.emplace_back(std::move(record));
    }
    void removeLast() { records_.pop_back(); }

    [[nodiscard]] auto begin() const { return records_.begin(); }
    [[nodiscard]] auto end() const { return records_.end(); }

    // The control named `name`; null if there is none.
    [[nodiscard]] Record* find(std::string_view name) const {
        const auto found =
            std::find_if(records_.begin(), records_.end(),
                         [name](const auto& record) { return record->name == name; });
        return found == records_.end() ? nullptr : found->get();
    }

    // The control a label names; null for any other control, or a label
    // that names none of the form's.
    [[nodiscard]] Record* namedBy(const Record& label) const {
        return label.kind == ControlKind::Label && !label.labelFor.empty() ? find(label.labelFor)
                                                                           : nullptr;
    }

    // Every control by tab index; controls of the same index keep the order
    // they were made in.
    [[nodiscard]] std::vector<Record*> tabOrder() const {
        std::vector<Record*> order;
        order.reserve(records_.size());
        for (const auto& record : records_) {
            order.push_back(record.get());
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
        return order;
    }

    // The tab order with each label moved to just before the control it
    // names, where assistive technology looks for a control's name.
    [[nodiscard]] std::vector<Record*> labelledOrder() const {
        const std::vector<Record*> sorted = tabOrder();
        std::vector<Record*> order;
        order.reserve(sorted.size());
        for (Record* record : sorted) {
            if (namedBy(*record) != nullptr) {
                continue; // placed with the control it names
            }
            for (Record* label : sorted) {
                if (namedBy(*label) == record) {
                    order.push_back(label);
                }
            }
            order.push_back(record);
        }
        return order;
    }

private:
    std::vector<std::unique_ptr<Record>> records_;
};

} // namespace platform::detail
