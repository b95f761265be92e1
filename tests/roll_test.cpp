#include "game/roll.h"
#include "platform/runtime.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

constexpr int hundredthsPerDay = 24 * 60 * 60 * 100;

// Every hundredth of the day, read at its first and its last millisecond
// as the system clock would give them, rolls exactly 1 + (h mod 6).
TEST(Roll, WholeDay) {
    platform::testing::FakeClock clock;
    for (int h = 0; h < hundredthsPerDay; ++h) {
        const auto expected = static_cast<platform::Single>(1 + h % 6);
        for (const int millisecond : {h * 10, h * 10 + 9}) {
            clock.set(millisecond);
            const platform::Single roll = game::RollNumber(1, 6);
            if (roll != expected) {
                FAIL() << "at " << millisecond << " ms the roll is " << roll << ", not "
                       << expected;
            }
        }
    }
}

// The last hundredth of a day rolls 6 and the first of the next rolls 1,
// so the sequence runs on across midnight.
TEST(Roll, AcrossMidnight) {
    platform::testing::FakeClock clock(hundredthsPerDay * 10 - 1);
    EXPECT_EQ(game::RollNumber(1, 6), 6.0F);
    clock.set(0);
    EXPECT_EQ(game::RollNumber(1, 6), 1.0F);
}

// The system's own clock reads within the day, and rolls a whole number
// from 1 to 6.
TEST(Roll, SystemClock) {
    const double seconds = platform::Clock();
    EXPECT_GE(seconds, 0);
    EXPECT_LT(seconds, 24 * 60 * 60);
    const platform::Single roll = game::RollNumber(1, 6);
    EXPECT_GE(roll, 1);
    EXPECT_LE(roll, 6);
    EXPECT_EQ(roll, static_cast<platform::Single>(static_cast<int>(roll)));
}

} // namespace
