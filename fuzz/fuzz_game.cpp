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
#include "report_closer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

struct Harness {
    std::unique_ptr<QApplication> application;
    std::unique_ptr<platform::testing::FakeClock> clock;
    std::unique_ptr<game::Form1> form;
    QLineEdit* field = nullptr;
    platform::detail::OutputArea* output = nullptr;
    std::unique_ptr<ReportCloser> reports;
};

Harness* harness = nullptr;

[[noreturn]] void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

void expectEqual(const QString& actual, const QString& expected, const char* what) {
    if (actual != expected) {
        fail(what, QStringLiteral("got \"%1\", expected \"%2\"").arg(actual, expected));
    }
}

// Clicks `button` and returns the text of any error report it brought up,
// closed at once.
QString click(const char* button) {
    Harness& h = *harness;
    QTest::mouseClick(qobject_cast<QPushButton*>(platform::testing::control(*h.form, button)),
                      Qt::LeftButton);
    return h.reports->take();
}

void bet(const char* button, int lowest, int highest, int milliseconds) {
    Harness& h = *harness;
    const QString before = h.field->text();
    h.clock->set(milliseconds);
    const int roll = 1 + (milliseconds / 10) % 6;
    const QString report = click(button);

    QString screen = QStringLiteral("The number is %1\n").arg(roll);
    QString after = before;
    QString expectedReport;
    if (roll >= lowest && roll <= highest) {
        screen += QStringLiteral("You won!\n");
        const double doubled = 2 * platform::TextToNumber(before.toStdString());
        if (std::isinf(doubled)) {
            expectedReport = QStringLiteral("Run-time error: overflow");
        } else if (doubled <= 30000) {
            after = QString::fromStdString(platform::NumberToText(doubled));
        } else {
            screen += QStringLiteral("No cash available!\nYou have to go with $30,000.00.");
        }
    } else {
        screen += QStringLiteral("You lost! (Player bankrupt)\n");
        after = QStringLiteral("0");
    }
    expectEqual(report, expectedReport, "error report after a bet");
    expectEqual(h.output->text(), screen, "output after a bet");
    expectEqual(h.field->text(), after, "field after a bet");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process and never destroyed: at exit the
    // toolkit's own statics are already gone, and the window must not outlive
    // them.
    harness = new Harness;
    Harness& instance = *harness;
    instance.application = std::make_unique<QApplication>(*argc, *argv);
    instance.clock = std::make_unique<platform::testing::FakeClock>();
    instance.form = std::make_unique<game::Form1>();
    instance.form->Show();
    instance.field = qobject_cast<QLineEdit*>(platform::testing::control(*instance.form, "Text1"));
    instance.output = qobject_cast<platform::detail::OutputArea*>(
        platform::testing::control(*instance.form, "Picture1"));
    instance.reports = std::make_unique<ReportCloser>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness& h = *harness;
    std::size_t at = 0;
    const auto take = [&](std::size_t count) {
        count = std::min(count, size - at);
        QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + at),
                                         static_cast<qsizetype>(count));
        at += count;
        return text;
    };
    if (size == 0) {
        return 0;
    }
    const std::size_t opening = data[at++];
    h.field->setText(take(opening));

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
            expectEqual(click("Command2"), QString(), "error report after Start");
            expectEqual(h.field->text(), QStringLiteral("10"), "field after Start");
            expectEqual(h.output->text(), QString(), "output after Start");
            break;
        case 3: {
            const QString before = h.field->text();
            expectEqual(click("Command4"), QString(), "error report after quit");
            expectEqual(
                h.output->text(),
                QStringLiteral("You quit.\nThe balance of your account is %1\n").arg(before),
                "output after quit");
            expectEqual(h.field->text(), QString(), "field after quit");
            break;
        }
        default:
            h.field->setText(take(static_cast<std::size_t>(argument % 16)));
            break;
        }
    }
    return 0;
}
