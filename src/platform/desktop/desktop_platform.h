#pragma once

#include "core/platform/platform.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace bp::desktop {

// Where the program keeps its files on this desktop.
struct Locations {
    std::string configHome; // $XDG_CONFIG_HOME or ~/.config; LDraw.ini lives here
    std::string programDir; // the folder of the running executable, with a trailing "/"
    // The settings store: configHome/Brickpov/settings.ini
    std::string settingsFile() const;
    static Locations fromEnvironment();
};

// The settings store as a file of ours. Every write replaces the file
// atomically, so a crash or a full disk leaves the old store readable.
class FileSettingsStore : public SettingsStore {
  public:
    explicit FileSettingsStore(std::string path);
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override;
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    void remove(const std::string& app, const std::string& section,
                const std::string& key) override;

  private:
    std::string m_path;
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
                     const std::string& file) override;

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
    int execute(const std::string& file, const std::string& parameters) override;
    int executeIn(const std::string& file, const std::string& parameters,
                  const std::string& workingDir) override;
    bool isRunning(const std::string& file) override;
    std::string povrayProgram() override;

  private:
    // Starts argv[0] with the arguments and records it under key. outFd and
    // errFd, when given, become the child's standard output and error.
    // The result code as execute() gives it.
    int spawn(const std::vector<std::string>& argv, const std::string& key,
              const std::string& workingDir, std::optional<int> outFd = std::nullopt,
              std::optional<int> errFd = std::nullopt);
    int openWithDesktop(const std::string& target, const std::string& key,
                        const std::string& workingDir);
    // Collects the children that have ended, without waiting.
    void reapFinished();

    std::optional<std::string> m_povray;
    std::map<std::string, int> m_started; // file -> process id
    std::vector<int> m_children;          // started and not yet reaped
};

// Splits a parameters text into arguments at blanks outside double quotes; a
// pair of quotes around a whole argument is removed, quotes inside stay.
std::vector<std::string> splitParameters(const std::string& parameters);

// Writes a file by writing a temporary file beside it, flushing it to disk and
// renaming it over the target.
bool writeFileAtomically(const std::string& path, const std::string& content);

} // namespace bp::desktop
