// File-name rules: the 8.3 limit of the old L3P, proposed output names, the
// list patterns, association texts and the line reader.

#include "core/app/startup.h"
#include "core/common/file_routines.h"
#include "core/l3p/run_l3p.h"
#include "core/scene/file_lists.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace bp {
namespace {

TEST(EightDotThree, NamesAsTheOldL3PTakesThem) {
    struct Row {
        const char* name;
        bool breaks;
    };
    const Row rows[] = {{"abcdefgh.dat", false},
                        {"abcdefghi.dat", true},
                        {"abcdefghij", true},
                        {"abcdefgh", false},
                        {"abcdefghi", true},
                        {"a.longextension", false},
                        {"", false},
                        {"abcdefgh.i.dat", false},
                        {"abcdefghi.", true}};
    for (const Row& r : rows)
        EXPECT_EQ(breaks83Rule(r.name), r.breaks) << r.name;
}

TEST(ProposedOutputName, CutsAtTheFirstDot) {
    EXPECT_EQ(proposedOutputName("tractor.mpd"), "tractor.pov");
    EXPECT_EQ(proposedOutputName("car.red.ldr"), "car.pov");
    EXPECT_EQ(proposedOutputName("verylongname"), "verylong.pov");
    EXPECT_EQ(proposedOutputName("out"), "out.pov");
    EXPECT_EQ(proposedOutputName(".hidden"), ".pov");
}

TEST(ListPatterns, MatchWithoutRegardToCase) {
    EXPECT_TRUE(matchesPatterns("CAR.DAT", "*.dat;*.mpd;*.ldr"));
    EXPECT_TRUE(matchesPatterns("house.Ldr", "*.dat;*.mpd;*.ldr"));
    EXPECT_TRUE(matchesPatterns("x.mpd", "*.dat; *.mpd"));
    EXPECT_FALSE(matchesPatterns("car.dat.bak", "*.dat;*.mpd;*.ldr"));
    EXPECT_FALSE(matchesPatterns("dat", "*.dat"));
    EXPECT_TRUE(matchesPatterns("scene.POV", "*.pov"));
}

TEST(Association, ProgramBeforeTheSwitches) {
    EXPECT_EQ(programFromAssociation("C:\\POV\\bin\\render.exe /EDIT \"%1\""),
              "C:\\POV\\bin\\render.exe");
    EXPECT_EQ(programFromAssociation("\"C:\\Program Files\\POV\\pvengine.exe\" /RENDER \"%1\""),
              "C:\\Program Files\\POV\\pvengine.exe");
    EXPECT_EQ(programFromAssociation("C:\\POV\\render.exe"), "");
    EXPECT_EQ(programFromAssociation(""), "");
}

TEST(Arguments, QuotesAroundTheWholeArgumentGo) {
    EXPECT_EQ(unquoteArgument("\"/my models/car.dat\""), "/my models/car.dat");
    EXPECT_EQ(unquoteArgument("/models/car.dat"), "/models/car.dat");
    EXPECT_EQ(unquoteArgument("\""), "\"");
}

// Lines end at LF, CR LF and a lone CR; steps are counted at their line's end.
TEST(LineReader, LinesEndAtLfCrLfAndLoneCr) {
    const bp::test::TempFolder dir;
    const std::string path = dir.path() + "model.ldr";
    std::ofstream(path, std::ios::binary) << "a\r\nb\nc\rd\r\n\r\ne";
    std::vector<std::string> lines;
    ASSERT_TRUE(forEachLine(path, [&](std::string_view l) { lines.emplace_back(l); }));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    EXPECT_FALSE(forEachLine(dir.path() + "missing.ldr", [](std::string_view) {}));
    // A file without line ends is not held whole: its line is cut.
    const std::string endless(5 * kLineKept + 7, 'x');
    std::ofstream(path, std::ios::binary) << endless + "\r\n0 STEP\n" + endless;
    lines.clear();
    ASSERT_TRUE(forEachLine(path, [&](std::string_view l) { lines.emplace_back(l); }));
    const std::string cut(kLineKept, 'x');
    EXPECT_EQ(lines, (std::vector<std::string>{cut, "0 STEP", cut}));
    std::ofstream(path, std::ios::binary)
        << "0 STEP\r\n0 step\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n0 STEP now\r0 Step\r\n"
           "0 NOSTEP\n0 STEP";
    EXPECT_EQ(countStepLines(path), 5);
}

} // namespace
} // namespace bp
