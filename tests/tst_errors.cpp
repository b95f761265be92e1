#include "game_window.h"
#include "report_closer.h"

namespace {

// Clicks `button` and returns the text of the error report it brought up,
// closed again; empty if no report came.
QString clickAndReadReport(GameWindow& game, std::string_view button) {
    ReportCloser closer;
    game.click(button);
    return closer.take();
}

} // namespace

class ErrorsTest : public QObject {
    Q_OBJECT

private slots:
    // A doubled balance beyond the range of a double is an overflow: it is
    // reported, the bet stops there, and the game goes on.
    void overflowIsReportedAndTheGameGoesOn_data() {
        QTest::addColumn<QString>("balance");
        QTest::newRow("1e308") << "1e308";
        QTest::newRow("largest finite") << "1.7976931348623157e308";
        QTest::newRow("beyond the range") << "-1e999";
    }
    void overflowIsReportedAndTheGameGoesOn() {
        QFETCH(QString, balance);
        GameWindow game;
        game.setBalance(balance);
        game.clock().setForRoll(2);
        QCOMPARE(clickAndReadReport(game, "Command1"), QStringLiteral("Run-time error: overflow"));
        QCOMPARE(game.output(), QStringLiteral("The number is 2\nYou won!\n"));
        QCOMPARE(game.field().text(), balance);
        QVERIFY(game.window().isVisible());

        game.setBalance(QStringLiteral("10"));
        QVERIFY(clickAndReadReport(game, "Command1").isEmpty());
        QCOMPARE(game.field().text(), QStringLiteral("20"));
    }

    // An operation on a control whose widget is gone fails with a report
    // that names the control and the operation; what was printed before the
    // failing step stays, and the other controls keep working.
    void missingControlIsReported_data() {
        QTest::addColumn<QString>("gone");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("roll");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("output");
        QTest::newRow("field read on a win")
            << "Text1"
            << "Command1" << 1 << "Run-time error: Text1.Text failed: the control no longer exists"
            << "The number is 1\nYou won!\n";
        QTest::newRow("field written on a loss")
            << "Text1"
            << "Command3" << 1
            << "Run-time error: Text1.SetText failed: the control no longer exists"
            << "The number is 1\nYou lost! (Player bankrupt)\n";
        QTest::newRow("output cleared")
            << "Picture1"
            << "Command3" << 4
            << "Run-time error: Picture1.Clear failed: the control no longer exists"
            << "";
    }
    void missingControlIsReported() {
        QFETCH(QString, gone);
        QFETCH(QString, button);
        QFETCH(int, roll);
        QFETCH(QString, report);
        QFETCH(QString, output);
        GameWindow game;
        game.setBalance(QStringLiteral("10"));
        // Read the output area's text before it can go.
        const bool outputStays = gone != QStringLiteral("Picture1");
        delete game.control(gone.toStdString());
        game.clock().setForRoll(roll);
        QCOMPARE(clickAndReadReport(game, button.toStdString()), report);
        if (outputStays) {
            QCOMPARE(game.output(), output);
        } else {
            QCOMPARE(game.field().text(), QStringLiteral("10"));
        }
        QVERIFY(game.window().isVisible());
        QCOMPARE(clickAndReadReport(game, button.toStdString()), report);
    }
};

QTEST_MAIN(ErrorsTest)
#include "tst_errors.moc"
