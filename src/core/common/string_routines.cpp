#include "core/common/string_routines.h"

#include <algorithm>

namespace bp {

namespace {
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

int SkipDelimiter(std::string_view text, int start, char delimiter, int direction) {
    const int step = direction == -1 ? -1 : 1;
    const int size = static_cast<int>(text.size());
    for (int p = start; p >= 1 && p <= size; p += step) {
        if (lower(text[static_cast<std::size_t>(p - 1)]) != lower(delimiter))
            return p;
    }
    return 0;
}

std::optional<std::array<std::string, 3>> ThirdToFifthWords(std::string_view line) {
    // LDraw separates words by blanks and tabs alike.
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::array<std::string, 3> words;
    std::size_t p = 0;
    for (int word = 1; word <= 5; ++word) {
        while (p < line.size() && isBlank(line[p]))
            ++p;
        const std::size_t begin = p;
        while (p < line.size() && !isBlank(line[p]))
            ++p;
        if (p == line.size())
            return std::nullopt; // the word runs to the end of the line
        if (word >= 3)
            words[static_cast<std::size_t>(word - 3)] = std::string(line.substr(begin, p - begin));
    }
    return words;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool containsNoCase(std::string_view text, std::string_view needle) {
    if (needle.empty())
        return true;
    auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                          [](char x, char y) { return lower(x) == lower(y); });
    return it != text.end();
}

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upper);
    return out;
}

std::vector<std::string> splitArguments(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    auto finish = [&] {
        // A quote that opens the word and closes only at its end, or never,
        // encloses the whole word.
        if (word.size() >= 1 && word.front() == '"') {
            const std::size_t close = word.find('"', 1);
            if (close == std::string::npos)
                word.erase(0, 1);
            else if (close == word.size() - 1)
                word = word.substr(1, word.size() - 2);
        }
        words.push_back(std::move(word));
        word.clear();
        inWord = false;
    };
    for (char c : text) {
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                finish();
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        word += c;
        inWord = true;
    }
    if (inWord)
        finish();
    return words;
}

} // namespace bp
