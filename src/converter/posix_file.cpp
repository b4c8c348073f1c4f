#include "converter/posix_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace bp::conv {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string reason(int error, const std::string& path) {
    if (error == ENOSPC || error == EDQUOT)
        return "the disk is full: cannot write \"" + path + "\"";
    return "cannot write \"" + path + "\": " + std::strerror(error);
}

// A symbolic link is followed, so that a scene linked from elsewhere stays a link.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path; // a dangling link is replaced by the file
    std::string result(real);
    std::free(real);
    return result;
}

std::string temporaryPrefix(const std::string& target) {
    return "." + nameOf(target) + ".tmp-";
}

// Named temporaries of writers that are gone ("PREFIX<pid>-<n>") are removed.
void removeAbandoned(const std::string& target) {
    const std::string folder = folderOf(target);
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(folder.c_str()), ::closedir);
    if (!d)
        return;
    const std::string prefix = temporaryPrefix(target);
    while (const dirent* e = ::readdir(d.get())) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(prefix))
            continue;
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash > 9)
            continue;
        pid_t writer = 0;
        for (const char c : rest.substr(0, dash))
            writer = c >= '0' && c <= '9' ? writer * 10 + (c - '0') : -1;
        if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH)
            ::unlink((folder + std::string(name)).c_str());
    }
}

std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return folderOf(target) + temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

bool writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool writeFileSafely(const std::string& path, const std::string& text, std::string& error) {
    const std::string target = resolveTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        error = "cannot replace \"" + path + "\": " +
                (S_ISDIR(old.st_mode) ? "a folder has that name" : "it is not an ordinary file");
        return false;
    }
    removeAbandoned(target);

    std::string named; // empty while the file has no name
    int fd = ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            named = temporaryName(target);
            fd = ::open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            error = reason(errno, path);
            return false;
        }
    }
    int failed = 0;
    const auto check = [&failed](bool ok) {
        if (!ok && failed == 0)
            failed = errno;
        return ok;
    };
    bool ok = !existed || check(::fchmod(fd, old.st_mode & 07777) == 0);
    ok = ok && check(writeAll(fd, text)) && check(::fsync(fd) == 0);
    if (ok && named.empty()) {
        // The name lives only between these two calls.
        named = temporaryName(target);
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        ok = check(::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) ==
                   0);
        if (!ok)
            named.clear();
    }
    ok = check(::close(fd) == 0) && ok;
    ok = ok && check(::rename(named.c_str(), target.c_str()) == 0);
    if (!ok) {
        if (!named.empty())
            ::unlink(named.c_str());
        error = reason(failed ? failed : EIO, path);
        return false;
    }
    return true;
}

} // namespace bp::conv
