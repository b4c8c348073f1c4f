#include "posix_file/atomic_write.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <streambuf>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace bp::posix {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string temporaryPrefix(const std::string& target) {
    const auto slash = target.rfind('/');
    return "." + (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
}

bool writeAll(int fd, const char* data, std::size_t left) {
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

// An output buffer over a file descriptor. After a failed write it takes no
// more and keeps the errno.
class FileBuffer : public std::streambuf {
  public:
    explicit FileBuffer(int fd) : m_fd(fd), m_buffer(std::make_unique<char[]>(kSize)) {
        setp(m_buffer.get(), m_buffer.get() + kSize);
    }
    int error() const { return m_error; }

  protected:
    int_type overflow(int_type c) override {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const auto size = static_cast<std::size_t>(n);
        if (size > static_cast<std::size_t>(epptr() - pptr())) {
            if (!drain())
                return 0;
            // Too big for the buffer: straight to the file.
            if (size >= kSize) {
                if (!writeAll(m_fd, s, size)) {
                    m_error = errno ? errno : EIO;
                    return 0;
                }
                return n;
            }
        }
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(size));
        return n;
    }

    int sync() override { return drain() ? 0 : -1; }

  private:
    static constexpr std::size_t kSize = 1 << 16;

    bool drain() {
        if (m_error != 0)
            return false;
        if (!writeAll(m_fd, pbase(), static_cast<std::size_t>(pptr() - pbase()))) {
            m_error = errno ? errno : EIO;
            return false;
        }
        setp(m_buffer.get(), m_buffer.get() + kSize);
        return true;
    }

    int m_fd;
    std::unique_ptr<char[]> m_buffer;
    int m_error = 0;
};

// A symbolic link is followed, so that a file linked from elsewhere stays a link.
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

// Removes the named temporaries that writers killed mid-write left beside the
// target, so that crashes do not pile them up. Those of live processes may
// still be in use.
void removeAbandonedTemporaries(const std::string& target) {
    const std::string folder = folderOf(target);
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

std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return folderOf(target) + temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1));
}

int createTemporary(const std::string& target, std::string& name) {
    const std::string folder = folderOf(target);
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0)
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(target);
        const int named = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (named >= 0 || errno != EEXIST)
            return named;
    }
    return -1;
}

void syncFolder(const std::string& target) {
    const std::string folder = folderOf(target);
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // the rename is done; a failure here cannot be undone
    ::close(fd);
}

// Read-only as the permissions say, also for root, whom the system would let write.
bool isReadOnly(const std::string& target, const struct stat& st) {
    if (::geteuid() == 0)
        return (st.st_mode & 0222) == 0;
    return ::access(target.c_str(), W_OK) != 0 && errno == EACCES;
}

} // namespace

WriteResult replaceFileStreamed(const std::string& path,
                                const std::function<void(std::ostream&)>& write,
                                bool refuseReadOnly) {
    if (path.empty() || path.back() == '/')
        return {"the name is a folder's"};
    const std::string target = resolveTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return {S_ISDIR(old.st_mode) ? "a folder has that name" : "it is not an ordinary file"};
    if (existed && refuseReadOnly && isReadOnly(target, old))
        return {"the file is read-only"};

    removeAbandonedTemporaries(target);
    std::string named; // empty while the file has no name
    const int fd = createTemporary(target, named);
    if (fd < 0)
        return {{}, errno};
    int error = 0;
    const auto check = [&error](bool ok) {
        if (!ok && error == 0)
            error = errno;
        return ok;
    };
    bool ok = true;
    if (existed) {
        if (::geteuid() == 0)
            (void)!::fchown(fd, old.st_uid, old.st_gid);
        ok = check(::fchmod(fd, old.st_mode & 07777) == 0);
    }
    if (ok) {
        FileBuffer buffer(fd);
        std::ostream out(&buffer);
        try {
            write(out);
        } catch (...) {
            ::close(fd);
            if (!named.empty())
                ::unlink(named.c_str());
            throw;
        }
        out.flush();
        if (!out && error == 0)
            error = buffer.error() ? buffer.error() : EIO;
        ok = out.good();
    }
    ok = ok && check(::fsync(fd) == 0);
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
        return {{}, error ? error : EIO};
    }
    syncFolder(target);
    return {};
}

WriteResult replaceFile(const std::string& path, const std::string& content, bool refuseReadOnly) {
    return replaceFileStreamed(
        path,
        [&content](std::ostream& out) {
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
        },
        refuseReadOnly);
}

} // namespace bp::posix
