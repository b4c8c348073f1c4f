#include "core/common/file_routines.h"

#include "core/platform/platform.h"

namespace bp {

std::string AddBackslash(const std::string& path) {
    if (!path.empty() && path.back() == kPathSeparator)
        return path;
    return path + kPathSeparator;
}

std::string StripBackslash(const std::string& path) {
    if (!path.empty() && path.back() == kPathSeparator)
        return path.substr(0, path.size() - 1);
    return path;
}

std::string QuoteIfSpaced(const std::string& text) {
    if (text.find(' ') == std::string::npos)
        return text;
    return "\"" + text + "\"";
}

bool FolderExists(FileSystem& files, std::string& folder) {
    folder = AddBackslash(folder);
    return files.folderExists(folder);
}

bool FileExistsIn(FileSystem& files, std::string& folder, const std::string& fileName) {
    if (fileName.empty())
        return files.exists(folder);
    folder = AddBackslash(folder);
    // Names match as the designed file system matched them: without regard
    // to case, although this one tells "L3P.exe" from "l3p.exe".
    return files.findNoCase(folder, fileName).has_value();
}

bool isFileSystemRoot(const std::string& path) {
    return path.size() == 1 && path[0] == kPathSeparator;
}

std::string fileNamePart(const std::string& path) {
    auto pos = path.rfind(kPathSeparator);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string folderPart(const std::string& path) {
    auto pos = path.rfind(kPathSeparator);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

} // namespace bp
