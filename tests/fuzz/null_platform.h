#pragma once

// A platform that asks nobody and stores nothing, so that the core can run
// inside a fuzz target: dialogs take their default, files are read directly.

#include "core/platform/platform.h"
#include "core/ui/form.h"

namespace bp::fuzz {

struct NullPlatform : Dialogs, SettingsStore, ProfileFile, Programs, FileSystem, WindowSystem {
    MsgAnswer messageBox(const MessageBoxRequest& r) override { return r.defaultButton; }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<Rgb> colorDialog(Rgb) override { return {}; }
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
    bool writeString(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {
        return true;
    }
    int execute(const std::string&, const std::string&) override { return 33; }
    bool isRunning(const std::string&) override { return false; }
    std::string povrayProgram() override { return ""; }
    // The only file a target names is the one it has just written.
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
    void showForm(Form& f, bool) override { f.setVisibleState(true); }
    void hideForm(Form& f) override { f.setVisibleState(false); }
    void formUnloaded(Form&) override {}
    void processEvents() override {}
    int startTimer(int, std::function<void()>) override { return 1; }
    void stopTimer(int) override {}
    int screenWidth() override { return 28800; }
    int screenHeight() override { return 16200; }
    void setBusy(bool) override {}
    void quit() override {}

    Platform platform() { return {*this, *this, *this, *this, *this, *this}; }
};

} // namespace bp::fuzz
