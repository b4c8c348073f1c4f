#pragma once

#include <optional>
#include <string>

namespace bp::driver {

struct Options {
    bool echo = false;
    std::optional<std::string> programDir;
    std::optional<std::string> configDir;
    std::optional<std::string> povray; // "" when --povray none
    double timerScale = 1.0;
    std::string script;
};

// Reads the driver's own command line; empty with the reason in error when
// it cannot be used.
std::optional<Options> parseOptions(int argc, char** argv, std::string& error);

extern const char* const kUsage;

} // namespace bp::driver
