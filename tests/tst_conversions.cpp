#include "platform/conversions.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <QTest>

using platform::NumberToText;
using platform::TextToNumber;

class ConversionsTest : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        constexpr double max = std::numeric_limits<double>::max();
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks only") << "   " << 0.0;
        QTest::newRow("whole") << "10" << 10.0;
        QTest::newRow("leading blanks") << "  7" << 7.0;
        QTest::newRow("leading tab") << "\t7" << 7.0;
        QTest::newRow("trailing text") << "12abc" << 12.0;
        QTest::newRow("trailing blank") << "12 " << 12.0;
        QTest::newRow("blank inside ends the number") << "1 2" << 1.0;
        QTest::newRow("negative") << "-20" << -20.0;
        QTest::newRow("plus sign") << "+5" << 5.0;
        QTest::newRow("sign with blank") << "- 5" << 0.0;
        QTest::newRow("two signs") << "--5" << 0.0;
        QTest::newRow("fraction") << "15000.5" << 15000.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("point last") << "5." << 5.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("exponent with sign") << "1E+2" << 100.0;
        QTest::newRow("negative exponent") << "25e-1" << 2.5;
        QTest::newRow("dangling exponent") << "2e" << 2.0;
        QTest::newRow("dangling exponent sign") << "2e+" << 2.0;
        QTest::newRow("exponent alone") << "e5" << 0.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("inf is text") << "inf" << 0.0;
        QTest::newRow("nan is text") << "nan" << 0.0;
        QTest::newRow("hex is text after 0") << "0x1A" << 0.0;
        QTest::newRow("comma ends the number") << "30,000" << 30.0;
        QTest::newRow("largest finite") << "1.7976931348623157e308" << max;
        QTest::newRow("overflow") << "1e309" << max;
        QTest::newRow("negative overflow") << "-1e309" << -max;
        QTest::newRow("many digits overflow") << QString(400, QLatin1Char('9')) << max;
        QTest::newRow("huge exponent") << "1e99999999999999999999999" << max;
        QTest::newRow("underflow") << "1e-400" << 0.0;
        QTest::newRow("huge negative exponent") << "5e-99999999999999999999999" << 0.0;
        QTest::newRow("zero with huge exponent") << "0e99999" << 0.0;
        QTest::newRow("leading zeros then overflow") << "0000.0001e313" << max;
        QTest::newRow("fraction digits then underflow") << "123.4e-330" << 0.0;
        QTest::newRow("subnormal") << "4.9e-324" << std::numeric_limits<double>::denorm_min();
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("\uFF11\uFF12") << 0.0;
    }
    void textToNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const double value = TextToNumber(text.toStdString());
        QCOMPARE(value, expected);
        QVERIFY(std::isfinite(value));
    }

    void numberToText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("opening balance") << 10.0 << "10";
        QTest::newRow("doubled") << 20.0 << "20";
        QTest::newRow("negative") << -40.0 << "-40";
        QTest::newRow("limit") << 30000.0 << "30000";
        QTest::newRow("fraction") << 30001.0 / 2 << "15000.5";
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("large") << 1e21 << "1e+21";
    }
    void numberToText() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(NumberToText(value)), expected);
    }

    // Every finite double survives the trip to text and back; the special
    // values and random bit patterns cover all exponents and both signs.
    void roundTrip() {
        using limits = std::numeric_limits<double>;
        const double special[] = {limits::max(),
                                  -limits::max(),
                                  limits::min(),
                                  -limits::min(),
                                  limits::denorm_min(),
                                  -limits::denorm_min(),
                                  limits::min() / 3,
                                  limits::epsilon(),
                                  1.0 + limits::epsilon(),
                                  0.1,
                                  1.0 / 3,
                                  30000.0,
                                  15000.5,
                                  9007199254740993.0,
                                  -1e-300};
        for (const double value : special) {
            QCOMPARE(TextToNumber(NumberToText(value)), value);
        }
        QVERIFY(!std::signbit(TextToNumber(NumberToText(-0.0))));

        std::mt19937_64 bits(20261208);
        int checked = 0;
        while (checked < 200000) {
            const auto value = std::bit_cast<double>(bits());
            if (!std::isfinite(value)) {
                continue;
            }
            const std::string text = NumberToText(value);
            if (TextToNumber(text) != value) {
                QFAIL(qPrintable(QStringLiteral("%1 read back differently").arg(text.c_str())));
            }
            ++checked;
        }
    }
};

QTEST_APPLESS_MAIN(ConversionsTest)
#include "tst_conversions.moc"
