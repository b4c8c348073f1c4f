#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace bp::desktop {

namespace {

bool statPath(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// The pictures folder the desktop names in user-dirs.dirs
// (XDG_PICTURES_DIR="$HOME/Pictures"), else ~/Pictures.
std::string picturesFolder(const std::string& home) {
    std::string configHome = home + "/.config";
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        configHome = xdg;
    std::ifstream dirs(configHome + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(dirs, line)) {
        if (!line.starts_with(key) || line.size() <= key.size() || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.starts_with("$HOME"))
            value = home + value.substr(5);
        // The desktop's way of saying "no pictures folder" is the home itself.
        if (value.starts_with('/') && value != home && value != home + "/")
            return StripBackslash(value);
    }
    return home + "/Pictures";
}

} // namespace

PosixFileSystem::PosixFileSystem(std::string programDir) : m_programDir(AddBackslash(programDir)) {}

// A name starting with "." is this system's hidden file.
bool PosixFileSystem::fileExists(const std::string& path) {
    try {
        struct stat st {};
        return statPath(path, st) && S_ISREG(st.st_mode) && !fileNamePart(path).starts_with('.');
    } catch (...) {
        return false;
    }
}

bool PosixFileSystem::folderExists(const std::string& path) {
    struct stat st {};
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::exists(const std::string& path) {
    return fileExists(path) || folderExists(path);
}

std::optional<std::string> PosixFileSystem::findNoCase(const std::string& folder,
                                                       const std::string& name) {
    try {
        return findNameNoCase(folder, name);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::chrono::system_clock::time_point>
PosixFileSystem::modified(const std::string& path) {
    struct stat st {};
    if (!statPath(path, st))
        return std::nullopt;
    using namespace std::chrono;
    const auto since = seconds(st.st_mtim.tv_sec) + nanoseconds(st.st_mtim.tv_nsec);
    return system_clock::time_point(duration_cast<system_clock::duration>(since));
}

// Sorted by name without regard to case, as the lists are shown. Each name
// is lowered once: a folder may hold tens of thousands of files.
std::vector<DirEntry> PosixFileSystem::list(const std::string& folder) {
    std::vector<DirEntry> entries;
    try {
        struct Keyed {
            std::string lower;
            DirEntry entry;
        };
        std::vector<Keyed> keyed;
        const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(folder.c_str()), ::closedir);
        if (!d)
            return entries;
        const std::string prefix = AddBackslash(folder);
        while (const dirent* e = ::readdir(d.get())) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            bool isFolder = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st {};
                isFolder = statPath(prefix + name, st) && S_ISDIR(st.st_mode);
            }
            keyed.push_back({toLowerAscii(name), {name, isFolder}});
        }
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            const int byLower = a.lower.compare(b.lower);
            return byLower != 0 ? byLower < 0 : a.entry.name < b.entry.name;
        });
        entries.reserve(keyed.size());
        for (Keyed& k : keyed)
            entries.push_back(std::move(k.entry));
    } catch (...) {
        entries.clear();
    }
    return entries;
}

std::string PosixFileSystem::programFolder() {
    return m_programDir;
}

bool PosixFileSystem::canWrite(const std::string& folder) {
    return folderExists(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string PosixFileSystem::homeFolder() {
    return AddBackslash(userHomeFolder());
}

std::string PosixFileSystem::userPicturesFolder() {
    const std::string folder = picturesFolder(StripBackslash(userHomeFolder())) + "/Brickpov";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return canWrite(folder) ? AddBackslash(folder) : std::string();
}

bool PosixFileSystem::isOrdinaryFile(const std::string& path) {
    return isRegularFile(path);
}

bool PosixFileSystem::replaceFile(const std::string& path, const std::string& content,
                                  std::string* why) {
    return writeFileAtomically(path, content, why);
}

} // namespace bp::desktop
