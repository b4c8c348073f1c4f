#include "core/common/file_routines.h"

#include "core/common/string_routines.h"
#include "core/platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

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

bool FolderExists(FileSystem& files, const std::string& folder) {
    return files.folderExists(AddBackslash(folder));
}

bool FileExistsIn(FileSystem& files, const std::string& folder, const std::string& fileName) {
    if (fileName.empty())
        return files.exists(folder);
    // Names match as the designed file system matched them: without regard
    // to case, although this one tells "L3P.exe" from "l3p.exe".
    return files.findNoCase(AddBackslash(folder), fileName).has_value();
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

bool forEachLine(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file)
        return false;
    // Only a line that spans two blocks is copied, and only up to the cap.
    std::string carried;
    bool carrying = false; // a line began in an earlier block
    std::vector<char> buffer(std::size_t{1} << 16);
    bool afterCR = false;
    auto carry = [&](const char* from, std::size_t size) {
        carried.append(from, std::min(size, kLineKept - std::min(kLineKept, carried.size())));
        carrying = true;
    };
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
        const char* const block = buffer.data();
        const char* const blockEnd = block + n;
        // Line ends are found with memchr, one search for each kind, so the
        // scan runs at memory speed rather than a byte at a time.
        auto find = [blockEnd](const char* from, char c) {
            const void* hit = std::memchr(from, c, static_cast<std::size_t>(blockEnd - from));
            return hit ? static_cast<const char*>(hit) : blockEnd;
        };
        const char* nextLF = find(block, '\n');
        const char* nextCR = find(block, '\r');
        std::size_t start = 0;
        while (true) {
            const char* stop = nextLF < nextCR ? nextLF : nextCR;
            if (stop == blockEnd)
                break;
            const std::size_t i = static_cast<std::size_t>(stop - block);
            const char c = *stop;
            if (c == '\n')
                nextLF = find(stop + 1, '\n');
            else
                nextCR = find(stop + 1, '\r');
            if (c == '\n' && afterCR && i == start && !carrying) {
                // The LF of a CR LF pair: the line has already ended.
                afterCR = false;
                start = i + 1;
                continue;
            }
            if (!carrying) {
                onLine(std::string_view(block + start, std::min(i - start, kLineKept)));
            } else {
                carry(block + start, i - start);
                onLine(carried);
                carried.clear();
                carrying = false;
            }
            afterCR = c == '\r';
            start = i + 1;
        }
        if (start < n) {
            carry(block + start, n - start);
            afterCR = false;
        }
    }
    if (carrying)
        onLine(carried);
    return !std::ferror(file.get());
}

std::optional<int> countStepLines(const std::string& path) {
    int count = 0;
    const bool read = forEachLine(path, [&count](std::string_view line) {
        if (line.size() >= 4 && equalsNoCase(line.substr(line.size() - 4), "STEP"))
            ++count;
    });
    if (!read)
        return std::nullopt;
    return count;
}

std::string proposedOutputName(const std::string& model) {
    const auto dot = model.find('.');
    if (dot != std::string::npos)
        return model.substr(0, dot) + ".pov";
    return model.substr(0, 8) + ".pov";
}

} // namespace bp
