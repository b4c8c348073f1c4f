// The stored forms of user views and lighting schemes: what is written must
// read back, and the documented examples must come out to the letter.

#include "core/camera/view_presets.h"
#include "core/lights/lighting_presets.h"

#include <gtest/gtest.h>

namespace bp {
namespace {

TEST(UserViewRecord, WritesTheDocumentedExample) {
    const std::array<float, 9> row{30, -60, 250, 0, 40, 1, 0, -24, 0};
    EXPECT_EQ(userViewRecord("Close", row), "Close,30,-60,250,0,40,1,0,-24,0");
}

TEST(UserViewRecord, ReadsBackWhatItWrites) {
    const std::array<float, 9> row{89.99f, -0.5f, 1e8f, 1, 67.38f, 1, 1.5e-5f, -24, 3};
    const auto view = parseUserViewRecord(userViewRecord("Odd numbers", row));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->name, "Odd numbers");
    EXPECT_EQ(view->row, row);
}

TEST(UserViewRecord, RecordWithoutCommaIsUnreadable) {
    EXPECT_FALSE(parseUserViewRecord("just a name"));
}

TEST(UserViewRecord, ShortRecordReadsZeros) {
    const auto view = parseUserViewRecord("Short,45,30");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->row[0], 45);
    EXPECT_EQ(view->row[1], 30);
    for (std::size_t i = 2; i < 9; ++i)
        EXPECT_EQ(view->row[i], 0) << i;
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

TEST(UserLightingRecord, ReadsTheEveningExample) {
    LightTable t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Evening,30,45,500,.800,.600,.400,0", t), "Evening");
    EXPECT_EQ(t.at(1, 1), 30);
    EXPECT_EQ(t.at(1, 2), 45);
    EXPECT_EQ(t.at(1, 3), 500);
    EXPECT_EQ(t.at(1, 4), 0.8f);
    EXPECT_EQ(t.at(1, 5), 0.6f);
    EXPECT_EQ(t.at(1, 6), 0.4f);
    EXPECT_EQ(t.at(1, 7), 0);
    EXPECT_EQ(t.at(2, 1), 0);
    EXPECT_EQ(t.at(2, 4), 1); // lights after the last group keep their white
}

TEST(UserLightingRecord, ShortLastGroupReadsZeros) {
    LightTable t = whiteTable();
    parseUserLightingRecord("Cut,10,20,30,1.000", t);
    EXPECT_EQ(t.at(1, 3), 30);
    EXPECT_EQ(t.at(1, 4), 1);
    EXPECT_EQ(t.at(1, 5), 0);
    EXPECT_EQ(t.at(1, 6), 0);
}

TEST(UserLightingRecord, NameWithoutCommaIsASchemeWithoutLights) {
    LightTable t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Bare", t), "Bare");
    EXPECT_EQ(t.at(1, 1), 0);
}

TEST(UserLightingRecord, ReadsTheOlderFormThatSkippedLights) {
    // Written before: the light at 45,0,0 was left out and the next moved up.
    LightTable t = whiteTable();
    parseUserLightingRecord("Old,30,120,0,1.000,1.000,1.000,0", t);
    EXPECT_EQ(t.at(1, 1), 30);
    EXPECT_EQ(t.at(1, 2), 120);
    EXPECT_FALSE(t.inUse(2));
}

} // namespace
} // namespace bp
