// Scene files against the option value: the bytes every version writes, the
// read-back of each field family, and what the reader tolerates or refuses.

#include "core/options/scene_format.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "null_platform.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>

namespace bp {
namespace {

using enum switches::Id;

constexpr Check T = Check::Ticked;

std::array<std::string, 3> v(const char* a, const char* b, const char* c) {
    return {a, b, c};
}

// Every scene field away from its default, each as a reader gives it back.
Options sample() {
    Options o;
    o.cameraGlobe = o.ticks[CameraAngle] = o.lightGlobe = o.background = o.floor = o.lookAt =
        o.ticks[Colour] = T;
    o.ticks[ModelLights] = o.ticks[Bumps] = o.ticks[Overwrite] = o.ticks[SeamWidth] =
        o.ticks[Quality] = T;
    o.cameraValue = v("7", "-300", "0.5");
    o.values[CameraAngle] = "22.5";
    o.lights.light(1) = {{10, 20, 30}, {0.5f, 0.25f, 1}, 0};
    o.lights.light(kLights) = {{-1, 2, 3}, {1, 1, 1}, 1};
    o.backgroundColour = v("255", "128", "12");
    o.floorType = "c";
    o.floorY = "-24";
    o.values[SeamWidth] = "0.5";
    o.values[Quality] = "3";
    o.ticks[Primitives] = Check::Greyed;
    o.values[Colour] = "Dk Pink";
    o.ticks[StepClock] = o.ticks[ExcludeNonPov] = o.ticks[Lgeo] = o.render = T;
    o.lookAtValue = v("1", "2", "3");
    RenderSettings& r = o.renderSettings;
    r.outputFile = "my out.bmp";
    r.fileType = 1;
    r.fileTypeText = "N - New PNG";
    r.width = "800";
    r.height = "600";
    r.antiAlias = T;
    r.initialFrame = "2";
    r.finalFrame = "10";
    r.initialClock = "0";
    r.finalClock = "1";
    r.additional = "+A0.3 +L\"my lib\"";
    return o;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

const std::string kSample = "1,0,7,-300,0.5,1,22.5\r\n"
                            "0,1,1,0\r\n"
                            "10,20,30,0.5,0.25,1,0," +
                            repeat("0,0,0,0,0,0,0,", 18) +
                            "-1,2,3,1,1,1,1,1,255,128,12\r\n"
                            "1,c,-24\r\n"
                            "1,1,0.5,1,3,1,2,1,\"Dk Pink\"\r\n"
                            "1,1,1,1\r\n"
                            "1,1,2,3\r\n"
                            "\"my out.bmp\"\r\n"
                            "1,800,600,1,2,10,0,1,\"+A0.3 +L\"\"my lib\"\"\"\r\n";

// The sample text up to the end of a line (1 to 9).
std::string firstLines(int lines) {
    std::size_t end = 0;
    while (lines-- > 0)
        end = kSample.find("\r\n", end) + 2;
    return kSample.substr(0, end);
}

// The sample text with one unquoted field (numbered from 1 in file order)
// replaced.
std::string withField(int field, const std::string& text) {
    std::size_t start = 0;
    for (int f = 1; f < field; ++f) {
        start = kSample.find_first_of(",\r", start);
        start += kSample[start] == '\r' ? 2 : 1;
    }
    const std::size_t end = kSample.find_first_of(",\r", start);
    return kSample.substr(0, start) + text + kSample.substr(end);
}

TEST(SceneFormat, WritesTheSampleByteForByteAndReadsItBack) {
    EXPECT_EQ(writeScene(sample()), kSample);
    Options transparent = sample();
    transparent.renderSettings.transparentBackground = T;
    EXPECT_EQ(writeScene(transparent), kSample + "1\r\n");
    const Scene scene = readScene(kSample);
    EXPECT_EQ(scene.options, sample());
    EXPECT_EQ(scene.fields, kSceneFields);
    EXPECT_EQ(scene.end, SceneEnd::Whole);
    EXPECT_FALSE(scene.colourDefault || scene.switchesDefault || scene.renderDefault);
}

struct ReadRow {
    const char* name;
    std::string text;
    std::function<void(Options&)> expect; // applied to the sample's value
    int fields = kSceneFields;
    SceneEnd end = SceneEnd::Whole;
};

class SceneRead : public testing::TestWithParam<ReadRow> {};

TEST_P(SceneRead, GivesTheValue) {
    const ReadRow& row = GetParam();
    const Scene scene = readScene(row.text);
    Options expected = sample();
    row.expect(expected);
    EXPECT_EQ(scene.fields, row.fields);
    EXPECT_EQ(scene.end, row.end);
    if (row.end == SceneEnd::Whole) {
        EXPECT_EQ(scene.options, expected);
    }
}

// Fields 1 to 7 are line 1, the light numbers 12 to 151, the floor type 157,
// the colour 166 and 167, the file type 177.
const ReadRow kReadRows[] = {
    {"numbers_come_back_as_a_number_box_shows_them", withField(3, "007"),
     [](Options& o) { o.cameraValue[0] = "7"; }},
    {"empty_number_reads_0", withField(7, ""), [](Options& o) { o.values[CameraAngle] = "0"; }},
    {"word_reads_as_its_leading_number", withField(4, " 12ab  "),
     [](Options& o) { o.cameraValue[1] = "12"; }},
    {"float_precision", withField(5, "100.50000001"),
     [](Options& o) { o.cameraValue[2] = "100.5"; }},
    {"inf_is_a_word", withField(3, "inf"), [](Options& o) { o.cameraValue[0] = "0"; }},
    {"beyond_a_float_kept_at_its_limit", withField(4, "-1e39"),
     [](Options& o) { o.cameraValue[1] = "-3.402823E+38"; }},
    {"below_a_float_0", withField(5, "1e-60"), [](Options& o) { o.cameraValue[2] = "0"; }},
    {"check_rounds_halves_to_even", withField(1, "2.5"),
     [](Options& o) { o.cameraGlobe = Check::Greyed; }},
    {"check_rounds_to_zero", withField(1, "-0.4"),
     [](Options& o) { o.cameraGlobe = Check::Clear; }},
    {"check_3_refused", withField(6, "3"), [](Options&) {}, 5, SceneEnd::Refused},
    {"check_minus_1_refused", withField(1, "-1"), [](Options&) {}, 0, SceneEnd::Refused},
    {"light_number_as_float", withField(15, "0.1"),
     [](Options& o) { o.lights.light(1).colour[0] = 0.1f; }},
    {"quality_normalised", withField(163, "03.0"), [](Options&) {}},
    {"file_type_last_item", withField(177, "4"),
     [](Options& o) {
         o.renderSettings.fileType = 4, o.renderSettings.fileTypeText = "T - Uncompressed Targa";
     }},
    {"file_type_none", withField(177, "-1"),
     [](Options& o) { o.renderSettings.fileType = -1, o.renderSettings.fileTypeText = ""; }},
    {"file_type_past_the_list_refused", withField(177, "5"), [](Options&) {}, 176,
     SceneEnd::Refused},
    {"file_type_below_none_refused", withField(177, "-2"), [](Options&) {}, 176, SceneEnd::Refused},
    {"blanks_before_fields_and_after_unquoted_ones", withField(157, "  c \t"), [](Options&) {}},
    {"text_after_a_closing_quote_dropped", withField(167, "\"Red\"junk"),
     [](Options& o) { o.values[Colour] = "Red"; }},
    {"unclosed_quote_ends_the_file", firstLines(8) + "1,800,600,1,2,10,0,1,\"+A0.3\r\n",
     [](Options&) {}, 184, SceneEnd::Ended},
    {"line_feeds_alone",
     [] {
         std::string t;
         for (char c : kSample)
             if (c != '\r')
                 t += c;
         return t;
     }(),
     [](Options&) {}},
    {"blank_lines_at_the_end", kSample + "\r\n  \n\t\r\n", [](Options&) {}},
    {"empty_file", "", [](Options&) {}, 0, SceneEnd::Ended},
    {"ends_inside_the_lights", kSample.substr(0, kSample.find("-1,2")), [](Options&) {}, 144,
     SceneEnd::Ended},
    {"ends_inside_section_a", firstLines(4) + "1,1,0.5,1,3,1,2,1\r\n", [](Options&) {}, 166,
     SceneEnd::Ended},
    {"ends_inside_section_c", firstLines(8) + "1,800\r\n", [](Options&) {}, 178, SceneEnd::Ended},
    {"section_d_transparent_background", kSample + "1\r\n",
     [](Options& o) { o.renderSettings.transparentBackground = T; }, kSceneFields + 1},
    {"section_d_refuses_a_check_state_of_3", kSample + "3\r\n", [](Options&) {}, kSceneFields,
     SceneEnd::Refused},
    {"field_too_long", withField(157, std::string(70000, 'c')), [](Options&) {}, 156,
     SceneEnd::Ended},
};

INSTANTIATE_TEST_SUITE_P(Rows, SceneRead, testing::ValuesIn(kReadRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that stops where a section begins gives that section and those after
// it their defaults; section B's look-at fields stay as they were.
TEST(SceneFormat, LeftOutSectionsGetTheirDefaults) {
    const std::string required = firstLines(4) + "1,1,0.5,1,3,1,2\r\n";
    for (const auto& [text, fields, a, b] :
         {std::tuple{required, 165, true, true}, std::tuple{firstLines(5), 167, false, true},
          std::tuple{firstLines(7), 175, false, false}}) {
        const Scene scene = readScene(text);
        EXPECT_EQ(scene.end, SceneEnd::Whole);
        EXPECT_EQ(scene.fields, fields);
        EXPECT_EQ(scene.colourDefault, a);
        EXPECT_EQ(scene.switchesDefault, b);
        EXPECT_TRUE(scene.renderDefault);
        const Options& o = scene.options;
        EXPECT_EQ(o.ticks[Colour], a ? Check::Clear : T);
        for (Check c : {o.ticks[StepClock], o.ticks[ExcludeNonPov], o.ticks[Lgeo], o.render})
            EXPECT_EQ(c, b ? Check::Clear : T);
        EXPECT_EQ(o.lookAtValue[0], b ? "" : "1");
        RenderSettings defaults;
        defaults.antiAlias = T;
        EXPECT_EQ(o.renderSettings, defaults);
    }
}

// Typed texts that would break the file's fields are written so that they
// read back: "," in numbers as ".", a leading quote or a line end quoted.
TEST(SceneFormat, TypedTextsSurviveTheFile) {
    Options o = sample();
    o.values[SeamWidth] = "0,5";
    o.floorY = "\"-24";
    o.floorType = "g\r\nx";
    o.values[Colour] = "say \"hi\", twice";
    o.renderSettings.additional = "\"";
    const Scene scene = readScene(writeScene(o));
    ASSERT_EQ(scene.end, SceneEnd::Whole);
    EXPECT_EQ(scene.options.values[SeamWidth], "0.5");
    EXPECT_EQ(scene.options.floorY, "\"-24");
    EXPECT_EQ(scene.options.floorType, "g\r\nx");
    EXPECT_EQ(scene.options.values[Colour], o.values[Colour]);
    EXPECT_EQ(scene.options.renderSettings.additional, "\"");
}

// A scene applied to the window, saved from it and opened in a new window
// gives the same command line and the same file, byte for byte, for each
// field family; colour values show as the whole numbers they were typed as.
TEST(SceneFormat, SavedAndReopenedInTheWindowGivesTheSameCommandLine) {
    const std::pair<const char*, std::function<void(Options&)>> rows[] = {
        {"defaults", [](Options&) {}},
        {"sample", [](Options& o) { o = sample(); }},
        {"light colour 160",
         [](Options& o) {
             o.lightGlobe = T;
             o.lights.light(1).position = {45, 30, 0};
             o.lights.light(1).colour[0] = 0.627f;
         }},
        {"cartesian and the other values",
         [](Options& o) {
             o.cameraCartesian = o.lightCartesian = o.lookAt = o.background = o.floor = T;
             o.ticks[SeamWidth] = o.ticks[Quality] = o.render = o.ticks[Colour] = o.ticks[Bumps] =
                 T;
             o.ticks[Overwrite] = o.ticks[Primitives] = o.ticks[DefaultLights] =
                 o.ticks[StepClock] = T;
             o.cameraValue = v("10", "-20.5", "300");
             o.lookAtValue = v("0", "-8", "1.25");
             o.lights.light(2) = {{-100, 50, 25.5f}, {0.502f, 1, 0.2f}, 1};
             o.backgroundColour = v("0", "64", "160");
             o.floorType = "c", o.floorY = "-8", o.values[SeamWidth] = "0.25",
             o.values[Quality] = "2";
             o.values[Colour] = "Dk Pink", o.renderSettings = sample().renderSettings;
         }},
    };
    for (const auto& [what, change] : rows) {
        null::NullPlatform p1, p2;
        Platform platform1 = p1.platform(), platform2 = p2.platform();
        App first(platform1), second(platform2);
        Options o;
        change(o);
        ASSERT_TRUE(first.main().applyScene(readScene(writeScene(o)))) << what;
        BuildCommandLine(first.main());
        const std::string saved = writeScene(first.main().options());
        ASSERT_TRUE(second.main().applyScene(readScene(saved))) << what;
        BuildCommandLine(second.main());
        EXPECT_EQ(second.main().Txt_CommandLine.text(), first.main().Txt_CommandLine.text())
            << what;
        EXPECT_EQ(writeScene(second.main().options()), saved) << what;
    }
    null::NullPlatform p;
    Platform platform = p.platform();
    App app(platform);
    Options o;
    o.lightGlobe = T;
    o.lights.light(1).colour[0] = 0.627f;
    ASSERT_TRUE(app.main().applyScene(readScene(writeScene(o))));
    EXPECT_EQ(app.main().Txt_LightValue[3].text(), "160");
}

} // namespace
} // namespace bp
