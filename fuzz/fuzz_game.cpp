// Fuzzes whole games: an arbitrary field text and an arbitrary sequence of
// clicks and typing, through the real widgets on the offscreen platform with
// a fake clock. After every click it checks what the game may show:
// - a bet: the number rolled, then a win with the balance doubled within the
//   limit, a refused win with the balance unchanged, or a loss with 0; an
//   overflow is reported and leaves the field as it was;
// - Start: 10 in the field and a blank output area;
// - quit: the balance text as it stood, and an empty field.
//
// Input: one byte n, then n bytes of opening field text, then pairs of bytes
// (action, argument). Actions 0 to 3 click Command1 to Command4 with the clock
// set from the argument; action 4 types the next (argument % 16) bytes into
// the field in place of its text.

#include "game/form1.h"
#include "platform/conversions.h"
#include "platform/testing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Harness {
    std::unique_ptr<platform::testing::Session> session;
    std::unique_ptr<platform::testing::FakeClock> clock;
    std::unique_ptr<game::Form1> form;
    std::unique_ptr<platform::testing::Driver> driver;

    [[nodiscard]] std::string field() const { return driver->Text("Text1"); }
    [[nodiscard]] std::string output() const { return driver->Text("Picture1"); }
};

Harness* harness = nullptr;

void expectEqual(const std::string& actual, const std::string& expected, const char* what) {
    if (actual != expected) {
        std::fprintf(stderr, "%s: got \"%s\", expected \"%s\"\n", what, actual.c_str(),
                     expected.c_str());
        std::abort();
    }
}

// Clicks `button` and returns the text of any error report it brought up,
// closed at once.
std::string click(const char* button) {
    Harness& h = *harness;
    h.driver->Click(button);
    std::string texts;
    for (const auto& report : h.driver->TakeReports()) {
        texts += report.text;
    }
    return texts;
}

void bet(const char* button, int lowest, int highest, int milliseconds) {
    Harness& h = *harness;
    const std::string before = h.field();
    h.clock->set(milliseconds);
    const int roll = 1 + (milliseconds / 10) % 6;
    const std::string report = click(button);

    std::string screen = "The number is " + std::to_string(roll) + "\n";
    std::string after = before;
    std::string expectedReport;
    if (roll >= lowest && roll <= highest) {
        screen += "You won!\n";
        const double doubled = 2 * platform::TextToNumber(before);
        if (std::isinf(doubled)) {
            expectedReport = "Run-time error: overflow";
        } else if (doubled <= 30000) {
            after = platform::NumberToText(doubled);
        } else {
            screen += "No cash available!\nYou have to go with $30,000.00.";
        }
    } else {
        screen += "You lost! (Player bankrupt)\n";
        after = "0";
    }
    expectEqual(report, expectedReport, "error report after a bet");
    expectEqual(h.output(), screen, "output after a bet");
    expectEqual(h.field(), after, "field after a bet");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Kept to the end of the process and never destroyed: at exit the
    // toolkit's own statics are already gone, and the window must not outlive
    // them.
    harness = new Harness;
    Harness& instance = *harness;
    instance.session = std::make_unique<platform::testing::Session>(*argc, *argv);
    instance.clock = std::make_unique<platform::testing::FakeClock>();
    instance.form = std::make_unique<game::Form1>();
    instance.driver = std::make_unique<platform::testing::Driver>(*instance.form);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness& h = *harness;
    std::size_t at = 0;
    const auto take = [&](std::size_t count) {
        count = std::min(count, size - at);
        std::string text(reinterpret_cast<const char*>(data + at), count);
        at += count;
        return text;
    };
    if (size == 0) {
        return 0;
    }
    const std::size_t opening = data[at++];
    h.driver->SetText("Text1", take(opening));

    while (at + 2 <= size) {
        const int action = data[at] % 5;
        const int argument = data[at + 1];
        at += 2;
        // Spread the clock over the day, so late-day readings are covered.
        const int milliseconds = (argument * 338'823) % 86'400'000;
        switch (action) {
        case 0:
            bet("Command1", 1, 3, milliseconds);
            break;
        case 2:
            bet("Command3", 4, 6, milliseconds);
            break;
        case 1:
            expectEqual(click("Command2"), "", "error report after Start");
            expectEqual(h.field(), "10", "field after Start");
            expectEqual(h.output(), "", "output after Start");
            break;
        case 3: {
            const std::string before = h.field();
            expectEqual(click("Command4"), "", "error report after quit");
            expectEqual(h.output(), "You quit.\nThe balance of your account is " + before + "\n",
                        "output after quit");
            expectEqual(h.field(), "", "field after quit");
            break;
        }
        default:
            h.driver->SetText("Text1", take(static_cast<std::size_t>(argument % 16)));
            break;
        }
    }
    return 0;
}
