#include "core/options/option_rules.h"
#include "core/options/scene_format.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "null_platform.h"

#include <gtest/gtest.h>

#include <functional>

namespace bp {
namespace {

using enum switches::Id;

// What a tick or an edit implies for the camera group, one sequence a row,
// as the two modes and the look-at box are designed to move.
struct CameraRow {
    const char* name;
    std::function<void(Options&)> steps;
    Check globe, cartesian, lookAt;
    bool lookAtEnabled;
};

void values(Options& o, const char* a, const char* b, const char* c) {
    rules::cameraValue(o, 0, a);
    rules::cameraValue(o, 1, b);
    rules::cameraValue(o, 2, c);
}

constexpr Check T = Check::Ticked, C = Check::Clear;

const CameraRow kCameraRows[] = {
    {"globe with radius 0",
     [](Options& o) { rules::cameraGlobe(o, T), values(o, "45", "45", "0"); }, T, C, C, false},
    {"globe, then a radius above 0",
     [](Options& o) { rules::cameraGlobe(o, T), values(o, "45", "45", "250"); }, T, C, C, true},
    {"globe, radius not a number",
     [](Options& o) { rules::cameraGlobe(o, T), values(o, "45", "45", "x"); }, T, C, C, false},
    {"globe ticked over given values",
     [](Options& o) { values(o, "1", "2", "3"), rules::cameraGlobe(o, T); }, T, C, C, true},
    {"coordinates with Z empty: offered at once",
     [](Options& o) { values(o, "1", "2", ""), rules::cameraCartesian(o, T); }, C, T, C, true},
    {"coordinates with Z empty, after an edit",
     [](Options& o) {
         values(o, "1", "2", ""), rules::cameraCartesian(o, T), rules::cameraValue(o, 1, "5");
     },
     C, T, C, false},
    {"globe to coordinates",
     [](Options& o) {
         rules::cameraGlobe(o, T), values(o, "45", "45", "0"), rules::cameraCartesian(o, T);
     },
     C, T, C, true},
    {"coordinates with look-at to globe clears the look-at",
     [](Options& o) {
         values(o, "1", "2", "3"), rules::cameraCartesian(o, T), o.lookAt = T;
         rules::cameraGlobe(o, T);
     },
     T, C, C, true},
    {"globe unticked keeps the look-at tick",
     [](Options& o) {
         rules::cameraGlobe(o, T), values(o, "1", "2", "3"), o.lookAt = T;
         rules::cameraGlobe(o, C);
     },
     C, C, T, false},
    {"coordinates unticked clears the look-at",
     [](Options& o) {
         rules::cameraCartesian(o, T), values(o, "1", "2", "3"), o.lookAt = T;
         rules::cameraCartesian(o, C);
     },
     C, C, C, false},
    {"greyed counts as unticked",
     [](Options& o) {
         values(o, "1", "2", "3"), rules::cameraCartesian(o, T),
             rules::cameraCartesian(o, Check::Greyed);
     },
     C, Check::Greyed, C, false},
};

TEST(OptionRules, CameraModesAndTheLookAtBox) {
    for (const CameraRow& row : kCameraRows) {
        Options o;
        row.steps(o);
        EXPECT_EQ(o.cameraGlobe, row.globe) << row.name;
        EXPECT_EQ(o.cameraCartesian, row.cartesian) << row.name;
        EXPECT_EQ(o.lookAt, row.lookAt) << row.name;
        EXPECT_EQ(o.lookAtEnabled, row.lookAtEnabled) << row.name;
    }
}

TEST(OptionRules, LightPlacementAndBoxes) {
    Options o = startingOptions();
    LightBoxes b = startingLightBoxes();
    rules::lightCartesian(o, b, T);
    EXPECT_EQ(o.lightGlobe, C);
    EXPECT_EQ(o.lights.light(1).placement, 1);
    rules::lightCartesian(o, b, C);
    EXPECT_EQ(o.lights.light(1).placement, 0);
    // A colour box stores a fraction with three decimals; an unchanged text
    // stores nothing.
    rules::lightText(o, b, 3, "128");
    EXPECT_EQ(o.lights.light(1).colour[0], 0.502f);
    o.lights.light(1).colour[1] = 0.9999999f;
    rules::showLight(o, b);
    EXPECT_EQ(b.texts[3], "128");
    EXPECT_EQ(o.lights.light(1).colour[0], 0.502f);
    EXPECT_EQ(o.lights.light(1).colour[1], 0.9999999f);
    rules::colourText(o, "Tan");
    EXPECT_EQ(o.colourNumber, 19);
    rules::colourText(o, "16");
    EXPECT_EQ(o.colourNumber, std::nullopt);
}

// The window after its start-up, and a scene opened in it, hold the options
// the rules give without a window.
Options windowOptions(App& app, const Options& rules) {
    Options o = app.main().sceneOptions();
    o.modelFile = rules.modelFile, o.outputFile = rules.outputFile;
    o.modelPath = rules.modelPath, o.povPath = rules.povPath, o.ldrawPath = rules.ldrawPath;
    o.l3pPath = rules.l3pPath, o.lgeoPath = rules.lgeoPath;
    o.renderEnabled = rules.renderEnabled;
    o.renderSettings.povrayWindow = rules.renderSettings.povrayWindow;
    return o;
}

std::string withField(std::string text, int field, const std::string& value) {
    std::size_t start = 0;
    for (int i = 1; i < field; ++i)
        start = text.find_first_of(",\n", start) + 1;
    const std::size_t end = text.find_first_of(",\r", start);
    return text.replace(start, end - start, value);
}

TEST(OptionRules, ScenesLandAsInTheWindow) {
    Options full;
    full.cameraCartesian = full.ticks[CameraAngle] = full.lookAt = full.lightCartesian = T;
    full.cameraValue = {"10", "-20.5", "300"};
    full.lookAtValue = {"0", "-8", "1.25"};
    full.lights.light(1) = {{-100, 50, 25.5f}, {0.1234567f, 1, 0.2f}, 1};
    full.lights.light(2) = {{1, 2, 3}, {0.5f, 0.5f, 0.5f}, 0};
    full.background = full.floor = full.ticks[Quality] = full.ticks[Colour] = T;
    for (const switches::Switch& s : switches::kSwitches)
        if (s.shape == switches::Shape::None && s.id != switches::Id::Update) // -upd has no box
            full.ticks[s.id] = T;
    full.backgroundColour = {"0", "64", "160"};
    full.floorType = "c", full.floorY = "-8", full.values[Quality] = "1",
    full.values[Colour] = "Tan";
    full.renderSettings.fileType = 1;
    full.renderSettings.transparentBackground = T;
    const std::string text = writeScene(full);
    const std::string rows[] = {
        writeScene(Options{}),
        text,
        withField(text, 1, "1"),                    // both modes ticked: the later wins
        withField(withField(text, 2, "0"), 1, "1"), // globe with radius 300
        withField(text, 5, "0"),
        withField(text, 11, "1"),  // both placements
        withField(text, 157, "x"), // a floor type no list holds
        withField(text, 163, "7"), // a quality no list holds
        withField(text, 167, "\"Blue\""),
        withField(text, 167, "\"216\""),
        text.substr(0, text.find("\r\n", text.find("Tan")) + 2), // sections B and C left out
        text.substr(0, 300),                                     // ends early
    };
    for (const std::string& row : rows) {
        null::NullPlatform p;
        Platform platform = p.platform();
        App app(platform);
        app.main().load();
        const Options start = startingOptions();
        ASSERT_EQ(windowOptions(app, start), start);
        const Scene scene = readScene(row);
        const bool set = app.main().applyScene(scene);
        const SceneApplied applied = withScene(start, startingLightBoxes(), scene);
        EXPECT_EQ(applied.refused, !set) << row;
        EXPECT_EQ(windowOptions(app, applied.options), applied.options) << row;
    }
}

} // namespace
} // namespace bp
