#include "core/batch/batch_render.h"
#include "platform/desktop/desktop_platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

using bp::Check;
using bp::RenderRequest;

struct ParseRow {
    std::vector<std::string> args;
    const char* error; // a part of the message; null when the request is good
};

class ParseRenderRequestTest : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseRenderRequestTest, RefusesWhatMakesNoRequest) {
    const auto parsed = bp::parseRenderRequest(GetParam().args);
    if (GetParam().error) {
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_NE(std::get<std::string>(parsed).find(GetParam().error), std::string::npos)
            << std::get<std::string>(parsed);
    } else {
        EXPECT_TRUE(std::holds_alternative<RenderRequest>(parsed));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseRenderRequestTest,
    testing::Values(ParseRow{{"a.ldr", "b.ldr"}, nullptr}, ParseRow{{"--help"}, nullptr},
                    ParseRow{{"--size", "320X240", "--format", "PNG", "a.ldr"}, nullptr},
                    ParseRow{{}, "no model"}, ParseRow{{"--jobs", "2"}, "no model"},
                    ParseRow{{"a.ldr", "--jobs"}, "--jobs needs a value"},
                    ParseRow{{"--jobs", "0", "a.ldr"}, "whole number"},
                    ParseRow{{"--jobs", "2x", "a.ldr"}, "whole number"},
                    ParseRow{{"--frames-per-job", "-1", "a.ldr"}, "whole number"},
                    ParseRow{{"--size", "320", "a.ldr"}, "WIDTHxHEIGHT"},
                    ParseRow{{"--size", "0x240", "a.ldr"}, "WIDTHxHEIGHT"},
                    ParseRow{{"--format", "gif", "a.ldr"}, "png, bmp, tga or ppm"},
                    ParseRow{{"--scene", "", "a.ldr"}, "--scene needs a value"},
                    ParseRow{{"--bogus", "a.ldr"}, "unknown option --bogus"}));

TEST(ParseRenderRequest, TakesEveryOption) {
    const auto r = std::get<RenderRequest>(bp::parseRenderRequest(
        {"--scene", "s.bps", "--output-dir", "out", "--size", "320x240", "--format", "TGA",
         "--jobs", "3", "--frames", "--frames-per-job", "5", "--l3p", "--print-jobs",
         "--transparent-background", "a.ldr", "b c.ldr"}));
    EXPECT_EQ(r.scene, "s.bps");
    EXPECT_EQ(r.outputDir, "out");
    EXPECT_EQ(r.width + "x" + r.height, "320x240");
    EXPECT_EQ(r.format, "tga");
    EXPECT_EQ(r.jobs, 3);
    EXPECT_TRUE(r.frames && r.useL3P && r.printJobs && r.transparentBackground);
    EXPECT_EQ(r.framesPerJob, 5);
    EXPECT_EQ(r.models, (std::vector<std::string>{"a.ldr", "b c.ldr"}));
}

// What a real shell makes of the quoted word is the word itself.
TEST(ShellWord, ShellReadsBackEveryWord) {
    for (const std::string word : {"plain.ldr", "+W320", "two words", "it's", "$HOME", "a\"b",
                                   "back\\slash", "semi;colon", "*.ldr", "", "new\nline"}) {
        const std::string command = "printf '%s|' " + bp::shellWord(word);
        FILE* shell = ::popen(command.c_str(), "r");
        ASSERT_NE(shell, nullptr);
        std::string out;
        char buffer[256];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, shell))
            out.append(buffer, n);
        ::pclose(shell);
        EXPECT_EQ(out, word + "|") << bp::shellWord(word);
    }
    EXPECT_EQ(bp::shellWord("+KFI1"), "+KFI1");
}

class PlanRenderTest : public testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(folder.path() + "my car.ldr")
            << "0 car\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n0 STEP\n0 step\n0 STEP\n";
        std::ofstream(folder.path() + "flat.ldr") << "1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n";
        options.renderSettings.antiAlias = Check::Ticked;
    }
    std::vector<bp::WorkUnit> plan(std::vector<std::string> args) {
        auto r = std::get<RenderRequest>(bp::parseRenderRequest(args));
        return bp::planRender(options, r, tools, files);
    }

    bp::test::TempFolder folder;
    bp::desktop::PosixFileSystem files{"/nonexistent/"};
    bp::Options options;
    bp::RenderTools tools{"/c/convert", "povray"};
};

TEST_F(PlanRenderTest, OneModelIsConvertedThenRendered) {
    const std::string model = folder.path() + "my car.ldr";
    const auto units =
        plan({"--size", "320x240", "--format", "png", "--transparent-background", model});
    ASSERT_EQ(units.size(), 1u);
    const auto& u = units[0];
    EXPECT_EQ(u.failure, "");
    ASSERT_EQ(u.commands.size(), 2u);
    EXPECT_EQ(u.commands[0].program, "/c/convert");
    EXPECT_EQ(u.commands[0].arguments, (bp::Arguments{model, "-o"}));
    EXPECT_EQ(u.commands[1].arguments,
              (bp::Arguments{"+I\"" + folder.path() + "my car.pov\"", "+O\"my car.png\"", "+FN",
                             "+W320", "+H240", "+A", "+UA", "-D"}));
    EXPECT_EQ(u.commands[1].workingDir, folder.path());
    EXPECT_EQ(u.pictures, (std::vector<std::string>{folder.path() + "my car.png"}));
    EXPECT_EQ(bp::shellCommand(u), "cd " + folder.path() + " && /c/convert '" + model +
                                       "' -o && cd " + folder.path() + " && povray '+I\"" +
                                       folder.path() + "my car.pov\"' '+O\"my car.png\"' +FN " +
                                       "+W320 +H240 +A +UA -D");
}

TEST_F(PlanRenderTest, FramesSplitIntoRangesOfTheirOwnScene) {
    const std::string model = folder.path() + "my car.ldr";
    const auto units =
        plan({"--frames", "--frames-per-job", "2", "--output-dir", folder.path() + "out", model});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].label, model + " frames 1-2");
    EXPECT_EQ(units[1].label, model + " frames 3-3");
    const auto& convert = units[1].commands[0].arguments;
    EXPECT_EQ(convert[1], folder.path() + "out/my car-3-3.pov");
    EXPECT_NE(std::find(convert.begin(), convert.end(), "-sc"), convert.end());
    const auto& render = units[1].commands[1].arguments;
    for (const char* a : {"+KFI1", "+KFF3", "+KI1", "+KF3", "+SF3", "+EF3"})
        EXPECT_NE(std::find(render.begin(), render.end(), a), render.end()) << a;
    EXPECT_EQ(units[0].pictures, (std::vector<std::string>{folder.path() + "out/my car1.bmp",
                                                           folder.path() + "out/my car2.bmp"}));
}

TEST_F(PlanRenderTest, ModelsThatCannotRunSayWhy) {
    const auto units = plan({"--frames", folder.path() + "missing.ldr", folder.path() + "flat.ldr",
                             "--output-dir", folder.path() + "my car.ldr/sub"});
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].failure, "model not found");
    EXPECT_NE(units[1].failure.find("cannot use the output folder"), std::string::npos);
    EXPECT_NE(plan({"--frames", folder.path() + "flat.ldr"})[0].failure.find("no STEP lines"),
              std::string::npos);
    tools.povray.clear();
    EXPECT_NE(plan({folder.path() + "flat.ldr"})[0].failure.find("POV-Ray not found"),
              std::string::npos);
}

} // namespace
