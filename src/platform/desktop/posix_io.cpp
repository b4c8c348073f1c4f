#include "platform/desktop/posix_io.h"

#include "core/common/string_routines.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace bp::desktop {

ReadResult readFile(const std::string& path, std::string& content, std::size_t limit,
                    bool* truncated) {
    content.clear();
    if (truncated)
        *truncated = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        const std::size_t room = limit - content.size();
        if (static_cast<std::size_t>(n) > room) {
            content.append(buffer, room);
            if (truncated)
                *truncated = true;
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const std::string& folder) {
    if (folder.empty())
        return false;
    if (isDirectory(folder))
        return true;
    // Each prefix ending before a separator, then the whole path.
    for (std::size_t pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        const std::string part = folder.substr(0, pos);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (pos == std::string::npos)
            break;
    }
    return isDirectory(folder);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> listNames(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(folder.empty() ? "." : folder.c_str()),
                                                ::closedir);
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

std::optional<std::string> findNameNoCase(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return std::nullopt;
    const std::string dir = folder.empty() ? std::string("./") : folder;
    const std::string prefix = dir.back() == '/' ? dir : dir + "/";
    struct stat st {};
    if (::stat((prefix + name).c_str(), &st) == 0)
        return name;
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* e = ::readdir(d.get())) {
        const std::string candidate = e->d_name;
        if (!equalsNoCase(candidate, name) || (best && candidate >= *best))
            continue;
        // A dangling link is no file.
        if (::stat((prefix + candidate).c_str(), &st) == 0)
            best = candidate;
    }
    return best;
}

std::optional<std::string> findOnPath(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    auto runnable = [](const std::string& candidate) {
        struct stat st {};
        return ::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               ::access(candidate.c_str(), X_OK) == 0;
    };
    if (name.find('/') != std::string::npos) {
        if (runnable(name))
            return name;
        return std::nullopt;
    }
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(':', start);
        const std::string_view entry =
            std::string_view(path).substr(start, end == std::string::npos ? end : end - start);
        // An empty entry means the current folder.
        std::string candidate(entry.empty() ? std::string_view(".") : entry);
        if (candidate.back() != '/')
            candidate += '/';
        candidate += name;
        if (runnable(candidate))
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace bp::desktop
