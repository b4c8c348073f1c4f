#pragma once

#include <string>

namespace bp {

class FileSystem;

// The folder separator of this platform, kept in one place so that a build
// for a system that writes "\" needs to change only this.
inline constexpr char kPathSeparator = '/';

std::string AddBackslash(const std::string& path);
std::string StripBackslash(const std::string& path);
std::string QuoteIfSpaced(const std::string& text);

// Both normalise the caller's folder to end in the separator, as the callers
// rely on.
bool FolderExists(FileSystem& files, std::string& folder);
bool FileExistsIn(FileSystem& files, std::string& folder, const std::string& fileName);

// A root of the file system, where a folder and a file name meet without an
// added separator.
bool isFileSystemRoot(const std::string& path);

// The part after the last separator, and the part up to and including it.
std::string fileNamePart(const std::string& path);
std::string folderPart(const std::string& path);

} // namespace bp
