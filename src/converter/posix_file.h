#pragma once

#include <string>

namespace bp::conv {

// The program's scene writer: an unnamed temporary file (O_TMPFILE) in the
// target's folder, given a name only for the instant before it is renamed
// over the target, so that a converter killed at any moment leaves no
// temporary behind; where the file system has no unnamed files, a named
// temporary that later runs remove once its writer is gone. A symbolic link
// stays a link (its target is replaced) and an existing file keeps its mode.
bool writeFileSafely(const std::string& path, const std::string& text, std::string& error);

} // namespace bp::conv
