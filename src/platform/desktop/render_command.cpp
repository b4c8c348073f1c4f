#include "core/batch/render_command.h"
#include "core/batch/batch_render.h"
#include "core/common/file_routines.h"
#include "platform/desktop/desktop_platform.h"
#include "platform/desktop/posix_io.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <stop_token>
#include <thread>
#include <unistd.h>

namespace bp::desktop {

namespace {

// Nobody is there to answer: every box takes its default, every dialog is
// cancelled. The run reports what matters on its own.
class HeadlessDialogs : public Dialogs {
  public:
    MsgAnswer messageBox(const MessageBoxRequest& r) override { return r.defaultButton; }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<Rgb> colorDialog(Rgb) override { return {}; }
};

// No window is made; a failure the core reports as a handler's goes to
// standard error.
class HeadlessWindows : public WindowSystem {
  public:
    void showForm(Form&, bool) override {}
    void hideForm(Form&) override {}
    void formUnloaded(Form&) override {}
    int startTimer(int, std::function<void()>) override { return ++m_lastTimer; }
    void stopTimer(int) override {}
    int screenWidth() override { return 28800; }
    int screenHeight() override { return 16200; }
    void setBusy(bool) override {}
    void quit() override {}
    void handlerFailed(const std::string& where, const std::string& what) override {
        std::cerr << "brickpov: " << where << " failed: " << what << '\n';
    }

  private:
    int m_lastTimer = 0;
};

// A program found on the PATH by its bare name is named so, so that the
// printed jobs run on machines that keep it elsewhere.
std::string portable(const std::string& program) {
    if (program.empty())
        return program;
    const std::string name = fileNamePart(program);
    return findOnPath(name) == program ? name : program;
}

std::string ourConverter(FileSystem& files) {
    const std::string folder = files.programFolder();
    // Installed beside brickpov; in a build tree, in the converter's folder.
    for (const std::string& candidate :
         {folder + "brickpov-convert", folder + "../converter/brickpov-convert"})
        if (::access(candidate.c_str(), X_OK) == 0)
            return std::filesystem::path(candidate).lexically_normal().string();
    return findOnPath("brickpov-convert").value_or(std::string());
}

} // namespace

int runRenderCommand(const std::vector<std::string>& args) {
    const auto parsed = parseRenderRequest(args);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "brickpov render: " << *error << "\n" << kRenderUsage;
        return 2;
    }
    const RenderRequest& request = std::get<RenderRequest>(parsed);
    if (request.help) {
        std::cout << kRenderUsage;
        return 0;
    }
    // Blocked before any thread starts, so that every thread inherits it.
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
    try {
        const auto locations = Locations::fromEnvironment();
        FileSettingsStore settings(locations.settingsFile());
        IniProfileFile profile(locations.configHome);
        PosixPrograms programs;
        PosixFileSystem files(locations.programDir);
        HeadlessWindows windows;
        HeadlessDialogs dialogs;
        Platform platform{dialogs, settings, profile, programs, files, windows};
        // The stored folders and tools, as the window has them before a
        // scene opens.
        const RenderStart start = renderStart(platform);
        RenderTools tools;
        tools.converter = portable(request.useL3P ? start.usersL3P : ourConverter(files));
        tools.povray = portable(start.povray);
        // SIGINT and SIGTERM (blocked above) are waited for by a thread of
        // their own; they stop the run, whose summary is printed before the exit.
        std::stop_source stopper;
        std::atomic<int> caught{0};
        std::jthread watcher([&](std::stop_token done) {
            const timespec tick{0, 100'000'000};
            while (!done.stop_requested()) {
                const int signal = ::sigtimedwait(&stopping, nullptr, &tick);
                if (signal == SIGINT || signal == SIGTERM) {
                    caught = signal;
                    stopper.request_stop();
                    programs.stopRuns();
                    return;
                }
            }
        });
        const int status = renderCommand(platform, start, request, tools, std::cout, std::cerr,
                                         ::isatty(STDERR_FILENO) != 0, stopper.get_token());
        watcher.request_stop();
        watcher.join();
        if (caught != 0) {
            std::cerr << "brickpov render: stopped by " << (caught == SIGINT ? "SIGINT" : "SIGTERM")
                      << "\n";
            return 128 + caught;
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << "brickpov render: " << e.what() << "\n";
        return 2;
    }
}

} // namespace bp::desktop
