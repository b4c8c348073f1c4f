#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bp::driver {

struct ScriptLine {
    int number = 0;
    std::string text; // as written, without surrounding blanks
};

// The lines of a script, read once. Commands are taken one at a time by
// whichever loop runs, the top one or one inside a modal dialog.
class Script {
  public:
    // "-" reads standard input. Empty on failure, with the reason in error.
    static std::optional<Script> load(const std::string& path, std::string& error);

    // The next command line, skipping blank lines and "#" comments.
    std::optional<ScriptLine> next();
    int lineCount() const { return static_cast<int>(m_lines.size()); }

  private:
    std::vector<std::string> m_lines;
    std::size_t m_next = 0;
};

// Replaces each ${NAME} by the environment variable NAME; throws
// ScriptError for an unset variable or an unclosed "${".
std::string substituteEnvironment(std::string_view text);

// Turns \n \r \t \\ \" into the characters they name; throws on any other
// escape.
std::string unescape(std::string_view text);

// Reads the words of one command line. A word in double quotes loses them
// and may hold blanks; "rest" takes everything left, losing one pair of
// enclosing quotes, so that "" is the empty text.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    bool atEnd();
    std::string word(const char* what);
    std::optional<std::string> optionalWord();
    std::string rest(const char* what);
    std::optional<std::string> optionalRest();
    // Whether the rest of the line begins with a double quote.
    bool quotedNext();
    int integer(const char* what);
    void end(); // throws when anything is left

  private:
    void skipBlanks();

    std::string_view m_text;
    std::size_t m_pos = 0;
};

int parseInteger(std::string_view text, const char* what);
float parseFloat(std::string_view text, const char* what);
double parseDouble(std::string_view text, const char* what);

} // namespace bp::driver
