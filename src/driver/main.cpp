// brickpov-driver: runs the program's core with the desktop platform and no
// windows, acting as a person from a script (docs/driver.md).

#include "core/common/file_routines.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "driver/driver_window_system.h"
#include "driver/event_tracer.h"
#include "driver/interpreter.h"
#include "driver/options.h"
#include "driver/output.h"
#include "driver/printing_programs.h"
#include "driver/script.h"
#include "driver/script_dialogs.h"
#include "platform/desktop/desktop_platform.h"

#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace {

int runDriver(int argc, char** argv) {
    using namespace bp::driver;
    std::string error;
    const auto options = parseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "brickpov-driver: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    auto script = Script::load(options->script, error);
    if (!script) {
        std::fprintf(stderr, "brickpov-driver: %s\n", error.c_str());
        return 2;
    }

    bp::desktop::Locations locations;
    if (!options->configDir || !options->programDir)
        locations = bp::desktop::Locations::fromEnvironment();
    if (options->configDir)
        locations.configHome = bp::AddBackslash(*options->configDir);
    if (options->programDir)
        locations.programDir = bp::AddBackslash(*options->programDir);

    Output out;
    // The tracer watches the forms, so it must outlive the App that owns them.
    EventTracer tracer(out);
    bp::desktop::FileSettingsStore settings(locations.settingsFile());
    bp::desktop::IniProfileFile profile(locations.configHome);
    bp::desktop::PosixFileSystem files(locations.programDir);
    bp::desktop::PosixPrograms desktopPrograms(options->povray);
    PrintingPrograms programs(desktopPrograms, out);
    ScriptDialogs dialogs(out);
    DriverWindowSystem windows(out, tracer, options->timerScale);
    bp::Platform platform{dialogs, settings, profile, programs, files, windows};
    // A restart replaces the App; the old ones stay, since the tracer still
    // watches their forms.
    std::vector<std::unique_ptr<bp::App>> apps;
    auto newApp = [&]() -> bp::App& {
        apps.push_back(std::make_unique<bp::App>(platform));
        bp::App& app = *apps.back();
        windows.setMainForm(&app.main());
        tracer.watch(app.main());
        return app;
    };
    newApp();

    DriverContext context{apps.back().get(), windows, dialogs,      settings, tracer, out,
                          programs,          newApp,  options->echo};
    Interpreter interpreter(*script, context);
    windows.setModalLoop([&interpreter](bp::Form& form) { interpreter.runModal(form); });
    return interpreter.run();
}

} // namespace

int main(int argc, char** argv) {
    // Tests run the driver in a locale whose decimal separator is ",".
    std::setlocale(LC_ALL, "");
    try {
        return runDriver(argc, argv);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "brickpov-driver: %s\n", e.what());
    } catch (...) {
        std::fflush(stdout);
        std::fprintf(stderr, "brickpov-driver: unexpected failure\n");
    }
    return 3;
}
