// Benchmarks: one click of each button including the repaint it causes, the
// roll alone, and start-up to the first painted frame of the game's window
// against a bare window with the same eight controls, in the same run. Run on
// the offscreen platform, for example with --benchmark_repetitions=10 and
// --benchmark_report_aggregates_only=true.

#include "game/form1.h"
#include "game/roll.h"
#include "platform/qt/window.h"
#include "platform/testing.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Processes events until `window` has been painted once.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QWidget& window) { window.installEventFilter(this); }
    void wait() const {
        while (!painted_) {
            QCoreApplication::processEvents();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted_ = true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool painted_ = false;
};

void clickButton(benchmark::State& state, const char* button) {
    platform::testing::FakeClock clock;
    game::Form1 form;
    const FirstPaint firstPaint(form.window().toolkit());
    form.Show();
    firstPaint.wait();
    auto* target = platform::layer::widgetOf<QPushButton>(*form.window().find(button));
    auto* field = platform::layer::widgetOf<QLineEdit>(*form.window().find("Text1"));
    int hundredth = 0;
    for (auto _ : state) {
        clock.set(10 * (hundredth++ % 8'640'000));
        QTest::mouseClick(target, Qt::LeftButton);
        QCoreApplication::processEvents(); // the repaint of the output area and field
        if (field->text().isEmpty() || field->text() == QLatin1String("0")) {
            field->setText(QStringLiteral("10")); // keep the bets winning now and then
        }
    }
}

void BM_ClickStart(benchmark::State& state) {
    clickButton(state, "Command2");
}
void BM_ClickLow(benchmark::State& state) {
    clickButton(state, "Command1");
}
void BM_ClickHigh(benchmark::State& state) {
    clickButton(state, "Command3");
}
void BM_ClickQuit(benchmark::State& state) {
    clickButton(state, "Command4");
}

void BM_Roll(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(game::RollNumber(1, 6));
    }
}

void startUpGame() {
    game::Form1 form;
    const FirstPaint firstPaint(form.window().toolkit());
    form.Show();
    firstPaint.wait();
}

// The same window built straight on the toolkit, with no layer between: the
// same controls and captions, each label the buddy of the control it names.
void startUpBareWindow() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Rolling a zemb (1-6)"));
    window.setFixedSize(340, 241);
    auto* field = new QLineEdit(&window);
    field->setGeometry(120, 16, 97, 33);
    auto* output = new QFrame(&window);
    output->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    output->setGeometry(24, 136, 289, 89);
    const struct {
        const char* caption = nullptr;
        QRect geometry;
    } buttons[] = {{" (1,2,3)", {96, 64, 65, 33}},
                   {"Start", {16, 64, 65, 33}},
                   {" (4,5,6)", {176, 64, 65, 33}},
                   {"quit", {256, 64, 65, 33}}};
    for (const auto& button : buttons) {
        (new QPushButton(QString::fromLatin1(button.caption), &window))
            ->setGeometry(button.geometry);
    }
    // Each label names its control, for assistive technology.
    auto* display = new QLabel(QStringLiteral("Display"), &window);
    display->setGeometry(144, 112, 41, 25);
    display->setBuddy(output);
    auto* label = new QLabel(QStringLiteral("initial balance"), &window);
    label->setWordWrap(true);
    label->setGeometry(24, 24, 73, 33);
    label->setBuddy(field);
    const FirstPaint firstPaint(window);
    window.show();
    field->setFocus();
    firstPaint.wait();
}

void BM_StartUpGame(benchmark::State& state) {
    for (auto _ : state) {
        startUpGame();
    }
}

void BM_StartUpBareWindow(benchmark::State& state) {
    for (auto _ : state) {
        startUpBareWindow();
    }
}

// Both start-ups in turn, so that a change in the machine's speed during the
// run weighs on both alike; reports the median of each and their ratio.
void BM_StartUpRatio(benchmark::State& state) {
    std::vector<double> gameTimes;
    std::vector<double> bareTimes;
    const auto time = [](void (*startUp)()) {
        const auto start = std::chrono::steady_clock::now();
        startUp();
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count();
    };
    for (auto _ : state) {
        gameTimes.push_back(time(startUpGame));
        bareTimes.push_back(time(startUpBareWindow));
    }
    const auto median = [](std::vector<double>& times) {
        const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
        std::nth_element(times.begin(), middle, times.end());
        return *middle;
    };
    const double game = median(gameTimes);
    const double bare = median(bareTimes);
    state.counters["game_us"] = game;
    state.counters["bare_us"] = bare;
    state.counters["ratio"] = game / bare;
}

} // namespace

BENCHMARK(BM_ClickStart);
BENCHMARK(BM_ClickLow);
BENCHMARK(BM_ClickHigh);
BENCHMARK(BM_ClickQuit);
BENCHMARK(BM_Roll);
BENCHMARK(BM_StartUpGame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUpBareWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUpRatio)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
