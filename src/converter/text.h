#pragma once

#include "switches/switches.h"

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace bp::conv {

// Numbers in a model follow the switches' number rule.
using switches::kLargestNumber;
using switches::NumberRead;
using switches::readNumber;

// Lines longer than this are left out: no name, title or code is that long.
inline constexpr std::size_t kLongestLine = 64 * 1024;

// The lines of a text: LF, CR LF and a lone CR each end one. A UTF-8 byte
// order mark at the start of a line is skipped (files joined into one keep
// theirs).
class LineReader {
  public:
    explicit LineReader(std::string_view text, int firstLine = 1)
        : m_text(text), m_number(firstLine - 1) {}
    bool next(std::string_view& line);
    int number() const { return m_number; }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_number;
};

// Why a number word was refused, for a message naming it.
std::string numberProblem(std::string_view word, NumberRead why);

// Text from a model made safe for the scene's comments and strings: control
// characters (line ends above all, which would end a comment) and broken
// UTF-8 become spaces and '?', '"' becomes '\'' and '\' becomes '/', so it is
// also safe in a string; it is cut to `limit` bytes at a character boundary,
// with "..." where it was cut.
std::string sceneText(std::string_view text, std::size_t limit = 200);

// The first word of POV-Ray code that reads or writes a file ("#fopen",
// "#include", "save_file", ...), or empty; strings and comments are skipped.
// POV-Ray's own I/O restrictions cannot be relied on (Debian's build does
// not enforce them), so code from a model holding one is not written.
std::string fileAccessIn(std::string_view code);

// Text from a model or a setting for a message: control characters become
// '?' (no escape sequence reaches the terminal), cut to `limit` bytes.
std::string messageText(std::string_view text, std::size_t limit = 200);

// Passes what the program prints on to another buffer with every control
// character but line ends and tabs shown as '?': a name from the command line
// or a model reaches the terminal as text, never as an escape sequence.
class PrintableOutput : public std::streambuf {
  public:
    explicit PrintableOutput(std::streambuf* to) : m_to(to) {}

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override { return m_to->pubsync(); }

  private:
    std::streambuf* m_to;
};

} // namespace bp::conv
