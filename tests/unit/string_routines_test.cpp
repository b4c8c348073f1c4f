#include "core/common/string_routines.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Words = std::array<std::string, 3>;

TEST(StringRoutines, SkipDelimiterFindsTheFirstOtherCharacter) {
    const struct {
        const char* text;
        int start;
        char delimiter;
        int direction;
        int expected;
    } cases[] = {{"   ab", 1, ' ', 1, 4}, {"ab", 1, ' ', 1, 1},     {"   ab", 6, ' ', 1, 0},
                 {"ab   ", 3, ' ', 1, 0}, {"ab   ", 5, ' ', -1, 2}, {"   ab", 3, ' ', -1, 0},
                 {"ab", 0, ' ', 1, 0},    {"", 1, ' ', 1, 0},       {"  a", 1, ' ', 0, 3},
                 {"  a", 1, ' ', 2, 3},   {"xXab", 1, 'x', 1, 3},   {"xXab", 1, 'X', 1, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(bp::SkipDelimiter(c.text, c.start, c.delimiter, c.direction), c.expected)
            << '"' << c.text << "\" from " << c.start;
}

TEST(StringRoutines, ThirdToFifthWords) {
    const struct {
        const char* line;
        std::optional<Words> expected;
    } cases[] = {{"1  16   0 -24    -100  1 0 0 0 1 0 0 0 1 camera.dat", Words{"0", "-24", "-100"}},
                 {"   1 16 0 -24 -100 1 0 0 0 1 0 0 0 1 camera.dat", Words{"0", "-24", "-100"}},
                 {"1 16 0 -24 -100 ", Words{"0", "-24", "-100"}},
                 {"1 16 0 -24 -100", std::nullopt},
                 {"1 16 0 -24", std::nullopt},
                 {"", std::nullopt},
                 {"    ", std::nullopt},
                 // LDraw allows tabs between words, alone or mixed with blanks.
                 {"1\t16\t10\t20\t30\t1 0 0 0 1 0 0 0 1 camera.dat", Words{"10", "20", "30"}},
                 {"\t1 \t16\t 0\t-24 -100\t", Words{"0", "-24", "-100"}}};
    for (const auto& c : cases)
        EXPECT_EQ(bp::ThirdToFifthWords(c.line), c.expected) << c.line;
}

// Only ASCII letters fold; bytes of other characters compare as they are.
TEST(StringRoutines, ComparesIgnoringAsciiCase) {
    const struct {
        const char* a;
        const char* b;
        bool equals;
        bool contains; // a contains b
    } cases[] = {{"LEdit.exe", "ledit.EXE", true, true},
                 {"abc", "abd", false, false},
                 {"abc", "ab", false, true},
                 {"ab", "abc", false, false},
                 {"My Model.DAT", ".dat", false, true},
                 {"", "", true, true},
                 {"abc", "", false, true},
                 {"", "a", false, false},
                 {"\xC3\x84", "\xC3\xA4", false, false},
                 {"[", "{", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(bp::equalsNoCase(c.a, c.b), c.equals) << c.a << " " << c.b;
        EXPECT_EQ(bp::containsNoCase(c.a, c.b), c.contains) << c.a << " " << c.b;
    }
    EXPECT_EQ(bp::toLowerAscii("LDraw.INI \xC3\x84"), "ldraw.ini \xC3\x84");
    EXPECT_EQ(bp::toUpperAscii("l3p.exe_@[`{"), "L3P.EXE_@[`{");
}

} // namespace
