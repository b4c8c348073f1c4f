#include "core/common/string_routines.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct SkipCase {
    const char* name;
    const char* text;
    int start;
    char delimiter;
    int direction;
    int expected;
};

class SkipDelimiterTest : public testing::TestWithParam<SkipCase> {};

TEST_P(SkipDelimiterTest, FindsFirstOtherCharacter) {
    const SkipCase& c = GetParam();
    EXPECT_EQ(bp::SkipDelimiter(c.text, c.start, c.delimiter, c.direction), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SkipDelimiterTest,
    testing::Values(SkipCase{"forward", "   ab", 1, ' ', 1, 4},
                    SkipCase{"already_other", "ab", 1, ' ', 1, 1},
                    SkipCase{"start_past_end", "   ab", 6, ' ', 1, 0},
                    SkipCase{"start_far_past_end", "   ab", 10, ' ', 1, 0},
                    SkipCase{"runs_off_the_end", "ab   ", 3, ' ', 1, 0},
                    SkipCase{"backward", "ab   ", 5, ' ', -1, 2},
                    SkipCase{"backward_runs_off_start", "   ab", 3, ' ', -1, 0},
                    SkipCase{"start_zero", "ab", 0, ' ', 1, 0},
                    SkipCase{"empty_text", "", 1, ' ', 1, 0},
                    SkipCase{"any_other_direction_is_forward", "  a", 1, ' ', 0, 3},
                    SkipCase{"direction_two_is_forward", "  a", 1, ' ', 2, 3},
                    SkipCase{"delimiter_ignores_case", "xXab", 1, 'x', 1, 3},
                    SkipCase{"upper_delimiter_ignores_case", "xXab", 1, 'X', 1, 3}),
    [](const testing::TestParamInfo<SkipCase>& info) { return info.param.name; });

struct WordsCase {
    const char* name;
    const char* line;
    std::optional<std::array<std::string, 3>> expected;
};

class ThirdToFifthWordsTest : public testing::TestWithParam<WordsCase> {};

TEST_P(ThirdToFifthWordsTest, TakesWordsThreeToFive) {
    EXPECT_EQ(bp::ThirdToFifthWords(GetParam().line), GetParam().expected);
}

using Words = std::array<std::string, 3>;

INSTANTIATE_TEST_SUITE_P(
    Lines, ThirdToFifthWordsTest,
    testing::Values(
        WordsCase{"part_line", "1 16 0 -24 -100 1 0 0 0 1 0 0 0 1 camera.dat",
                  Words{"0", "-24", "-100"}},
        WordsCase{"extra_blanks", "1  16   0 -24    -100  1 0 0 0 1 0 0 0 1 camera.dat",
                  Words{"0", "-24", "-100"}},
        WordsCase{"leading_blanks", "   1 16 0 -24 -100 1 0 0 0 1 0 0 0 1 camera.dat",
                  Words{"0", "-24", "-100"}},
        WordsCase{"fifth_word_then_blank", "1 16 0 -24 -100 ", Words{"0", "-24", "-100"}},
        WordsCase{"fifth_word_ends_line", "1 16 0 -24 -100", std::nullopt},
        WordsCase{"four_words", "1 16 0 -24", std::nullopt},
        WordsCase{"two_words", "1 16", std::nullopt}, WordsCase{"empty", "", std::nullopt},
        WordsCase{"blanks_only", "    ", std::nullopt},
        // LDraw allows tabs between words, alone or mixed with blanks.
        WordsCase{"tabs", "1\t16\t10\t20\t30\t1 0 0 0 1 0 0 0 1 camera.dat",
                  Words{"10", "20", "30"}},
        WordsCase{"tabs_and_blanks", "\t1 \t16\t 0\t-24 -100\t", Words{"0", "-24", "-100"}}),
    [](const testing::TestParamInfo<WordsCase>& info) { return info.param.name; });

struct CompareCase {
    const char* name;
    const char* a;
    const char* b;
    bool equals;
    bool contains; // a contains b
};

class NoCaseTest : public testing::TestWithParam<CompareCase> {};

TEST_P(NoCaseTest, ComparesIgnoringAsciiCase) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(bp::equalsNoCase(c.a, c.b), c.equals);
    EXPECT_EQ(bp::containsNoCase(c.a, c.b), c.contains);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NoCaseTest,
    testing::Values(CompareCase{"same", "LEdit.exe", "LEdit.exe", true, true},
                    CompareCase{"other_case", "LEdit.exe", "ledit.EXE", true, true},
                    CompareCase{"different", "abc", "abd", false, false},
                    CompareCase{"prefix", "abc", "ab", false, true},
                    CompareCase{"longer_needle", "ab", "abc", false, false},
                    CompareCase{"inside_other_case", "My Model.DAT", ".dat", false, true},
                    CompareCase{"empty_both", "", "", true, true},
                    CompareCase{"empty_needle", "abc", "", false, true},
                    CompareCase{"empty_text", "", "a", false, false},
                    // Only ASCII letters fold; bytes of other characters compare as they are.
                    CompareCase{"non_ascii", "\xC3\x84", "\xC3\xA4", false, false},
                    CompareCase{"letters_not_symbols", "[", "{", false, false}),
    [](const testing::TestParamInfo<CompareCase>& info) { return info.param.name; });

TEST(CaseConversion, OnlyAsciiLettersChange) {
    EXPECT_EQ(bp::toLowerAscii("LDraw.INI \xC3\x84"), "ldraw.ini \xC3\x84");
    EXPECT_EQ(bp::toUpperAscii("l3p.exe_@[`{"), "L3P.EXE_@[`{");
}

} // namespace
