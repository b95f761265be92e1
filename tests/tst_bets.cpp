#include "game_window.h"

namespace {
const QString wonScreen = QStringLiteral("The number is %1\nYou won!\n");
const QString refusedScreen = QStringLiteral(
    "The number is %1\nYou won!\nNo cash available!\nYou have to go with $30,000.00.");
const QString lostScreen = QStringLiteral("The number is %1\nYou lost! (Player bankrupt)\n");
} // namespace

class BetsTest : public QObject {
    Q_OBJECT

private slots:
    // Each button wins on its own half of the faces and loses on the other.
    void everyFace_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("roll");
        QTest::addColumn<bool>("won");
        for (int roll = 1; roll <= 6; ++roll) {
            QTest::addRow("low, %d", roll) << "Command1" << roll << (roll <= 3);
            QTest::addRow("high, %d", roll) << "Command3" << roll << (roll >= 4);
        }
    }
    void everyFace() {
        QFETCH(QString, button);
        QFETCH(int, roll);
        QFETCH(bool, won);
        GameWindow game;
        game.setBalance(QStringLiteral("10"));
        game.bet(button.toStdString(), roll);
        QCOMPARE(game.output(), (won ? wonScreen : lostScreen).arg(roll));
        QCOMPARE(game.field().text(), won ? QStringLiteral("20") : QStringLiteral("0"));
    }

    // A won bet doubles what the field holds, read as a number, unless that
    // passes the limit: then the field keeps the balance that was bet.
    void wonBalance_data() {
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("refused");
        QTest::newRow("opening") << "10"
                                 << "20" << false;
        QTest::newRow("exactly half the limit") << "15000"
                                                << "30000" << false;
        QTest::newRow("above half by one") << "15001"
                                           << "15001" << true;
        QTest::newRow("above half by a half") << "15000.5"
                                              << "15000.5" << true;
        QTest::newRow("at the limit") << "30000"
                                      << "30000" << true;
        QTest::newRow("empty") << ""
                               << "0" << false;
        QTest::newRow("negative") << "-20"
                                  << "-40" << false;
        QTest::newRow("not a number") << "abc"
                                      << "0" << false;
        QTest::newRow("number then text") << "12abc"
                                          << "24" << false;
        QTest::newRow("blanks before") << "  7"
                                       << "14" << false;
        QTest::newRow("fraction") << "0.1"
                                  << "0.2" << false;
        QTest::newRow("kept as typed when refused") << " 20000 coins"
                                                    << " 20000 coins" << true;
        QTest::newRow("zero stays zero") << "0"
                                         << "0" << false;
    }
    void wonBalance() {
        QFETCH(QString, balance);
        QFETCH(QString, after);
        QFETCH(bool, refused);
        GameWindow game;
        game.setBalance(balance);
        game.bet("Command3", 5);
        QCOMPARE(game.field().text(), after);
        QCOMPARE(game.output(), (refused ? refusedScreen : wonScreen).arg(5));
    }

    void lostBalance_data() {
        QTest::addColumn<QString>("balance");
        QTest::newRow("opening") << "10";
        QTest::newRow("empty") << "";
        QTest::newRow("negative") << "-20";
        QTest::newRow("not a number") << "abc";
        QTest::newRow("beyond the limit") << "1e308";
    }
    void lostBalance() {
        QFETCH(QString, balance);
        GameWindow game;
        game.setBalance(balance);
        game.bet("Command1", 6);
        QCOMPARE(game.field().text(), QStringLiteral("0"));
        QCOMPARE(game.output(), lostScreen.arg(6));
    }

    // Each bet clears the output first, so only the latest bet shows; bets
    // within one hundredth roll alike and one hundredth on, the roll moves on.
    void onlyTheLatestBetShows() {
        GameWindow game;
        game.setBalance(QStringLiteral("15001"));
        game.bet("Command1", 1);
        QCOMPARE(game.output(), refusedScreen.arg(1));
        game.clock().set(5);
        game.click("Command1");
        QCOMPARE(game.output(), refusedScreen.arg(1));
        game.clock().set(10);
        game.click("Command1");
        QCOMPARE(game.output(), refusedScreen.arg(2));
        game.clock().set(59);
        game.click("Command1");
        QCOMPARE(game.output(), lostScreen.arg(6));
        QCOMPARE(game.field().text(), QStringLiteral("0"));
        game.clock().set(60);
        game.click("Command1");
        QCOMPARE(game.output(), wonScreen.arg(1));
        QCOMPARE(game.field().text(), QStringLiteral("0"));
    }

    // A run of wins from the opening balance climbs to the limit and is then
    // refused, keeping the balance.
    void winningStreakReachesTheLimit() {
        GameWindow game;
        game.setBalance(QStringLiteral("10"));
        QStringList balances;
        for (int i = 0; i < 13; ++i) {
            game.bet("Command1", 2);
            balances << game.field().text();
        }
        QCOMPARE(balances.join(QLatin1Char(' ')),
                 QStringLiteral("20 40 80 160 320 640 1280 2560 5120 10240 20480 20480 20480"));
        QCOMPARE(game.output(), refusedScreen.arg(2));
    }
};

QTEST_MAIN(BetsTest)
#include "tst_bets.moc"
