#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace bp::desktop {

namespace {

bool statPath(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
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

// Sorted by name without regard to case, as the lists are shown.
std::vector<DirEntry> PosixFileSystem::list(const std::string& folder) {
    std::vector<DirEntry> entries;
    try {
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
            entries.push_back({name, isFolder});
        }
        std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
            const std::string la = toLowerAscii(a.name);
            const std::string lb = toLowerAscii(b.name);
            return la != lb ? la < lb : a.name < b.name;
        });
    } catch (...) {
        entries.clear();
    }
    return entries;
}

std::string PosixFileSystem::programFolder() {
    return m_programDir;
}

} // namespace bp::desktop
