#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bp {

class Form;

enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgAnswer { OK, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string title;
    std::string text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
    MsgAnswer defaultButton = MsgAnswer::OK;
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string initialDir;
    std::string fileName;
    std::string filter; // "Description|*.pat;*.pat2|Other|*.x"
    int filterIndex = 1;
    bool fileMustExist = false;
    bool confirmOverwrite = false;
    bool folder = false; // a folder is chosen, not a file; filter unused
};

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Message boxes and the common dialogs. Each call is modal and synchronous;
// a cancelled dialog is an empty optional.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MsgAnswer messageBox(const MessageBoxRequest& request) = 0;
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<Rgb> colorDialog(Rgb initial) = 0;
};

// The per-user settings store: application, section and key to a string.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string get(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& fallback) = 0;
    virtual void save(const std::string& app, const std::string& section, const std::string& key,
                      const std::string& value) = 0;
    virtual void remove(const std::string& app, const std::string& section,
                        const std::string& key) = 0;
    // Why settings are not being kept (the file and the reason), the first
    // time only; empty when all is well or the user has been told.
    virtual std::string takeProblem() { return {}; }
};

// Profile files such as LDraw.ini, named without a folder and kept in the
// system's own folder; sections and keys match without regard to case.
class ProfileFile {
  public:
    virtual ~ProfileFile() = default;
    virtual std::string getString(const std::string& section, const std::string& key,
                                  const std::string& fallback, const std::string& file) = 0;
    // why, when given, receives what failed: the file and the reason.
    virtual bool writeString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file,
                             std::string* why = nullptr) = 0;
};

// A program's arguments, each handed over as it is: no shell splits them.
using Arguments = std::vector<std::string>;

// A program run to its end.
struct ProgramRun {
    bool started = false;
    int exitStatus = -1; // the exit code, or 128 + the signal that ended it
    std::string output;  // standard output and error, merged
    std::string failure; // why it did not start
};

// A program started for a run: what it writes is kept until taken, its end
// is known, and it can be stopped together with everything it started.
// Dropping the handle stops the program.
class RunningProgram {
  public:
    virtual ~RunningProgram() = default;
    // Standard output and error merged, as raw bytes written since the last
    // call: a chunk may end in the middle of a line or of a UTF-8 character.
    virtual std::string takeOutput() = 0;
    // Once the program has ended and its output has been taken: its exit
    // code, or 128 + the signal that ended it. Empty while it runs.
    virtual std::optional<int> exitStatus() = 0;
    // Ends the program and every program it started that is still in its
    // group; returns at once, the end shows in exitStatus().
    virtual void stop() = 0;
};

// What came of starting a program or a document.
enum class StartResult {
    Started,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    OutOfMemory,
    BadProgram,
    SharingViolation,
    NoAssociation,
    Unknown,
};

struct WatchedStart {
    StartResult result = StartResult::Started;
    std::unique_ptr<RunningProgram> program; // null when nothing was started
};

// Starting programs and documents.
class Programs {
  public:
    virtual ~Programs() = default;
    virtual StartResult execute(const std::string& file, const Arguments& arguments) = 0;
    // The same, started in the given working folder (empty: the current one).
    virtual StartResult executeIn(const std::string& file, const Arguments& arguments,
                                  const std::string& workingDir) {
        (void)workingDir;
        return execute(file, arguments);
    }
    // Starts a program as executeIn does, with its output captured and its
    // end watched. A platform that cannot watch starts it unwatched.
    virtual WatchedStart startWatched(const std::string& file, const Arguments& arguments,
                                      const std::string& workingDir) {
        return {executeIn(file, arguments, workingDir), nullptr};
    }
    // Opens a file or folder with the application the desktop has for it;
    // false when nothing could open it.
    virtual bool openDocument(const std::string& path) {
        return execute(path, {}) == StartResult::Started;
    }
    // Whether the program most recently started for this file still runs.
    virtual bool isRunning(const std::string& file) = 0;
    // The POV-Ray program, or empty when none is installed.
    virtual std::string povrayProgram() = 0;
    // Runs a program in the folder (empty: the current one) and waits for
    // its end, with no input. Safe to call from several threads at once.
    virtual ProgramRun runToEnd(const std::string& file, const Arguments& arguments,
                                const std::string& workingDir) {
        (void)file;
        (void)arguments;
        (void)workingDir;
        return {false, -1, {}, "programs cannot be run here"};
    }
};

struct DirEntry {
    std::string name;
    bool isFolder = false;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual bool fileExists(const std::string& path) = 0; // ordinary, not hidden
    virtual bool folderExists(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0; // file or folder
    // Looks up a name in a folder without regard to case; the name as stored.
    virtual std::optional<std::string> findNoCase(const std::string& folder,
                                                  const std::string& name) = 0;
    virtual std::optional<std::chrono::system_clock::time_point>
    modified(const std::string& path) = 0;
    virtual std::vector<DirEntry> list(const std::string& folder) = 0;
    virtual std::string programFolder() = 0; // with a trailing separator
    // Whether the user may create files in the folder. A platform that
    // cannot tell says yes.
    virtual bool canWrite(const std::string& folder) {
        (void)folder;
        return true;
    }
    // The user's home folder with a trailing separator; empty where there is none.
    virtual std::string homeFolder() { return {}; }
    // A folder of the user's for pictures (created when needed), with a
    // trailing separator; empty where there is none or it cannot be made.
    virtual std::string userPicturesFolder() { return {}; }
    // An ordinary file, hidden or not: what can be opened and read as one.
    virtual bool isOrdinaryFile(const std::string& path) { return fileExists(path); }
    // Replaces a file's content as one step: a failure or a crash in the
    // middle leaves the old content. False when it could not be written, and
    // a read-only file is not replaced; why, when given, receives the reason.
    virtual bool replaceFile(const std::string& path, const std::string& content,
                             std::string* why = nullptr) {
        (void)path;
        (void)content;
        if (why)
            *why = "files cannot be written here";
        return false;
    }
};

// The window system: forms shown and hidden, timers. The core never runs
// an event loop of its own: what takes time goes on on a timer.
class WindowSystem {
  public:
    virtual ~WindowSystem() = default;
    // Shows a form. A modal show returns when the form is hidden again.
    virtual void showForm(Form& form, bool modal) = 0;
    virtual void hideForm(Form& form) = 0;
    virtual void formUnloaded(Form& form) = 0;
    virtual int startTimer(int ms, std::function<void()> tick) = 0;
    virtual void stopTimer(int id) = 0;
    virtual int screenWidth() = 0;  // twips
    virtual int screenHeight() = 0; // twips
    virtual void setBusy(bool busy) = 0;
    virtual void quit() = 0;
    // A handler stopped on an error: the rest of its steps were skipped and
    // the program goes on, but the error is told, never lost.
    virtual void handlerFailed(const std::string& where, const std::string& what) = 0;
    // A new form, before it loads; a view may watch it from its first event.
    virtual void formCreated(Form& /*form*/) {}
    // The width and height of a picture file, when it can be read.
    virtual std::optional<std::pair<int, int>> imageSize(const std::string& /*path*/) {
        return std::nullopt;
    }
    // Puts a picture file on the clipboard; false when that failed.
    virtual bool copyImage(const std::string& /*path*/) { return false; }
    // Shows the 3D preview window and brings it to the front; a window
    // system without one does nothing.
    virtual void showPreview() {}
};

struct Platform {
    Dialogs& dialogs;
    SettingsStore& settings;
    ProfileFile& profile;
    Programs& programs;
    FileSystem& files;
    WindowSystem& windows;
};

} // namespace bp
