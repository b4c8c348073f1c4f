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

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr float kDenormMin = std::numeric_limits<float>::denorm_min();

TEST(Numbers, LeadingNumberReadsTheLongestLeadingNumber) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        // clang-format off
        {"12abc", 12}, {" \t-1\n2 . 5", -12.5}, {",5", 0}, {"12,5", 12}, {"-.5", -0.5},
        {"1.5.5", 1.5}, {"-3.25e2", -325}, {"1D3", 1000}, {"25E-1", 2.5}, {"1e+", 1},
        {"1e5x", 100000}, {"&h1f", 31}, {"&H", 0}, {"&O18", 1}, {"0x1A", 0}, {"", 0}, {"+4", 4},
        {"-", 0}, {".", 0}, {"--4", 0}, {"1e-400", 0}, {"1e400", kInfinity}, {"-1e400", -kInfinity},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingNumber(c.text), c.expected) << c.text;
}

TEST(Numbers, ToSingleNarrowsWithoutUndefinedResults) {
    const struct {
        double value;
        float expected;
    } cases[] = {{0.1, 0.1f},       {FLT_MAX, FLT_MAX},   {1e39, FLT_MAX},
                 {-1e39, -FLT_MAX}, {kInfinity, FLT_MAX}, {-kInfinity, -FLT_MAX},
                 {-1e-50, 0.0f},    {kNan, 0.0f},         {kDenormMin, kDenormMin}};
    for (const auto& c : cases)
        EXPECT_EQ(toSingle(c.value), c.expected) << c.value;
}

TEST(Numbers, NumberTextWritesGeneralFormat) {
    const struct {
        float value;
        const char* expected;
    } cases[] = {
        // clang-format off
        {-0.0f, "0"}, {-135.0f, "-135"}, {89.99f, "89.99"}, {-0.75f, "-0.75"}, {128.01f, "128.01"},
        {1.0f / 3.0f, "0.3333333"}, {0.0001f, "0.0001"}, {9999999.0f, "9999999"}, {1e7f, "1E+07"},
        {123456.7f, "123456.7"}, {12345678.0f, "1.234568E+07"}, {1.5e-5f, "1.5E-05"},
        {FLT_MAX, "3.402823E+38"}, {FLT_MIN, "1.175494E-38"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberText(c.value), c.expected);
    EXPECT_EQ(numberText(0.1), "0.1");
    EXPECT_EQ(numberText(1e39), numberText(FLT_MAX));
    EXPECT_EQ(numberText(kNan), "0");
}

// What is stored as text must come back as the same value to seven digits.
TEST(Numbers, NumberTextReadsBack) {
    for (const float value : {0.1f, 89.99f, -300.125f, 1.0f / 3.0f, 12345678.0f, FLT_MAX, -FLT_MAX,
                              FLT_MIN, 1e-40f, kDenormMin}) {
        const std::string text = numberText(value);
        const float back = toSingle(leadingNumber(text));
        EXPECT_EQ(numberText(back), text);
        EXPECT_LE(std::fabs(back - value), std::fabs(value) * 1e-6f) << text;
    }
}

TEST(Numbers, FixedTextWritesFixedDecimals) {
    const struct {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        {128 / 255.0, 3, "0.502"}, {1.0, 3, "1.000"}, {-0.0001, 3, "0.000"}, {-1.25, 2, "-1.25"},
        {123.4567, 2, "123.46"},   {2.0, 0, "2"},     {-0.4, 0, "0"},        {kNan, 3, "0.000"}};
    for (const auto& c : cases)
        EXPECT_EQ(fixedText(c.value, c.decimals), c.expected) << c.value;
}

TEST(Numbers, RoundHalfEvenSendsTiesToEven) {
    EXPECT_EQ(roundHalfEven(127.5), 128);
    EXPECT_EQ(roundHalfEven(128.5), 128);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {{0.5025, 3, 0.502},   {0.5035, 3, 0.504},  {1.005, 2, 1.0},   {1.015, 2, 1.02},
                 {-0.5025, 3, -0.502}, {0.50251, 3, 0.503}, {9.9995, 3, 10.0}, {0.0005, 3, 0.0},
                 {0.0015, 3, 0.002},   {1e-10, 3, 0.0},     {0.25, 3, 0.25}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(roundHalfEven(c.value, c.decimals), c.expected) << c.value;
}

// Every whole number of the colour scale comes back from its stored fraction;
// a fraction no whole number gives keeps its exact product.
TEST(Numbers, ColourScaleGivesBackTheWholeNumber) {
    for (int whole = 0; whole <= 510; ++whole) {
        const float stored = bp::toSingle(roundHalfEven(whole / 255.0, 3));
        EXPECT_EQ(bp::colourScale(stored), whole);
    }
    EXPECT_NEAR(bp::colourScale(0.6281f), 160.1655, 1e-4);
}

TEST(Numbers, ZoomStepsInAndOutWithinItsRange) {
    const struct {
        int from, direction, expected;
    } cases[] = {{100, 1, 150},   {100, -1, 75}, {41, 1, 50},      {41, -1, 33},
                 {1600, 1, 1600}, {10, -1, 10},  {5000, -1, 1600}, {1, 1, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(bp::zoomStep(c.from, c.direction), c.expected) << c.from << " " << c.direction;
}

// A locale with "," as its decimal separator must change nothing.
TEST(Numbers, PointStaysTheSeparatorUnderGermanLocale) {
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
