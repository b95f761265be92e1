// A long game: 100,000 clicks over the four buttons through the real event
// path, each followed by its repaint, with balances typed in between and now
// and then a run-time error. The heap in use after them must be within 1 MiB
// of the heap in use after the first 1,000.

#include "game_window.h"

#include <cstddef>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

#include <QCoreApplication>

#if defined(__SANITIZE_ADDRESS__)
#define ROLLING_ZEMB_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROLLING_ZEMB_ASAN 1
#endif
#endif

#ifdef ROLLING_ZEMB_ASAN
// From the sanitizer runtime's allocator interface, which GCC ships no
// header for.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

// Bytes of heap in use, from the allocator itself: steadier than the
// resident set, which freed pages leave as they are.
std::size_t heapInUse() {
#ifdef ROLLING_ZEMB_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

TEST(Soak, HundredThousandClicks) {
    constexpr int clicks = 100'000;
    constexpr int warmUp = 1'000;
    constexpr std::size_t allowedGrowth = std::size_t{1} << 20;
    const char* const buttons[] = {"Command1", "Command2", "Command3", "Command4"};
    const std::string balances[] = {"10", "15001", "-20", "abc", std::string(300, '7')};
    GameWindow game;

    std::mt19937 random(1208);
    std::size_t afterWarmUp = 0;
    std::size_t reports = 0;
    int expectedReports = 0;
    for (int i = 1; i <= clicks; ++i) {
        game.clock().set(static_cast<int>(random() % 86'400'000));
        if (i % 1000 == 500) {
            // A won bet on the largest balance overflows and is reported.
            game.setBalance("1e308");
            game.clock().setForRoll(1);
            game.click("Command1");
            ++expectedReports;
            game.setBalance("10"); // the field kept 1e308
        } else {
            if (random() % 8 == 0) {
                game.setBalance(balances[random() % std::size(balances)]);
            }
            game.click(buttons[random() % std::size(buttons)]);
        }
        QCoreApplication::processEvents();
        // An unexpected report is counted instead of stopping the run.
        reports += game.driver().TakeReports().size();
        if (i == warmUp) {
            afterWarmUp = heapInUse();
        }
    }
    const std::size_t atEnd = heapInUse();
    EXPECT_EQ(reports, static_cast<std::size_t>(expectedReports));
    EXPECT_TRUE(game.driver().IsShown());
    const auto growth = static_cast<long long>(atEnd) - static_cast<long long>(afterWarmUp);
    std::printf("heap in use after %d clicks: %zu bytes; after %d: %zu bytes (%+lld)\n", warmUp,
                afterWarmUp, clicks, atEnd, growth);
    EXPECT_LE(growth, static_cast<long long>(allowedGrowth)) << "the heap grew by " << growth;
}

} // namespace
