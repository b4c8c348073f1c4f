#include "core/options/options.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

using bp::Check;
using bp::Options;
using enum bp::switches::Id;

// A model beside its output, as a fresh window has it.
Options base() {
    Options o;
    o.modelFile = "car.dat";
    o.outputFile = "car.pov";
    o.modelPath = o.povPath = "/m/";
    o.ldrawPath = "/ldraw/";
    o.l3pPath = "/l3p/";
    return o;
}

constexpr Check T = Check::Ticked;

std::array<std::string, 3> v(const char* a, const char* b, const char* c) {
    return {a, b, c};
}

void light(Options& o, int l, float x, float y, float z, float r = 1, float g = 1, float b = 1) {
    o.lights.light(l).position = {x, y, z};
    o.lights.light(l).colour = {r, g, b};
}

struct Row {
    const char* name;
    std::function<void(Options&)> change;
    const char* commandLine;              // the arguments as Txt_CommandLine shows them
    std::vector<std::string> arguments{}; // checked when given
};

class ArgumentsTest : public testing::TestWithParam<Row> {};

TEST_P(ArgumentsTest, ArgumentsAndTheirText) {
    Options o = base();
    GetParam().change(o);
    const auto arguments = bp::l3pArguments(o);
    EXPECT_EQ(bp::commandLineText(arguments), GetParam().commandLine);
    if (!GetParam().arguments.empty()) {
        EXPECT_EQ(arguments, GetParam().arguments);
    }
}

const Row kRows[] = {
    {"model_only", [](Options&) {}, "/m/car.dat", {"/m/car.dat"}},
    {"library_folder_not_named", [](Options& o) { o.modelPath = o.povPath = "/LDraw/parts/"; },
     "car.dat"},
    {"l3p_folder_not_named", [](Options& o) { o.modelPath = o.povPath = "/l3p/"; }, "car.dat"},
    {"output_renamed", [](Options& o) { o.outputFile = "out.pov"; }, "/m/car.dat out.pov"},
    {"output_elsewhere", [](Options& o) { o.povPath = "/p"; }, "/m/car.dat /p/car.pov"},
    {"output_in_root", [](Options& o) { o.modelPath = o.povPath = "/"; }, "/car.dat car.pov"},
    {"folders_equal_ignoring_case", [](Options& o) { o.modelPath = "/L3P/", o.povPath = "/l3P/"; },
     "car.dat"},
    {"output_differs_in_case", [](Options& o) { o.outputFile = "Car.pov"; }, "/m/car.dat Car.pov"},
    {"output_same_base_name", [](Options& o) { o.outputFile = "car.inc"; }, "/m/car.dat"},
    {"output_without_dot", [](Options& o) { o.outputFile = "car"; }, "/m/car.dat car"},
    {"folders_without_separator", [](Options& o) { o.modelPath = "/m", o.povPath = "/p"; },
     "/m/car.dat /p/car.pov"},
    {"empty_output_elsewhere_names_folder",
     [](Options& o) { o.outputFile = "", o.povPath = "/p/"; }, "/m/car.dat /p/"},
    {"library_p_and_models_not_named",
     [](Options& o) { o.modelPath = "/LDRAW/MODELS/", o.povPath = "/ldraw/p/"; },
     "car.dat /ldraw/p/car.pov"},
    {"library_root_and_subfolder_named", [](Options& o) { o.modelPath = "/ldraw/Parts/s/"; },
     "/ldraw/Parts/s/car.dat /m/car.pov"},
    {"names_with_blanks_quoted",
     [](Options& o) { o.modelPath = "/my m/", o.povPath = "/my p/"; },
     "\"/my m/car.dat\" \"/my p/car.pov\"",
     {"/my m/car.dat", "/my p/car.pov"}},
    {"quotes_and_tabs_stay_one_argument",
     [](Options& o) { o.modelFile = "my \"best\" car.dat", o.outputFile = "tab\tcar.pov"; },
     "\"/m/my \"best\" car.dat\" tab\tcar.pov",
     {"/m/my \"best\" car.dat", "tab\tcar.pov"}},
    {"empty_model_keeps_its_place",
     [](Options& o) {
         o.modelFile = o.outputFile = "", o.modelPath = o.povPath = "/l3p/", o.ticks[Bumps] = T;
     },
     " -bu",
     {"", "-bu"}},
    {"camera_globe_radius_defaults_to_0",
     [](Options& o) { o.cameraGlobe = T, o.cameraValue = v("30", "45", ""); },
     "/m/car.dat -cg30,45,0"},
    {"camera_cartesian_needs_all_three",
     [](Options& o) { o.cameraCartesian = T, o.cameraValue = v("1", "2", ""); }, "/m/car.dat"},
    {"camera_value_with_blank_is_one_argument",
     [](Options& o) { o.cameraGlobe = T, o.cameraValue = v("30", "45", "1 5"); },
     "/m/car.dat -cg30,45,1 5",
     {"/m/car.dat", "-cg30,45,1 5"}},
    {"angle_and_look_at",
     [](Options& o) {
         o.cameraCartesian = T, o.cameraValue = v("1", "2", "3"), o.ticks[CameraAngle] = T,
         o.values[CameraAngle] = "67.38", o.lookAt = T, o.lookAtEnabled = true,
         o.lookAtValue = v("0", "-4", "0");
     },
     "/m/car.dat -cc1,2,3 -ca67.38 -cla0,-4,0"},
    {"look_at_disabled_left_out",
     [](Options& o) { o.lookAt = T, o.lookAtValue = v("0", "0", "0"); }, "/m/car.dat"},
    {"lights_in_use_any_position_value",
     [](Options& o) {
         o.ticks[DefaultLights] = o.ticks[ModelLights] = o.lightGlobe = T;
         light(o, 1, 45, 0, 0);
         light(o, 2, 0, 0, 0, 0.5f, 1, 1);
         light(o, 3, 0, 0, 100, 0.502f, 0, 1);
         light(o, 4, 1, 0, 0, 1, 1, 0.5f);
         o.lightCartesian = T;
     },
     "/m/car.dat -ld -l -lg45,0,0 -lg0,0,100,0.502,0,1 -lg1,0,0,1,1,0.5"},
    {"lights_cartesian",
     [](Options& o) {
         o.lightCartesian = T;
         light(o, 20, 1.5f, -2, 3);
     },
     "/m/car.dat -lc1.5,-2,3"},
    {"background_fractions",
     [](Options& o) { o.background = T, o.backgroundColour = v("255", "128", "12abc"); },
     "/m/car.dat -b1.000,0.502,0.047"},
    {"background_black_only_as_0",
     [](Options& o) { o.background = T, o.backgroundColour = v("0", "0", "00"); },
     "/m/car.dat -b0.000,0.000,0.000"},
    {"background_black_left_out",
     [](Options& o) { o.background = T, o.backgroundColour = v("0", "0", "0"); }, "/m/car.dat"},
    {"floor_quality_colour_by_number",
     [](Options& o) {
         o.floor = T, o.floorType = "c", o.floorY = "-10", o.ticks[Quality] = T,
         o.values[Quality] = "3", o.ticks[Colour] = T, o.values[Colour] = "Red", o.colourNumber = 4;
     },
     "/m/car.dat -fc-10 -q3 -c4"},
    {"quality_2_and_typed_colour",
     [](Options& o) {
         o.ticks[Quality] = T, o.values[Quality] = "2", o.ticks[Colour] = T,
         o.values[Colour] = "0x2FF0000";
     },
     "/m/car.dat -c0x2FF0000"},
    {"plain_switches_in_order",
     [](Options& o) {
         o.ticks[Bumps] = o.ticks[SeamWidth] = o.ticks[Lgeo] = o.ticks[Primitives] =
             o.ticks[ExcludeNonPov] = o.ticks[Overwrite] = o.ticks[StepClock] = T;
         o.values[SeamWidth] = "0.5";
     },
     "/m/car.dat -bu -sw0.5 -lgeo -p -enp -o -sc"},
    {"greyed_switch_is_not_ticked", [](Options& o) { o.ticks[Bumps] = Check::Greyed; },
     "/m/car.dat"},
    // The swatch shows a number too large for any type as 255; so does -b.
    {"background_beyond_any_number",
     [](Options& o) { o.background = T, o.backgroundColour = v("1e999", "-1e999", "inf"); },
     "/m/car.dat -b1.000,0.000,0.000"},
};

INSTANTIATE_TEST_SUITE_P(Switches, ArgumentsTest, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PovrayArguments, FromTheRenderSettings) {
    const struct {
        const char* name;
        std::function<void(Options&)> change;
        std::vector<std::string> arguments;
    } rows[] = {
        {"designed_example",
         [](Options& o) {
             o.renderSettings.outputFile = "car.bmp", o.renderSettings.antiAlias = T;
         },
         {"+I/m/car.pov", "+Ocar.bmp", "+FB", "+W640", "+H480", "+A"}},
        {"blanks_quoted_typed_type_first_letter",
         [](Options& o) {
             o.povPath = "/my m/", o.renderSettings.outputFile = "my car.png",
             o.renderSettings.fileTypeText = "png";
         },
         {"+I\"/my m/car.pov\"", "+O\"my car.png\"", "+Fp", "+W640", "+H480"}},
        {"no_image_no_size_additional_split",
         [](Options& o) { o.renderSettings.height = "", o.renderSettings.additional = "-D +Q9"; },
         {"+I/m/car.pov", "-D", "+Q9"}},
        {"step_clock",
         [](Options& o) {
             o.ticks[StepClock] = T,
             o.renderSettings.finalFrame = o.renderSettings.finalClock = "3";
         },
         {"+I/m/car.pov", "+W640", "+H480", "+KFI1", "+KFF3", "+KI1", "+KF3"}},
        {"lgeo_library_path",
         [](Options& o) { o.ticks[Lgeo] = T, o.lgeoPath = "/my lgeo/"; },
         {"+I/m/car.pov", "+W640", "+H480", "+L\"/my lgeo\""}},
        {"lgeo_not_installed",
         [](Options& o) { o.ticks[Lgeo] = T; },
         {"+I/m/car.pov", "+W640", "+H480"}},
        // POV-Ray's "+I" parser fails on these; its keyword form takes them.
        {"quotes_and_separators_by_keyword",
         [](Options& o) {
             o.povPath = "/m;n/", o.outputFile = "it's.pov",
             o.renderSettings.outputFile = "say \"a=b\"#.png", o.ticks[Lgeo] = T,
             o.lgeoPath = "/l[1]/";
         },
         {"Input_File_Name=\"/m;n/it's.pov\"", "Output_File_Name='say \"a=b\"#.png'", "+FB",
          "+W640", "+H480", "Library_Path=\"/l[1]\""}},
        {"transparent_background_is_an_alpha_channel",
         [](Options& o) {
             o.renderSettings.antiAlias = o.renderSettings.transparentBackground = T;
         },
         {"+I/m/car.pov", "+W640", "+H480", "+A", "+UA"}},
        {"step_clock_needs_all_four",
         [](Options& o) { o.ticks[StepClock] = T, o.renderSettings.finalFrame = "3"; },
         {"+I/m/car.pov", "+W640", "+H480"}},
    };
    for (const auto& row : rows) {
        Options o = base();
        row.change(o);
        EXPECT_EQ(bp::povrayArguments(o), row.arguments) << row.name;
    }
}

// Files named like switches reach L3P as "./NAME"; the command line shows
// them as named. Names with a folder and the switches stay as they are.
TEST(RunArguments, FileNamedLikeASwitchIsPassedFromItsFolder) {
    Options o = base();
    o.modelPath = o.povPath = "/l3p/";
    o.modelFile = "-o.dat";
    o.outputFile = "-x.pov";
    o.ticks[Overwrite] = T;
    EXPECT_EQ(bp::commandLineText(bp::l3pArguments(o)), "-o.dat -x.pov -o");
    EXPECT_EQ(bp::l3pRunArguments(o), (std::vector<std::string>{"./-o.dat", "./-x.pov", "-o"}));
    o.modelPath = o.povPath = "/m/";
    EXPECT_EQ(bp::l3pRunArguments(o), (std::vector<std::string>{"/m/-o.dat", "./-x.pov", "-o"}));
}

} // namespace
