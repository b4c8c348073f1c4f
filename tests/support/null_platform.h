#pragma once

// A platform that asks nobody and stores nothing, so that the core can run
// without a desktop (fuzz targets, benchmarks): dialogs take their default,
// windows are shown at once, and nothing is stored.

#include "core/platform/platform.h"
#include "core/ui/form.h"

namespace bp::null {

struct NullDialogs : Dialogs {
    MsgAnswer messageBox(const MessageBoxRequest& r) override { return r.defaultButton; }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<Rgb> colorDialog(Rgb) override { return {}; }
};

struct NullWindows : WindowSystem {
    void showForm(Form& f, bool) override { f.setVisibleState(true); }
    void hideForm(Form& f) override { f.setVisibleState(false); }
    void formUnloaded(Form&) override {}
    int startTimer(int, std::function<void()>) override { return 1; }
    void stopTimer(int) override {}
    int screenWidth() override { return 28800; }
    int screenHeight() override { return 16200; }
    void setBusy(bool) override {}
    void quit() override {}
    void handlerFailed(const std::string& where, const std::string& what) override {
        failures.push_back(where + ": " + what);
    }
    std::vector<std::string> failures;
};

struct NullPlatform : NullDialogs, SettingsStore, ProfileFile, Programs, FileSystem, NullWindows {
    std::string get(const std::string&, const std::string&, const std::string&,
                    const std::string& fallback) override {
        return fallback;
    }
    void save(const std::string&, const std::string&, const std::string&,
              const std::string&) override {}
    void remove(const std::string&, const std::string&, const std::string&) override {}
    std::string getString(const std::string&, const std::string&, const std::string& fallback,
                          const std::string&) override {
        return fallback;
    }
    bool writeString(const std::string&, const std::string&, const std::string&, const std::string&,
                     std::string*) override {
        return true;
    }
    StartResult execute(const std::string&, const Arguments&) override {
        return StartResult::Started;
    }
    bool isRunning(const std::string&) override { return false; }
    std::string povrayProgram() override { return ""; }
    // A fuzz target names only the file it has just written.
    bool fileExists(const std::string&) override { return true; }
    bool folderExists(const std::string&) override { return false; }
    bool exists(const std::string&) override { return true; }
    std::optional<std::string> findNoCase(const std::string&, const std::string&) override {
        return {};
    }
    std::optional<std::chrono::system_clock::time_point> modified(const std::string&) override {
        return {};
    }
    std::vector<DirEntry> list(const std::string&) override { return {}; }
    std::string programFolder() override { return "/nonexistent/"; }

    Platform platform() { return {*this, *this, *this, *this, *this, *this}; }
};

} // namespace bp::null
