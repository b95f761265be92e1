#include "game_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void captionAndClientSize() {
        GameWindow game;
        QCOMPARE(game.window().windowTitle(), QStringLiteral("Rolling a zemb (1-6)"));
        QCOMPARE(game.window().size(), QSize(340, 241));
    }

    void showsTheIcon() {
        GameWindow game;
        const QList<QSize> sizes = game.window().windowIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)),
                 qPrintable(QDebug::toString(sizes)));
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Text1") << "Text1"
                               << "" << QRect(120, 16, 97, 33);
        QTest::newRow("Picture1") << "Picture1"
                                  << "" << QRect(24, 136, 289, 89);
        QTest::newRow("Command1") << "Command1"
                                  << " (1,2,3)" << QRect(96, 64, 65, 33);
        QTest::newRow("Label1") << "Label1"
                                << "Display" << QRect(144, 112, 41, 25);
        QTest::newRow("Label2") << "Label2"
                                << "initial balance" << QRect(24, 24, 73, 33);
        QTest::newRow("Command2") << "Command2"
                                  << "Start" << QRect(16, 64, 65, 33);
        QTest::newRow("Command3") << "Command3"
                                  << " (4,5,6)" << QRect(176, 64, 65, 33);
        QTest::newRow("Command4") << "Command4"
                                  << "quit" << QRect(256, 64, 65, 33);
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        GameWindow game;
        QWidget* widget = game.control(name.toStdString());
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->geometry(), geometry);
        QVERIFY(widget->isVisible());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QCOMPARE(button->text(), caption);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), caption);
        }
    }

    // Each caption fits inside its control as drawn: buttons on one line
    // within the style's margins, labels within their box, wrapped if need be.
    void captionsFit() {
        GameWindow game;
        for (const char* name : {"Command1", "Command2", "Command3", "Command4"}) {
            auto* button = qobject_cast<QAbstractButton*>(game.control(name));
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(textWidth + 8 <= button->width(), name);
            QVERIFY2(button->fontMetrics().height() + 6 <= button->height(), name);
        }
        for (const char* name : {"Label1", "Label2"}) {
            auto* label = qobject_cast<QLabel*>(game.control(name));
            const QRect bounds = label->fontMetrics().boundingRect(
                label->contentsRect(), Qt::TextWordWrap | int(label->alignment()), label->text());
            QVERIFY2(label->contentsRect().contains(bounds), name);
            // No word is broken inside: each fits on a line of its own.
            for (const QString& word : label->text().split(QLatin1Char(' '))) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(word) <= label->width(), name);
            }
        }
    }

    void startsEmptyWithFocusOnTheField() {
        GameWindow game;
        QVERIFY(game.field().text().isEmpty());
        QVERIFY(game.output().isEmpty());
        QTRY_COMPARE(QApplication::focusWidget(), &game.field());
    }

    // Tab runs from the field to the output area, then through the buttons
    // in tab order and round again; the labels take no focus.
    void tabOrder() {
        GameWindow game;
        QTRY_COMPARE(QApplication::focusWidget(), &game.field());
        const char* expected[] = {"Picture1", "Command1", "Command2",
                                  "Command3", "Command4", "Text1"};
        for (const char* name : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command4"));
        QCOMPARE(game.control("Label1")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(game.control("Label2")->focusPolicy(), Qt::NoFocus);
    }

    // The buttons answer the keyboard: Space, Return and Enter click the one
    // that has the focus.
    void keyboardClicks_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void keyboardClicks() {
        QFETCH(int, key);
        GameWindow game;
        game.setBalance(QStringLiteral("10"));
        game.clock().setForRoll(2);
        QWidget* low = game.control("Command1");
        low->setFocus();
        QTest::keyClick(low, Qt::Key(key));
        QCOMPARE(game.field().text(), QStringLiteral("20"));
    }

    // What stands printed is kept across a repaint, and Ctrl+C on the output
    // area copies it.
    void outputSurvivesRepaintAndCopies() {
        GameWindow game;
        game.setBalance(QStringLiteral("10"));
        game.bet("Command1", 3);
        const QString shown = game.output();
        game.window().hide();
        game.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&game.window()));
        game.window().repaint();
        QCOMPARE(game.output(), shown);
        QWidget* area = game.control("Picture1");
        area->setFocus();
        QTest::keySequence(area, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("The number is 3\nYou won!"));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
