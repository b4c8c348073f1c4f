// The stored forms of user views and lighting schemes: what is written must
// read back, and the documented examples must come out to the letter.

#include "core/camera/view_presets.h"
#include "core/lights/lighting_presets.h"

#include <gtest/gtest.h>

namespace bp {
namespace {

TEST(UserViewRecord, WritesTheDocumentedExampleAndReadsBack) {
    EXPECT_EQ(userViewRecord("Close", {30, -60, 250, 0, 40, 1, 0, -24, 0}),
              "Close,30,-60,250,0,40,1,0,-24,0");
    const std::array<float, 9> row{89.99f, -0.5f, 1e8f, 1, 67.38f, 1, 1.5e-5f, -24, 3};
    const auto view = parseUserViewRecord(userViewRecord("Odd numbers", row));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->name, "Odd numbers");
    EXPECT_EQ(view->row, row);
}

TEST(UserViewRecord, ShortRecordReadsZerosOneWithoutCommaIsUnreadable) {
    EXPECT_FALSE(parseUserViewRecord("just a name"));
    const auto view = parseUserViewRecord("Short,45,30");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->row, (std::array<float, 9>{45, 30, 0, 0, 0, 0, 0, 0, 0}));
}

LightTable whiteTable() {
    LightTable t;
    for (int l = 1; l <= 20; ++l)
        for (int v = 4; v <= 6; ++v)
            t.at(l, v) = 1;
    return t;
}

TEST(UserLightingRecord, WritesTheStudioExample) {
    LightTable t = whiteTable();
    t.at(1, 1) = 45;
    t.at(1, 2) = 30;
    t.at(2, 1) = 30;
    t.at(2, 2) = -60;
    t.at(2, 3) = 500;
    t.at(2, 4) = 0.502f;
    t.at(2, 5) = 0.502f;
    EXPECT_EQ(userLightingRecord("Studio", t),
              "Studio,45,30,0,1.000,1.000,1.000,0,30,-60,500,.502,.502,1.000,0");
}

TEST(UserLightingRecord, KeepsEveryLightInUseInItsPlace) {
    // The "3 Lights" scheme: its first light has a longitude of 0.
    LightTable t = whiteTable();
    t.at(1, 1) = 45;
    t.at(2, 1) = 30;
    t.at(2, 2) = 120;
    t.at(4, 3) = 500; // only a radius; light 3 is not in use
    t.at(4, 7) = 1;
    const std::string record = userLightingRecord("Four", t);
    EXPECT_EQ(record, "Four,45,0,0,1.000,1.000,1.000,0,30,120,0,1.000,1.000,1.000,0,"
                      "0,0,0,1.000,1.000,1.000,0,0,0,500,1.000,1.000,1.000,1");
    LightTable back = whiteTable();
    EXPECT_EQ(parseUserLightingRecord(record, back), "Four");
    EXPECT_EQ(back, t);
    EXPECT_EQ(userLightingRecord("None", whiteTable()), "None");
}

TEST(UserLightingRecord, EmptySchemeKeepsTheSchemesAfterIt) {
    // An empty value would end the reading at the next start.
    const std::string record = userLightingRecord("", whiteTable());
    EXPECT_FALSE(record.empty());
    LightTable t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord(record, t), "");
}

// Lights after the last group keep their white; a short last group reads
// zeros; the older form left out the light at 45,0,0 and moved the next up.
TEST(UserLightingRecord, ReadsTheExamplesAndShortForms) {
    const auto lightOne = [](const LightTable& t) {
        std::array<float, 7> values{};
        for (int v = 1; v <= 7; ++v)
            values[v - 1] = t.at(1, v);
        return values;
    };
    LightTable t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Evening,30,45,500,.800,.600,.400,0", t), "Evening");
    EXPECT_EQ(lightOne(t), (std::array<float, 7>{30, 45, 500, 0.8f, 0.6f, 0.4f, 0}));
    EXPECT_EQ(t.at(2, 1), 0);
    EXPECT_EQ(t.at(2, 4), 1);
    t = whiteTable();
    parseUserLightingRecord("Cut,10,20,30,1.000", t);
    EXPECT_EQ(lightOne(t), (std::array<float, 7>{10, 20, 30, 1, 0, 0, 0}));
    t = whiteTable();
    parseUserLightingRecord("Odd,x, 1 5 ,&H10,2.5e1,,-.5,7", t);
    EXPECT_EQ(lightOne(t), (std::array<float, 7>{0, 15, 16, 25, 0, -0.5f, 7}));
    t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Bare", t), "Bare");
    EXPECT_EQ(t.at(1, 1), 0);
    t = whiteTable();
    parseUserLightingRecord("Old,30,120,0,1.000,1.000,1.000,0", t);
    EXPECT_EQ(t.at(1, 1), 30);
    EXPECT_EQ(t.at(1, 2), 120);
    EXPECT_FALSE(t.inUse(2));
}

} // namespace
} // namespace bp
