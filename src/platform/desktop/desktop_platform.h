#pragma once

#include "core/platform/platform.h"

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace bp::desktop {

// Where the program keeps its files on this desktop.
struct Locations {
    std::string configHome; // $XDG_CONFIG_HOME or ~/.config; LDraw.ini lives here
    std::string programDir; // the folder of the running executable, with a trailing "/"
    // The settings store: configHome/Brickpov/settings.ini
    std::string settingsFile() const;
    static Locations fromEnvironment();
};

// $HOME, else the password entry's home, else /tmp; no trailing "/".
std::string userHomeFolder();

// The settings store as a file of ours, read once and kept in memory. Every
// change is written through at once, under a lock and merged with what other
// instances wrote since; the file is replaced atomically, so a crash or a full
// disk leaves the old store readable. When the file cannot be read whole or
// written, the store goes on in memory and says so once through takeProblem().
class FileSettingsStore : public SettingsStore {
  public:
    explicit FileSettingsStore(std::string path);
    ~FileSettingsStore() override;
    FileSettingsStore(const FileSettingsStore&) = delete;
    FileSettingsStore& operator=(const FileSettingsStore&) = delete;
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    void remove(const std::string& app, const std::string& section,
                const std::string& key) override;
    std::string takeProblem() override;

    struct Address {
        std::string app;
        std::string section;
        std::string key;
        auto operator<=>(const Address&) const = default;
    };
    // What tells one state of the file from another; exists false: no file.
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modified = 0, changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry;
    struct Section;
    struct Store;

  private:
    // Reads the file again when it changed since we last did.
    void refresh();
    void change(Address at, std::optional<std::string> value);
    void noteProblem(const std::string& text);
    std::string lockPath() const;

    std::string m_path;
    std::unique_ptr<Store> m_store;
    // Changes not yet in the file, applied again over whatever it holds.
    std::map<Address, std::optional<std::string>> m_pending;
    Stamp m_stamp;
    bool m_loaded = false;
    bool m_readWhole = true;
    std::string m_readProblem;
    std::string m_problem;
    bool m_told = false;
};

// Profile files in one folder, with the semantics of the profile-string
// functions: sections and keys without regard to case, everything else in
// the file left as it was, and one file whatever the case of its name.
class IniProfileFile : public ProfileFile {
  public:
    explicit IniProfileFile(std::string folder);
    std::string getString(const std::string& section, const std::string& key,
                          const std::string& fallback, const std::string& file) override;
    bool writeString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file, std::string* why = nullptr) override;

  private:
    std::string m_folder;
};

class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(std::string programDir);
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::string> findNoCase(const std::string& folder,
                                          const std::string& name) override;
    std::optional<std::chrono::system_clock::time_point> modified(const std::string& path) override;
    std::vector<DirEntry> list(const std::string& folder) override;
    std::string programFolder() override;
    bool canWrite(const std::string& folder) override;
    std::string homeFolder() override;
    std::string userPicturesFolder() override;
    bool isOrdinaryFile(const std::string& path) override;
    bool replaceFile(const std::string& path, const std::string& content,
                     std::string* why = nullptr) override;

  private:
    std::string m_programDir;
};

// Starts programs directly, without a shell in between, and documents and
// web addresses with the desktop's default application.
class PosixPrograms : public Programs {
  public:
    // povray: the POV-Ray program to report; nullopt looks for "povray" on PATH.
    explicit PosixPrograms(std::optional<std::string> povray = std::nullopt);
    ~PosixPrograms() override;
    PosixPrograms(const PosixPrograms&) = delete;
    PosixPrograms& operator=(const PosixPrograms&) = delete;
    StartResult execute(const std::string& file, const Arguments& arguments) override;
    StartResult executeIn(const std::string& file, const Arguments& arguments,
                          const std::string& workingDir) override;
    WatchedStart startWatched(const std::string& file, const Arguments& arguments,
                              const std::string& workingDir) override;
    bool isRunning(const std::string& file) override;
    std::string povrayProgram() override;
    ProgramRun runToEnd(const std::string& file, const Arguments& arguments,
                        const std::string& workingDir) override;
    // Ends every program runToEnd runs (their process groups: SIGTERM, then
    // SIGKILL after two seconds) and refuses to start any more. Any thread.
    void stopRuns();

  private:
    struct Child {
        int pid = 0;
        int id = 0; // serial of this start
    };

    // Starts argv[0] with the arguments and records it under key. The
    // result as execute() gives it. With watched set, the program
    // goes to it instead, with its output captured in a group of its own.
    StartResult spawn(const std::vector<std::string>& argv, const std::string& key,
                      const std::string& workingDir,
                      std::unique_ptr<RunningProgram>* watched = nullptr);
    StartResult openWithDesktop(const std::string& target, const std::string& key,
                                const std::string& workingDir,
                                std::unique_ptr<RunningProgram>* watched = nullptr);
    StartResult start(const std::string& file, const Arguments& arguments,
                      const std::string& workingDir, std::unique_ptr<RunningProgram>* watched);
    // Collects the children that have ended, without waiting.
    void reapFinished();

    std::optional<std::string> m_povray;
    std::map<std::string, int> m_started; // file -> id of its latest start
    std::vector<Child> m_children;        // started and not yet collected
    int m_lastId = 0;
    std::mutex m_runsLock;  // guards the two below, from any thread
    std::set<pid_t> m_runs; // the process groups runToEnd waits for
    bool m_runsStopped = false;
};

// `brickpov render ARGS...`: converts and renders models with no window and
// no display; the exit status of the run.
int runRenderCommand(const std::vector<std::string>& args);

// Writes a file by writing a temporary file beside it, flushing it to disk and
// renaming it over the target. A read-only file or one that is no ordinary
// file is not replaced. why, when given, receives the reason of a failure.
bool writeFileAtomically(const std::string& path, const std::string& content,
                         std::string* why = nullptr);

} // namespace bp::desktop
