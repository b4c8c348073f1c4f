#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <new>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bp::desktop {

namespace {

// The result codes of the shell's start function, which the callers report.
constexpr int kStarted = 33;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kOutOfMemory = 8;
constexpr int kBadProgram = 11;
constexpr int kSharingViolation = 26;
constexpr int kNoAssociation = 31;

bool isAddress(const std::string& file) {
    const std::string lower = toLowerAscii(file.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://") ||
           lower.starts_with("mailto:");
}

int spawnFailure(int error) {
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

} // namespace

std::vector<std::string> splitParameters(const std::string& parameters) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    auto finish = [&] {
        // A quote that opens the word and closes only at its end, or never,
        // encloses the whole word.
        if (word.size() >= 1 && word.front() == '"') {
            const std::size_t close = word.find('"', 1);
            if (close == std::string::npos)
                word.erase(0, 1);
            else if (close == word.size() - 1)
                word = word.substr(1, word.size() - 2);
        }
        words.push_back(std::move(word));
        word.clear();
        inWord = false;
    };
    for (char c : parameters) {
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                finish();
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        word += c;
        inWord = true;
    }
    if (inWord)
        finish();
    return words;
}

PosixPrograms::PosixPrograms(std::optional<std::string> povray) : m_povray(std::move(povray)) {}

PosixPrograms::~PosixPrograms() {
    try {
        reapFinished();
    } catch (...) {
    }
}

void PosixPrograms::reapFinished() {
    std::erase_if(m_children, [](int pid) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        // Gone to someone else's wait, or not ours at all: nothing to collect.
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

int PosixPrograms::spawn(const std::vector<std::string>& argv, const std::string& key,
                         const std::string& workingDir, std::optional<int> outFd,
                         std::optional<int> errFd) {
    // The child changes folder before it looks for the program.
    const std::string program =
        !workingDir.empty() && !argv[0].starts_with('/') ? currentFolder() + argv[0] : argv[0];
    std::vector<char*> args{const_cast<char*>(program.c_str())};
    for (std::size_t i = 1; i < argv.size(); ++i)
        args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return kOutOfMemory;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return kOutOfMemory;
    }
    if (!workingDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    if (outFd)
        posix_spawn_file_actions_adddup2(&actions, *outFd, STDOUT_FILENO);
    if (errFd)
        posix_spawn_file_actions_adddup2(&actions, *errFd, STDERR_FILENO);
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
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return spawnFailure(error);
    m_children.push_back(pid);
    m_started[key] = pid;
    return kStarted;
}

int PosixPrograms::openWithDesktop(const std::string& target, const std::string& key,
                                   const std::string& workingDir) {
    const auto opener = findOnPath("xdg-open");
    if (!opener)
        return kNoAssociation;
    return spawn({*opener, target}, key, workingDir);
}

int PosixPrograms::execute(const std::string& file, const std::string& parameters) {
    return executeIn(file, parameters, "");
}

int PosixPrograms::executeIn(const std::string& file, const std::string& parameters,
                             const std::string& workingDir) {
    try {
        reapFinished();
        if (!workingDir.empty() && !isDirectory(workingDir))
            return kPathNotFound;
        if (isAddress(file))
            return openWithDesktop(file, file, workingDir);
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
            return openWithDesktop(path, file, workingDir);

        switch (classify(path)) {
        case Kind::Program: {
            std::vector<std::string> argv{path};
            for (std::string& a : splitParameters(parameters))
                argv.push_back(std::move(a));
            return spawn(argv, file, workingDir);
        }
        case Kind::WindowsProgram: {
            const auto wine = findOnPath("wine");
            if (!wine)
                return kBadProgram;
            std::vector<std::string> argv{*wine, path};
            for (std::string& a : splitParameters(parameters))
                argv.push_back(std::move(a));
            return spawn(argv, file, workingDir);
        }
        case Kind::Unreadable:
            return kAccessDenied;
        case Kind::Document:
            break;
        }
        return openWithDesktop(path, file, workingDir);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return 0;
    }
}

bool PosixPrograms::isRunning(const std::string& file) {
    try {
        reapFinished();
        const auto it = m_started.find(file);
        if (it == m_started.end())
            return false;
        // A reaped process id may already belong to another process.
        if (std::find(m_children.begin(), m_children.end(), it->second) == m_children.end()) {
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

} // namespace bp::desktop
