#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace bp::desktop {

namespace {

constexpr StartResult kStarted = StartResult::Started;
constexpr StartResult kFileNotFound = StartResult::FileNotFound;
constexpr StartResult kPathNotFound = StartResult::PathNotFound;
constexpr StartResult kAccessDenied = StartResult::AccessDenied;
constexpr StartResult kOutOfMemory = StartResult::OutOfMemory;
constexpr StartResult kBadProgram = StartResult::BadProgram;
constexpr StartResult kSharingViolation = StartResult::SharingViolation;
constexpr StartResult kNoAssociation = StartResult::NoAssociation;

bool isAddress(const std::string& file) {
    const std::string lower = toLowerAscii(file.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://") ||
           lower.starts_with("mailto:");
}

StartResult spawnFailure(int error) {
    switch (error) {
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
        return kPathNotFound;
    case EACCES:
    case EPERM:
        return kAccessDenied;
    case ENOMEM:
    case E2BIG:
        return kOutOfMemory;
    case ETXTBSY:
        return kSharingViolation;
    default:
        return kBadProgram;
    }
}

enum class Kind { Program, WindowsProgram, Document, Unreadable };

Kind classify(const std::string& path) {
    char head[2] = {};
    ssize_t n = -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        do
            n = ::read(fd, head, sizeof head);
        while (n < 0 && errno == EINTR);
        ::close(fd);
    }
    // A Windows program may carry execute permission on a shared drive, and
    // still cannot run without wine.
    if (n == 2 && head[0] == 'M' && head[1] == 'Z')
        return Kind::WindowsProgram;
    if (::access(path.c_str(), X_OK) == 0)
        return Kind::Program;
    return fd < 0 ? Kind::Unreadable : Kind::Document;
}

std::string currentFolder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? AddBackslash(buffer) : std::string("./");
}

// What one takeOutput() reads at most, so that a chatty program cannot hold
// up the caller.
constexpr std::size_t kReadLimit = 2u << 20;

int exitStatusOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A pipe for a child's output. The write end is above the standard
// descriptors, since dup2 onto itself would leave it close-on-exec.
bool makeOutputPipe(int fds[2]) {
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    if (fds[1] <= STDERR_FILENO) {
        const int moved = ::fcntl(fds[1], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        ::close(fds[1]);
        fds[1] = moved;
    }
    if (fds[1] < 0 || ::fcntl(fds[0], F_SETFL, O_NONBLOCK) != 0) {
        closeFd(fds[0]);
        closeFd(fds[1]);
        return false;
    }
    return true;
}

// A started program in a process group of its own, its output in a pipe.
class PosixRunningProgram : public RunningProgram {
  public:
    PosixRunningProgram(pid_t pid, int outFd) : m_pid(pid), m_outFd(outFd) {}
    ~PosixRunningProgram() override {
        if (!m_exited) {
            ::kill(-m_pid, SIGKILL);
            int status = 0;
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        closeFd(m_outFd);
    }
    PosixRunningProgram(const PosixRunningProgram&) = delete;
    PosixRunningProgram& operator=(const PosixRunningProgram&) = delete;

    std::string takeOutput() override {
        read();
        return std::exchange(m_pending, {});
    }

    std::optional<int> exitStatus() override {
        if (!m_exited) {
            int status = 0;
            const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid || (r < 0 && errno == ECHILD)) {
                m_exited = true;
                m_status = r == m_pid ? exitStatusOf(status) : -1;
            }
        }
        if (!m_exited)
            return std::nullopt;
        // All it wrote is in the pipe now; programs it left behind may write
        // more, which nobody waits for.
        read();
        closeFd(m_outFd);
        if (!m_pending.empty())
            return std::nullopt;
        return m_status;
    }

    void stop() override {
        if (m_exited)
            return;
        // A program that does not end when asked is killed the second time.
        ::kill(-m_pid, m_stopAsked ? SIGKILL : SIGTERM);
        m_stopAsked = true;
    }

  private:
    void read() {
        if (m_outFd < 0)
            return;
        char buffer[64 * 1024];
        std::size_t total = 0;
        while (total < kReadLimit) {
            const ssize_t n = ::read(m_outFd, buffer, sizeof buffer);
            if (n > 0) {
                m_pending.append(buffer, static_cast<std::size_t>(n));
                total += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                if (n == 0)
                    closeFd(m_outFd);
                return;
            }
        }
    }

    pid_t m_pid;
    int m_outFd;
    bool m_exited = false;
    bool m_stopAsked = false;
    int m_status = 0;
    std::string m_pending;
};

} // namespace

PosixPrograms::PosixPrograms(std::optional<std::string> povray) : m_povray(std::move(povray)) {}

PosixPrograms::~PosixPrograms() = default;

void PosixPrograms::reapFinished() {
    std::erase_if(m_children, [](const Child& c) {
        int status = 0;
        const pid_t r = ::waitpid(c.pid, &status, WNOHANG);
        // Gone to someone else's wait, or not ours at all: nothing to collect.
        return r == c.pid || (r < 0 && errno == ECHILD);
    });
}

StartResult PosixPrograms::spawn(const std::vector<std::string>& argv, const std::string& key,
                                 const std::string& workingDir,
                                 std::unique_ptr<RunningProgram>* watched) {
    // The child changes folder before it looks for the program.
    const std::string program =
        !workingDir.empty() && !argv[0].starts_with('/') ? currentFolder() + argv[0] : argv[0];
    std::vector<char*> args{const_cast<char*>(program.c_str())};
    for (std::size_t i = 1; i < argv.size(); ++i)
        args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (watched && !makeOutputPipe(pipeFds))
        return kOutOfMemory;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        closeFd(pipeFds[0]);
        closeFd(pipeFds[1]);
        return kOutOfMemory;
    }
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        closeFd(pipeFds[0]);
        closeFd(pipeFds[1]);
        return kOutOfMemory;
    }
    if (!workingDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (watched) {
        // Nobody types into the run window.
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
        // A group of its own, so that stopping it reaches what it started.
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    // The child starts with no signal blocked and the usual defaults, whatever
    // the window toolkit set up for itself.
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, flags);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    // Only the child writes, so that the end of its output shows as the end
    // of the pipe.
    closeFd(pipeFds[1]);
    if (error != 0) {
        closeFd(pipeFds[0]);
        return spawnFailure(error);
    }
    if (watched) {
        *watched = std::make_unique<PosixRunningProgram>(pid, pipeFds[0]);
        m_started.erase(key);
        return kStarted;
    }
    m_children.push_back({pid, ++m_lastId});
    m_started[key] = m_lastId;
    return kStarted;
}

StartResult PosixPrograms::openWithDesktop(const std::string& target, const std::string& key,
                                           const std::string& workingDir,
                                           std::unique_ptr<RunningProgram>* watched) {
    const auto opener = findOnPath("xdg-open");
    if (!opener)
        return kNoAssociation;
    return spawn({*opener, target}, key, workingDir, watched);
}

StartResult PosixPrograms::execute(const std::string& file, const Arguments& arguments) {
    return executeIn(file, arguments, "");
}

StartResult PosixPrograms::executeIn(const std::string& file, const Arguments& arguments,
                                     const std::string& workingDir) {
    return start(file, arguments, workingDir, nullptr);
}

WatchedStart PosixPrograms::startWatched(const std::string& file, const Arguments& arguments,
                                         const std::string& workingDir) {
    WatchedStart started;
    started.result = start(file, arguments, workingDir, &started.program);
    return started;
}

StartResult PosixPrograms::start(const std::string& file, const Arguments& arguments,
                                 const std::string& workingDir,
                                 std::unique_ptr<RunningProgram>* watched) {
    try {
        reapFinished();
        if (!workingDir.empty() && !isDirectory(workingDir))
            return kPathNotFound;
        if (isAddress(file))
            return openWithDesktop(file, file, workingDir, watched);
        if (file.empty())
            return kFileNotFound;

        std::string path = file;
        struct stat st {};
        if (file.find('/') == std::string::npos && ::stat(file.c_str(), &st) != 0) {
            // A bare name that is not in the current folder: a program on PATH.
            if (const auto found = findOnPath(file))
                path = *found;
        }
        if (::stat(path.c_str(), &st) != 0) {
            const int error = errno;
            if (error == EACCES)
                return kAccessDenied;
            const std::string folder = folderPart(path);
            if (error == ENOTDIR || (!folder.empty() && !isDirectory(folder)))
                return kPathNotFound;
            return kFileNotFound;
        }
        // The file as we found it, also for an opener in another folder.
        if (!workingDir.empty() && !path.starts_with('/'))
            path = currentFolder() + path;
        if (!S_ISREG(st.st_mode))
            return openWithDesktop(path, file, workingDir, watched);

        switch (classify(path)) {
        case Kind::Program: {
            std::vector<std::string> argv{path};
            argv.insert(argv.end(), arguments.begin(), arguments.end());
            return spawn(argv, file, workingDir, watched);
        }
        case Kind::WindowsProgram: {
            const auto wine = findOnPath("wine");
            if (!wine)
                return kBadProgram;
            std::vector<std::string> argv{*wine, path};
            argv.insert(argv.end(), arguments.begin(), arguments.end());
            return spawn(argv, file, workingDir, watched);
        }
        case Kind::Unreadable:
            return kAccessDenied;
        case Kind::Document:
            break;
        }
        return openWithDesktop(path, file, workingDir, watched);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return StartResult::Unknown;
    }
}

bool PosixPrograms::isRunning(const std::string& file) {
    try {
        reapFinished();
        const auto it = m_started.find(file);
        if (it == m_started.end())
            return false;
        // Found by the start's own id: a collected process id may already
        // belong to another process.
        const auto child = std::find_if(m_children.begin(), m_children.end(),
                                        [&](const Child& c) { return c.id == it->second; });
        if (child == m_children.end()) {
            m_started.erase(it);
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

std::string PosixPrograms::povrayProgram() {
    try {
        if (m_povray)
            return *m_povray;
        return findOnPath("povray").value_or(std::string());
    } catch (...) {
        return {};
    }
}

void PosixPrograms::stopRuns() {
    std::lock_guard lock(m_runsLock);
    m_runsStopped = true;
    for (const pid_t group : m_runs)
        ::kill(-group, SIGTERM);
}

ProgramRun PosixPrograms::runToEnd(const std::string& file, const Arguments& arguments,
                                   const std::string& workingDir) {
    ProgramRun run;
    try {
        std::string path = file;
        if (file.find('/') == std::string::npos)
            path = findOnPath(file).value_or(file);
        std::vector<std::string> argv{path};
        switch (classify(path)) {
        case Kind::Program:
            break;
        case Kind::WindowsProgram:
            if (const auto wine = findOnPath("wine")) {
                argv = {*wine, path};
                break;
            }
            run.failure = path + " is a Windows program and wine is not installed";
            return run;
        case Kind::Unreadable:
            run.failure = path + ": not found or not readable";
            return run;
        case Kind::Document:
            run.failure = path + " is not a program";
            return run;
        }
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> args;
        for (std::string& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);

        int fds[2] = {-1, -1};
        if (!makeOutputPipe(fds)) {
            run.failure = std::string("no pipe for its output: ") + std::strerror(errno);
            return run;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!workingDir.empty())
            posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        // A group of its own, so that a stop reaches what it started; no
        // signal blocked, whatever the caller blocks to wait for its own.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setpgroup(&attributes, 0);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int s : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD})
            sigaddset(&defaults, s);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                  POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        int error = 0;
        {
            // Registered under the lock, so that a stop misses no group.
            std::lock_guard lock(m_runsLock);
            error = m_runsStopped
                        ? ECANCELED
                        : posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
            if (error == 0)
                m_runs.insert(pid);
        }
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        closeFd(fds[1]);
        if (error != 0) {
            closeFd(fds[0]);
            run.failure = error == ECANCELED ? std::string("the run was stopped")
                                             : path + ": " + std::strerror(error);
            return run;
        }
        run.started = true;
        // Read until the output ends; after a stop, the group is killed if it
        // has not ended within two seconds.
        auto stoppedAt = std::chrono::steady_clock::time_point();
        bool stopped = false;
        char buffer[16 * 1024];
        while (true) {
            if (!stopped) {
                std::lock_guard lock(m_runsLock);
                if (m_runsStopped) {
                    stopped = true;
                    stoppedAt = std::chrono::steady_clock::now();
                }
            }
            if (stopped && std::chrono::steady_clock::now() - stoppedAt > std::chrono::seconds(2))
                ::kill(-pid, SIGKILL);
            pollfd p{fds[0], POLLIN, 0};
            const int ready = ::poll(&p, 1, 100);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                continue;
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n > 0)
                run.output.append(buffer, static_cast<std::size_t>(n));
            else if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            else
                break;
        }
        closeFd(fds[0]);
        int status = 0;
        pid_t r;
        do
            r = ::waitpid(pid, &status, 0);
        while (r < 0 && errno == EINTR);
        {
            std::lock_guard lock(m_runsLock);
            m_runs.erase(pid);
        }
        if (stopped)
            ::kill(-pid, SIGKILL); // what it started and left running
        run.exitStatus = r == pid ? exitStatusOf(status) : -1;
    } catch (const std::exception& e) {
        run.failure = e.what();
    }
    return run;
}

} // namespace bp::desktop
