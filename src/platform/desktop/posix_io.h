#pragma once

// Small POSIX helpers shared by the desktop classes; none of them throws
// anything but std::bad_alloc.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace bp::desktop {

enum class ReadResult { Ok, Missing, Failed };

// Reads at most limit bytes of a file; truncated is set when the file held more.
ReadResult readFile(const std::string& path, std::string& content, std::size_t limit,
                    bool* truncated = nullptr);

// Creates a folder with its missing parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

bool isDirectory(const std::string& path);
bool isRegularFile(const std::string& path);

// The names in a folder, without "." and ".."; empty when it cannot be read.
std::vector<std::string> listNames(const std::string& folder);

// A name in a folder, compared without regard to ASCII case: the exact name
// when it exists, else the first match in name order. The name as stored.
std::optional<std::string> findNameNoCase(const std::string& folder, const std::string& name);

// The full path of a program found on PATH, as a shell would find it.
std::optional<std::string> findOnPath(const std::string& name);

} // namespace bp::desktop
