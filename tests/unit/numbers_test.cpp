#include "core/common/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

using bp::fixedText;
using bp::leadingNumber;
using bp::numberText;
using bp::roundHalfEven;
using bp::toSingle;

struct LeadingCase {
    const char* name;
    const char* text;
    double expected;
};

class LeadingNumberTest : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsLongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(leadingNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    testing::Values(
        LeadingCase{"trailing_letters", "12abc", 12}, LeadingCase{"blank_inside_digits", "1 5", 15},
        LeadingCase{"blanks_tabs_newlines_anywhere", " \t-1\n2 . 5", -12.5},
        LeadingCase{"comma_first", ",5", 0}, LeadingCase{"comma_is_no_separator", "12,5", 12},
        LeadingCase{"fraction_without_digit", ".5", 0.5},
        LeadingCase{"negative_fraction", "-.5", -0.5},
        LeadingCase{"second_point_ends", "1.5.5", 1.5}, LeadingCase{"exponent", "-3.25e2", -325},
        LeadingCase{"exponent_d", "1D3", 1000}, LeadingCase{"exponent_negative", "25E-1", 2.5},
        LeadingCase{"exponent_without_digits", "1e", 1},
        LeadingCase{"exponent_sign_only", "1e+", 1},
        LeadingCase{"exponent_then_letters", "1e5x", 100000}, LeadingCase{"hex", "&H1F", 31},
        LeadingCase{"hex_lower", "&h1f", 31}, LeadingCase{"hex_without_digits", "&H", 0},
        LeadingCase{"octal", "&O17", 15}, LeadingCase{"octal_stops_at_eight", "&O18", 1},
        LeadingCase{"c_hex_is_not_read", "0x1A", 0}, LeadingCase{"empty", "", 0},
        LeadingCase{"letters", "abc", 0}, LeadingCase{"plus", "+4", 4},
        LeadingCase{"minus_only", "-", 0}, LeadingCase{"point_only", ".", 0},
        LeadingCase{"double_sign", "--4", 0}, LeadingCase{"tiny_underflows_to_zero", "1e-400", 0}),
    [](const testing::TestParamInfo<LeadingCase>& info) { return info.param.name; });

TEST(LeadingNumber, OutOfRangeIsInfinityOfItsSign) {
    EXPECT_EQ(leadingNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
    // The callers narrow it; that must not be undefined.
    EXPECT_EQ(toSingle(leadingNumber("1e400")), FLT_MAX);
}

struct SingleCase {
    const char* name;
    double value;
    float expected;
};

class ToSingleTest : public testing::TestWithParam<SingleCase> {};

TEST_P(ToSingleTest, NarrowsToFloat) {
    EXPECT_EQ(toSingle(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ToSingleTest,
    testing::Values(
        SingleCase{"ordinary", 0.1, 0.1f}, SingleCase{"max", FLT_MAX, FLT_MAX},
        SingleCase{"overflow", 1e39, FLT_MAX}, SingleCase{"negative_overflow", -1e39, -FLT_MAX},
        SingleCase{"infinity", std::numeric_limits<double>::infinity(), FLT_MAX},
        SingleCase{"negative_infinity", -std::numeric_limits<double>::infinity(), -FLT_MAX},
        SingleCase{"underflow", 1e-50, 0.0f}, SingleCase{"negative_underflow", -1e-50, 0.0f},
        SingleCase{"nan", std::numeric_limits<double>::quiet_NaN(), 0.0f},
        SingleCase{"smallest_denormal", std::numeric_limits<float>::denorm_min(),
                   std::numeric_limits<float>::denorm_min()}),
    [](const testing::TestParamInfo<SingleCase>& info) { return info.param.name; });

struct TextCase {
    const char* name;
    float value;
    const char* expected;
};

class NumberTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, WritesGeneralFormat) {
    EXPECT_EQ(numberText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextTest,
    testing::Values(
        TextCase{"zero", 0.0f, "0"}, TextCase{"negative_zero", -0.0f, "0"},
        TextCase{"whole", 45.0f, "45"}, TextCase{"negative_whole", -135.0f, "-135"},
        TextCase{"nearest_float", 89.99f, "89.99"}, TextCase{"fraction", 0.5f, "0.5"},
        TextCase{"negative_fraction", -0.75f, "-0.75"},
        TextCase{"colour_product", 128.01f, "128.01"}, TextCase{"two_decimals", 67.38f, "67.38"},
        TextCase{"third", 1.0f / 3.0f, "0.3333333"}, TextCase{"small_fixed", 0.0001f, "0.0001"},
        TextCase{"seven_digits", 1234567.0f, "1234567"},
        TextCase{"largest_whole", 9999999.0f, "9999999"}, TextCase{"ten_million", 1e7f, "1E+07"},
        TextCase{"seven_digits_fraction", 123456.7f, "123456.7"},
        TextCase{"eight_digits", 12345678.0f, "1.234568E+07"}, TextCase{"large", 1e8f, "1E+08"},
        TextCase{"small", 1.5e-5f, "1.5E-05"}, TextCase{"max", FLT_MAX, "3.402823E+38"},
        TextCase{"three_digit_exponent_never", FLT_MIN, "1.175494E-38"}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST(NumberText, DoubleIsNarrowedFirst) {
    EXPECT_EQ(numberText(0.1), "0.1");
    EXPECT_EQ(numberText(1e39), numberText(FLT_MAX));
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), "0");
}

struct RoundTripCase {
    const char* name;
    float value;
};

class NumberTextRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// What is stored as text must come back as the same value to seven digits.
TEST_P(NumberTextRoundTripTest, ReadsBack) {
    const float value = GetParam().value;
    const std::string text = numberText(value);
    const float back = toSingle(leadingNumber(text));
    EXPECT_EQ(numberText(back), text);
    EXPECT_LE(std::fabs(back - value), std::fabs(value) * 1e-6f) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextRoundTripTest,
    testing::Values(RoundTripCase{"tenth", 0.1f}, RoundTripCase{"angle", 89.99f},
                    RoundTripCase{"negative", -300.125f}, RoundTripCase{"third", 1.0f / 3.0f},
                    RoundTripCase{"large", 12345678.0f}, RoundTripCase{"max", FLT_MAX},
                    RoundTripCase{"negative_max", -FLT_MAX}, RoundTripCase{"min_normal", FLT_MIN},
                    RoundTripCase{"denormal", 1e-40f},
                    RoundTripCase{"smallest_denormal", std::numeric_limits<float>::denorm_min()}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

struct FixedCase {
    const char* name;
    double value;
    int decimals;
    const char* expected;
};

class FixedTextTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedTextTest, WritesFixedDecimals) {
    EXPECT_EQ(fixedText(GetParam().value, GetParam().decimals), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedTextTest,
    testing::Values(
        FixedCase{"colour_fraction", 128 / 255.0, 3, "0.502"}, FixedCase{"one", 1.0, 3, "1.000"},
        FixedCase{"zero", 0.0, 3, "0.000"}, FixedCase{"tiny_negative", -0.0001, 3, "0.000"},
        FixedCase{"negative_zero", -0.0, 3, "0.000"}, FixedCase{"negative", -1.25, 2, "-1.25"},
        FixedCase{"rounds", 123.4567, 2, "123.46"}, FixedCase{"no_decimals", 2.0, 0, "2"},
        FixedCase{"negative_rounds_to_zero", -0.4, 0, "0"},
        FixedCase{"nan", std::numeric_limits<double>::quiet_NaN(), 3, "0.000"}),
    [](const testing::TestParamInfo<FixedCase>& info) { return info.param.name; });

struct RoundCase {
    const char* name;
    double value;
    int decimals; // -1: the whole-number form
    double expected;
};

class RoundHalfEvenTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, TiesGoToEven) {
    const RoundCase& c = GetParam();
    const double result =
        c.decimals < 0 ? roundHalfEven(c.value) : roundHalfEven(c.value, c.decimals);
    EXPECT_DOUBLE_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenTest,
                         testing::Values(RoundCase{"tie_up", 127.5, -1, 128},
                                         RoundCase{"tie_down", 128.5, -1, 128},
                                         RoundCase{"negative_tie", -2.5, -1, -2},
                                         RoundCase{"above_tie", 2.5000001, -1, 3},
                                         RoundCase{"decimal_tie_down", 0.5025, 3, 0.502},
                                         RoundCase{"decimal_tie_up", 0.5035, 3, 0.504},
                                         RoundCase{"binary_below_tie_still_tie", 1.005, 2, 1.0},
                                         RoundCase{"binary_tie_odd", 1.015, 2, 1.02},
                                         RoundCase{"negative_decimal_tie", -0.5025, 3, -0.502},
                                         RoundCase{"above_tie_digits", 0.50251, 3, 0.503},
                                         RoundCase{"carry_over", 9.9995, 3, 10.0},
                                         RoundCase{"below_first_kept_digit", 0.0004, 3, 0.0},
                                         RoundCase{"tie_at_first_kept_digit", 0.0005, 3, 0.0},
                                         RoundCase{"odd_first_kept_digit", 0.0015, 3, 0.002},
                                         RoundCase{"far_below", 1e-10, 3, 0.0},
                                         RoundCase{"nothing_to_round", 0.25, 3, 0.25}),
                         [](const testing::TestParamInfo<RoundCase>& info) {
                             return info.param.name;
                         });

// A locale with "," as its decimal separator must change nothing.
TEST(NumbersLocale, PointStaysTheSeparatorUnderGermanLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const double read = leadingNumber("2.5");
    const std::string text = numberText(89.99f);
    const std::string fixed = fixedText(0.5, 3);
    const double rounded = roundHalfEven(0.5035, 3);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_DOUBLE_EQ(read, 2.5);
    EXPECT_EQ(text, "89.99");
    EXPECT_EQ(fixed, "0.500");
    EXPECT_DOUBLE_EQ(rounded, 0.504);
}

} // namespace
