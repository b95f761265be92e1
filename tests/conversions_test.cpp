#include "platform/conversions.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace {

using platform::NumberToText;
using platform::TextToNumber;
using limits = std::numeric_limits<double>;

struct TextCase {
    std::string name;
    std::string text;
    double expected;
};

class ReadNumber : public testing::TestWithParam<TextCase> {};

TEST_P(ReadNumber, FromText) {
    const double value = TextToNumber(GetParam().text);
    EXPECT_EQ(value, GetParam().expected);
    EXPECT_TRUE(std::isfinite(value));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, ReadNumber,
    testing::Values(
        TextCase{"empty", "", 0.0}, TextCase{"blanks_only", "   ", 0.0},
        TextCase{"whole", "10", 10.0}, TextCase{"leading_blanks", "  7", 7.0},
        TextCase{"leading_tab", "\t7", 7.0}, TextCase{"trailing_text", "12abc", 12.0},
        TextCase{"trailing_blank", "12 ", 12.0},
        TextCase{"blank_inside_ends_the_number", "1 2", 1.0}, TextCase{"negative", "-20", -20.0},
        TextCase{"plus_sign", "+5", 5.0}, TextCase{"sign_with_blank", "- 5", 0.0},
        TextCase{"two_signs", "--5", 0.0}, TextCase{"fraction", "15000.5", 15000.5},
        TextCase{"point_first", ".5", 0.5}, TextCase{"point_last", "5.", 5.0},
        TextCase{"point_alone", ".", 0.0}, TextCase{"exponent", "1.5e3", 1500.0},
        TextCase{"exponent_with_sign", "1E+2", 100.0}, TextCase{"negative_exponent", "25e-1", 2.5},
        TextCase{"dangling_exponent", "2e", 2.0}, TextCase{"dangling_exponent_sign", "2e+", 2.0},
        TextCase{"exponent_alone", "e5", 0.0}, TextCase{"not_a_number", "abc", 0.0},
        TextCase{"inf_is_text", "inf", 0.0}, TextCase{"nan_is_text", "nan", 0.0},
        TextCase{"hex_is_text_after_0", "0x1A", 0.0},
        TextCase{"comma_ends_the_number", "30,000", 30.0},
        TextCase{"largest_finite", "1.7976931348623157e308", limits::max()},
        TextCase{"overflow", "1e309", limits::max()},
        TextCase{"negative_overflow", "-1e309", -limits::max()},
        TextCase{"many_digits_overflow", std::string(400, '9'), limits::max()},
        TextCase{"huge_exponent", "1e99999999999999999999999", limits::max()},
        TextCase{"underflow", "1e-400", 0.0},
        TextCase{"huge_negative_exponent", "5e-99999999999999999999999", 0.0},
        TextCase{"zero_with_huge_exponent", "0e99999", 0.0},
        TextCase{"leading_zeros_then_overflow", "0000.0001e313", limits::max()},
        TextCase{"fraction_digits_then_underflow", "123.4e-330", 0.0},
        TextCase{"subnormal", "4.9e-324", limits::denorm_min()},
        TextCase{"non_ASCII_digits", "\xEF\xBC\x91\xEF\xBC\x92", 0.0}),
    [](const auto& info) { return info.param.name; });

struct NumberCase {
    const char* name;
    double value;
    const char* expected;
};

class WriteNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(WriteNumber, AsText) {
    EXPECT_EQ(NumberToText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, WriteNumber,
    testing::Values(NumberCase{"zero", 0.0, "0"}, NumberCase{"negative_zero", -0.0, "0"},
                    NumberCase{"opening_balance", 10.0, "10"}, NumberCase{"doubled", 20.0, "20"},
                    NumberCase{"negative", -40.0, "-40"}, NumberCase{"limit", 30000.0, "30000"},
                    NumberCase{"fraction", 30001.0 / 2, "15000.5"}, NumberCase{"tenth", 0.1, "0.1"},
                    NumberCase{"large", 1e21, "1e+21"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every finite double survives the trip to text and back; the special
// values and random bit patterns cover all exponents and both signs.
TEST(Conversions, RoundTrip) {
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
        EXPECT_EQ(TextToNumber(NumberToText(value)), value);
    }
    EXPECT_FALSE(std::signbit(TextToNumber(NumberToText(-0.0))));

    std::mt19937_64 bits(20261208);
    int checked = 0;
    while (checked < 200000) {
        const std::uint64_t pattern = bits();
        double value = 0;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = NumberToText(value);
        if (TextToNumber(text) != value) {
            FAIL() << text << " read back differently";
        }
        ++checked;
    }
}

} // namespace
