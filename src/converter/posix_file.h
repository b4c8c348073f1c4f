#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace bp::conv {

// The program's scene writer: `bp::posix::replaceFileStreamed` (an unnamed temporary
// renamed over the target, so a converter killed at any moment leaves no
// temporary behind), with its failure as the program reports it. A read-only
// scene is replaced, as a new scene would be written.
bool writeFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write,
                     std::string& error);

} // namespace bp::conv
