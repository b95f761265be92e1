#include "game_window.h"

namespace {
QString quitScreen(const QString& balance) {
    return QStringLiteral("You quit.\nThe balance of your account is %1\n").arg(balance);
}
} // namespace

class GameTest : public QObject {
    Q_OBJECT

private slots:
    // Start replaces whatever the field holds with the opening balance and
    // leaves the output blank.
    void start_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("empty") << "";
        QTest::newRow("after a loss") << "0";
        QTest::newRow("after a refused win") << "15001";
        QTest::newRow("not a number") << "abc";
    }
    void start() {
        QFETCH(QString, before);
        GameWindow game;
        game.setBalance(before);
        game.bet("Command3", 4);
        game.click("Command2");
        QCOMPARE(game.field().text(), QStringLiteral("10"));
        QCOMPARE(game.output(), QString());
    }

    // Quit reports the field's text exactly as it stands, then empties it.
    void quit_data() {
        QTest::addColumn<QString>("balance");
        QTest::newRow("a number") << "20";
        QTest::newRow("empty") << "";
        QTest::newRow("not a number") << "lots of coins";
        QTest::newRow("blanks kept") << "  7 ";
        QTest::newRow("not normalised") << "0020.50";
        QTest::newRow("non-ASCII") << QString::fromUtf8("zwanzig \u20AC");
    }
    void quit() {
        QFETCH(QString, balance);
        GameWindow game;
        game.setBalance(balance);
        game.click("Command4");
        QCOMPARE(game.output(), quitScreen(balance));
        QCOMPARE(game.field().text(), QString());
        game.click("Command4");
        QCOMPARE(game.output(), quitScreen(QString()));
        QCOMPARE(game.field().text(), QString());
    }

    // Whole games from an empty window, one after the other, with the window
    // open throughout.
    void wholeSessions() {
        GameWindow game;
        for (int session = 0; session < 2; ++session) {
            game.click("Command2");
            QCOMPARE(game.field().text(), QStringLiteral("10"));
            QStringList balances;
            for (int roll : {1, 6, 5, 2, 3, 4, 6, 1, 2, 3, 1, 2}) {
                game.bet(roll <= 3 ? "Command1" : "Command3", roll);
                balances << game.field().text();
            }
            QCOMPARE(balances.join(QLatin1Char(' ')),
                     QStringLiteral("20 40 80 160 320 640 1280 2560 5120 10240 20480 20480"));
            QCOMPARE(game.output(), QStringLiteral("The number is 2\nYou won!\nNo cash "
                                                   "available!\nYou have to go with $30,000.00."));
            game.bet("Command1", 4);
            QCOMPARE(game.field().text(), QStringLiteral("0"));
            game.click("Command4");
            QCOMPARE(game.output(), quitScreen(QStringLiteral("0")));
            game.click("Command4");
            QCOMPARE(game.output(), quitScreen(QString()));
            QVERIFY(game.window().isVisible());
        }
        // A bet after quit works on the empty field.
        game.bet("Command3", 6);
        QCOMPARE(game.field().text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(GameTest)
#include "tst_game.moc"
