#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace bp {

class FileSystem;

// The folder separator of this platform, kept in one place so that a build
// for a system that writes "\" needs to change only this.
inline constexpr char kPathSeparator = '/';

// The path with the platform's folder separator, kPathSeparator, added
// unless it ends in one: the normalised form of a folder. Whatever the
// names say, both work with kPathSeparator ("/" here), never a backslash.
std::string AddBackslash(const std::string& path);
std::string StripBackslash(const std::string& path);
std::string QuoteIfSpaced(const std::string& text);

// Neither changes the folder given; a caller that keeps the folder stores
// AddBackslash(folder). An empty fileName asks whether the folder itself
// exists as any kind of file.
bool FolderExists(FileSystem& files, const std::string& folder);
bool FileExistsIn(FileSystem& files, const std::string& folder, const std::string& fileName);

// A root of the file system, where a folder and a file name meet without an
// added separator.
bool isFileSystemRoot(const std::string& path);

// The part after the last separator, and the part up to and including it.
std::string fileNamePart(const std::string& path);
std::string folderPart(const std::string& path);

// The most of a line forEachLine hands over: a model's lines are short, and a
// file without line ends must not be held whole.
inline constexpr std::size_t kLineKept = std::size_t{1} << 16;

// Calls back with each line of a file; lines end at LF, CR LF or a lone CR.
// Reads in blocks, so memory stays flat whatever the file's size; a line
// longer than kLineKept is handed over cut to its first kLineKept bytes.
// False when the file cannot be opened or a read fails.
bool forEachLine(const std::string& path, const std::function<void(std::string_view)>& line);

// Counts the lines of a model that end in "STEP", without regard to case;
// empty when the file cannot be read.
std::optional<int> countStepLines(const std::string& path);

// The output name proposed for a model: car.red.ldr gives car.pov, a name
// without "." its first eight characters and ".pov".
std::string proposedOutputName(const std::string& model);

} // namespace bp
