#pragma once

#include "converter/library.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace bp::conv {

// Exit statuses of a conversion.
enum Status : int {
    kConverted = 0,   // the scene was written
    kFailed = 1,      // nothing was written: the model or the output could not be used
    kUsage = 2,       // an unknown switch or a malformed value; nothing was written
    kWithWarnings = 3 // the scene was written, but files were missing or colours unknown
};

// Runs one conversion as the program does: `args` without the program name.
// Progress goes to `out`, warnings and errors to `err`.
int runConverter(const std::vector<std::string>& args, const Environment& env, std::ostream& out,
                 std::ostream& err);

std::string usageText();

// Writes what `write` streams to `path` through a temporary file in the same
// folder that is renamed over it, so that no reader ever sees half a file.
// If `write` throws, the temporary is removed and the exception passes on.
bool writeFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write,
                         std::string& error);

} // namespace bp::conv
