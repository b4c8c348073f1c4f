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

bool PosixFileSystem::isOrdinaryFile(const std::string& path) {
    return isRegularFile(path);
}

bool PosixFileSystem::replaceFile(const std::string& path, const std::string& content,
                                  std::string* why) {
    return writeFileAtomically(path, content, why);
}

} // namespace bp::desktop
