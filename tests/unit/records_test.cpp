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
    for (Light& light : t.lights)
        light.colour = {1, 1, 1};
    return t;
}

TEST(UserLightingRecord, WritesTheStudioExample) {
    LightTable t = whiteTable();
    t.light(1).position = {45, 30, 0};
    t.light(2) = {{30, -60, 500}, {0.502f, 0.502f, 1}, 0};
    EXPECT_EQ(userLightingRecord("Studio", t),
              "Studio,45,30,0,1.000,1.000,1.000,0,30,-60,500,.502,.502,1.000,0");
}

TEST(UserLightingRecord, KeepsEveryLightInUseInItsPlace) {
    // The "3 Lights" scheme: its first light has a longitude of 0.
    LightTable t = whiteTable();
    t.light(1).position = {45, 0, 0};
    t.light(2).position = {30, 120, 0};
    t.light(4).position = {0, 0, 500}; // only a radius; light 3 is not in use
    t.light(4).placement = 1;
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
    LightTable t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Evening,30,45,500,.800,.600,.400,0", t), "Evening");
    EXPECT_EQ(t.light(1), (Light{{30, 45, 500}, {0.8f, 0.6f, 0.4f}, 0}));
    EXPECT_EQ(t.light(2), (Light{{0, 0, 0}, {1, 1, 1}, 0}));
    t = whiteTable();
    parseUserLightingRecord("Cut,10,20,30,1.000", t);
    EXPECT_EQ(t.light(1), (Light{{10, 20, 30}, {1, 0, 0}, 0}));
    t = whiteTable();
    parseUserLightingRecord("Odd,x, 1 5 ,&H10,2.5e1,,-.5,7", t);
    EXPECT_EQ(t.light(1), (Light{{0, 15, 16}, {25, 0, -0.5f}, 7}));
    t = whiteTable();
    EXPECT_EQ(parseUserLightingRecord("Bare", t), "Bare");
    EXPECT_EQ(t.light(1).position[0], 0);
    t = whiteTable();
    parseUserLightingRecord("Old,30,120,0,1.000,1.000,1.000,0", t);
    EXPECT_EQ(t.light(1).position, (std::array<float, 3>{30, 120, 0}));
    EXPECT_FALSE(t.light(2).inUse());
}

} // namespace
} // namespace bp
