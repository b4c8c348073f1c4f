#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bp {

// Positions are 1-based, as the callers count them; 0 means none.
int SkipDelimiter(std::string_view text, int start, char delimiter, int direction);

// Words 3, 4 and 5 of a line whose words are separated by blanks or tabs;
// empty when the fifth word is not followed by one.
std::optional<std::array<std::string, 3>> ThirdToFifthWords(std::string_view line);

bool equalsNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view needle);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

// Splits a typed text into arguments at blanks outside double quotes; a pair
// of quotes around a whole argument is removed, quotes inside stay.
std::vector<std::string> splitArguments(std::string_view text);

} // namespace bp
