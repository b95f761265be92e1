#include "game/roll.h"
#include "platform/runtime.h"
#include "platform/testing.h"

#include <QTest>

namespace {
constexpr int hundredthsPerDay = 24 * 60 * 60 * 100;
}

class RollTest : public QObject {
    Q_OBJECT

private slots:
    // Every hundredth of the day, read at its first and its last millisecond
    // as the system clock would give them, rolls exactly 1 + (h mod 6).
    void wholeDay() {
        platform::testing::FakeClock clock;
        for (int h = 0; h < hundredthsPerDay; ++h) {
            const auto expected = static_cast<platform::Single>(1 + h % 6);
            for (const int millisecond : {h * 10, h * 10 + 9}) {
                clock.set(millisecond);
                const platform::Single roll = game::RollNumber(1, 6);
                if (roll != expected) {
                    QFAIL(qPrintable(QStringLiteral("at %1 ms the roll is %2, not %3")
                                         .arg(millisecond)
                                         .arg(roll)
                                         .arg(expected)));
                }
            }
        }
    }

    // The last hundredth of a day rolls 6 and the first of the next rolls 1,
    // so the sequence runs on across midnight.
    void acrossMidnight() {
        platform::testing::FakeClock clock(hundredthsPerDay * 10 - 1);
        QCOMPARE(game::RollNumber(1, 6), 6.0F);
        clock.set(0);
        QCOMPARE(game::RollNumber(1, 6), 1.0F);
    }

    void systemClock() {
        const double seconds = platform::Clock();
        QVERIFY(seconds >= 0 && seconds < 24 * 60 * 60);
        const platform::Single roll = game::RollNumber(1, 6);
        QVERIFY(roll >= 1 && roll <= 6);
        QCOMPARE(roll, static_cast<platform::Single>(static_cast<int>(roll)));
    }
};

QTEST_APPLESS_MAIN(RollTest)
#include "tst_roll.moc"
