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

// The first position at or after start holding the character, or 0.
int findFrom(std::string_view text, int start, char c) {
    if (start < 1)
        start = 1;
    for (int p = start; p <= static_cast<int>(text.size()); ++p)
        if (text[static_cast<std::size_t>(p - 1)] == c)
            return p;
    return 0;
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
    int p = SkipDelimiter(line, 1, ' ', 1);
    for (int i = 0; i < 2; ++i) {
        if (p == 0)
            return std::nullopt;
        p = findFrom(line, p + 1, ' ');
        if (p == 0)
            return std::nullopt;
        p = SkipDelimiter(line, p, ' ', 1);
    }
    std::array<std::string, 3> words;
    for (int k = 0; k < 3; ++k) {
        if (p == 0)
            return std::nullopt;
        const int e = findFrom(line, p, ' ');
        if (e == 0)
            return std::nullopt; // the word runs to the end of the line
        words[static_cast<std::size_t>(k)] = std::string(
            line.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(e - p)));
        p = SkipDelimiter(line, e, ' ', 1);
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
