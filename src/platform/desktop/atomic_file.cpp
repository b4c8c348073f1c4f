#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace bp::desktop {

namespace {

bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
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

// The file a write lands in: a symbolic link is followed, so that a settings
// file linked from elsewhere stays a link.
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
    return "." + fileNamePart(target) + ".tmp-";
}

// The process id in a temporary's name after its prefix ("PID-COUNTER"), or 0.
pid_t writerOf(std::string_view rest) {
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == rest.size())
        return 0;
    for (std::size_t i = 0; i < rest.size(); ++i)
        if (i != dash && (rest[i] < '0' || rest[i] > '9'))
            return 0;
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

// Removes the temporaries that writers killed mid-write left beside the
// target, so that crashes do not pile them up. Those of live processes may
// still be in use.
void removeAbandonedTemporaries(const std::string& target) {
    const std::string folder = folderPart(target);
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(folder.empty() ? "." : folder.c_str()),
                                                ::closedir);
    if (!d)
        return;
    const std::string prefix = temporaryPrefix(target);
    while (const dirent* e = ::readdir(d.get())) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(prefix))
            continue;
        const pid_t writer = writerOf(name.substr(prefix.size()));
        if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH)
            ::unlink((folder + std::string(name)).c_str());
    }
}

int createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string stem = folderPart(target) + temporaryPrefix(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncFolder(const std::string& target) {
    std::string folder = folderPart(target);
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // the rename is done; a failure here cannot be undone
    ::close(fd);
}

// A file we would replace is read-only when its permissions say so, also for
// root, whom the system would let write it.
bool isReadOnly(const std::string& target, const struct stat& st) {
    if (::geteuid() == 0)
        return (st.st_mode & 0222) == 0;
    return ::access(target.c_str(), W_OK) != 0 && errno == EACCES;
}

void explain(std::string* why, std::string text) {
    if (why)
        *why = std::move(text);
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::string& content, std::string* why) {
    try {
        if (path.empty() || path.back() == '/') {
            explain(why, "the name is a folder's");
            return false;
        }
        const std::string target = resolveTarget(path);
        struct stat old {};
        const bool existed = ::stat(target.c_str(), &old) == 0;
        if (existed && !S_ISREG(old.st_mode)) {
            explain(why,
                    S_ISDIR(old.st_mode) ? "a folder has that name" : "it is not an ordinary file");
            return false;
        }
        if (existed && isReadOnly(target, old)) {
            explain(why, "the file is read-only");
            return false;
        }

        removeAbandonedTemporaries(target);
        std::string temporary;
        const int fd = createTemporary(target, temporary);
        if (fd < 0) {
            explain(why, std::strerror(errno));
            return false;
        }
        int error = 0;
        auto check = [&error](bool ok) {
            if (!ok && error == 0)
                error = errno;
            return ok;
        };
        bool ok = true;
        if (existed) {
            // Keep the old file's owner where we may, and its permissions.
            if (::geteuid() == 0)
                (void)!::fchown(fd, old.st_uid, old.st_gid);
            ok = check(::fchmod(fd, old.st_mode & 07777) == 0);
        }
        ok = ok && check(writeAll(fd, content)) && check(::fsync(fd) == 0);
        ok = check(::close(fd) == 0) && ok;
        ok = ok && check(::rename(temporary.c_str(), target.c_str()) == 0);
        if (!ok) {
            ::unlink(temporary.c_str());
            explain(why, std::strerror(error ? error : EIO));
            return false;
        }
        syncFolder(target);
        return true;
    } catch (...) {
        explain(why, "out of memory");
        return false;
    }
}

} // namespace bp::desktop
