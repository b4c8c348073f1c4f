#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bp::driver {

// A mistake in the script: an unknown command, control or property, a
// malformed line. The interpreter reports it with the line's number.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Everything the driver prints goes through here, one line at a time and
// flushed at once, so that the output of started programs and of a crash
// stays in order with it.
class Output {
  public:
    void line(const std::string& text);
    // Reports a script error and ends the driver with a failure status. Used
    // where no exception may travel: inside the core's handlers.
    [[noreturn]] void fail(int lineNumber, const std::string& message);
    // While set, the lines a reading command prints go here instead; what the
    // program does on its own ("! " lines) is still printed.
    void capture(std::vector<std::string>* lines) { m_capture = lines; }
    std::vector<std::string>* capturing() const { return m_capture; }

  private:
    std::vector<std::string>* m_capture = nullptr;
};

// A string as the driver prints it: in double quotes, with \" \\ \r \n \t.
std::string quoted(std::string_view text);
const char* boolText(bool value); // True or False

} // namespace bp::driver
