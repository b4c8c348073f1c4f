#include "core/l3p/run_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bp;

namespace {

struct ConsoleCase {
    const char* name;
    std::vector<std::string> chunks;
    std::string shown;
};

class ConsoleTextTest : public testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleTextTest, ShowsWhatATerminalWould) {
    ConsoleText console;
    for (const std::string& chunk : GetParam().chunks)
        console.append(chunk);
    EXPECT_EQ(console.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ConsoleTextTest,
    testing::Values(
        ConsoleCase{"lines_cut_anywhere", {"first li", "ne\nsec", "ond\n"}, "first line\nsecond\n"},
        ConsoleCase{"crlf_cut_between_chunks", {"one\r", "\ntwo\r\n"}, "one\ntwo\n"},
        ConsoleCase{"lone_cr_goes_back", {"10%\r", "20%\r100%\n", "done"}, "100%\ndone"},
        ConsoleCase{"what_is_not_overwritten_stays", {"abcdef\rxy\n"}, "xycdef\n"},
        ConsoleCase{"nothing", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConsoleText, KeepsTheLastLinesAndNamesTheLastWritten) {
    ConsoleText console(3);
    const auto pieces = console.append("a\nb\r\n\nc 50%\rc 100%\n  \nd");
    // The open "d" is no piece yet: its end has not come.
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b", "c 50%", "c 100%", "  "}));
    EXPECT_EQ(console.text(), "\nc 100%\n  \nd");
    EXPECT_EQ(console.lastLines(2), (std::vector<std::string>{"c 100%", "d"}));
    console.endLine();
    console.append("e\n");
    EXPECT_EQ(console.text(), "  \nd\ne\n");
}

struct ProgressCase {
    const char* name;
    std::vector<std::string> pieces;
    int percent;
};

class RenderProgressTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(RenderProgressTest, ReadsPovRaysLines) {
    RenderProgress progress;
    for (const std::string& piece : GetParam().pieces)
        readRenderProgress(progress, piece);
    EXPECT_EQ(progress.percent(), GetParam().percent);
}

// The lines as POV-Ray 3.7 writes them, a lone CR between counts.
INSTANTIATE_TEST_SUITE_P(
    Lines, RenderProgressTest,
    testing::Values(
        ProgressCase{"none_yet", {"==== [Rendering...] ====="}, 0},
        ProgressCase{"one_picture",
                     {"Rendered 1024 of 3072 pixels (33%)", "Rendered 2048 of 3072 pixels (66%)"},
                     66},
        ProgressCase{"second_of_three_frames_half_done",
                     {"Rendering frame 1 of 3", "Rendered 768 of 768 pixels (100%)",
                      "Rendering frame 2 of 3", "Rendered 384 of 768 pixels (50%)"},
                     50},
        ProgressCase{"frame_count_resets_the_pixels",
                     {"Rendered 768 of 768 pixels (100%)", "Rendering frame 3 of 4"},
                     50},
        ProgressCase{"not_ours",
                     {"Rendered 5 of 0 pixels", "Rendered 9 of 4 pixels", "Rendered x of 4 pixels",
                      "Rendered 1 of 4 parts", "Rendering frame 0 of 3"},
                     0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenderedPictures, NamedByPovRayAndNumberedForFrames) {
    EXPECT_EQ(renderedPictureName("  Output file..........s.png, 24 bpp PNG"), "s.png");
    EXPECT_EQ(renderedPictureName("  Output file..........my car, v2.bmp, 24 bpp BMP"),
              "my car, v2.bmp");
    EXPECT_EQ(renderedPictureName("  Output file: none"), std::nullopt);
    EXPECT_EQ(renderedPictureName("  Input file: s.pov"), std::nullopt);

    EXPECT_EQ(framePictureNames("car1.png", 3),
              (std::vector<std::string>{"car1.png", "car2.png", "car3.png"}));
    EXPECT_EQ(framePictureNames("/m/v2/car08.tga", 3),
              (std::vector<std::string>{"/m/v2/car08.tga", "/m/v2/car09.tga", "/m/v2/car10.tga"}));
    EXPECT_EQ(framePictureNames("car.png", 3), (std::vector<std::string>{"car.png"}));
    EXPECT_EQ(framePictureNames("car1.png", 1), (std::vector<std::string>{"car1.png"}));
}

TEST(ElapsedText, MinutesAndSecondsThenHours) {
    EXPECT_EQ(elapsedText(0), "0:00");
    EXPECT_EQ(elapsedText(7), "0:07");
    EXPECT_EQ(elapsedText(720), "12:00");
    EXPECT_EQ(elapsedText(3723), "1:02:03");
    EXPECT_EQ(elapsedText(-5), "0:00");
}

} // namespace
