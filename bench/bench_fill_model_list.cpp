// Times bp::FillModelList on a folder with the desktop file system, the way
// the program fills its model list. Run by fill_model_list.sh.
//
//   bench_fill_model_list FOLDER [CALLS]   prints ms per call and models listed

#include "core/scene/file_lists.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "null_platform.h"
#include "platform/desktop/desktop_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: bench_fill_model_list FOLDER [CALLS]\n");
        return 2;
    }
    const int calls = argc == 3 ? std::atoi(argv[2]) : 20;
    if (calls < 1) {
        std::fprintf(stderr, "bench_fill_model_list: CALLS must be positive\n");
        return 2;
    }
    // Settings and LDraw.ini in a folder of their own, never the user's.
    std::string scratch =
        (std::filesystem::temp_directory_path() / "bp_bench_settings_XXXXXX").string();
    if (!::mkdtemp(scratch.data())) {
        std::perror("bench_fill_model_list");
        return 1;
    }
    int listed = 0;
    double msPerCall = 0;
    {
        bp::null::NullDialogs dialogs;
        bp::null::NullWindows windows;
        bp::desktop::FileSettingsStore settings(scratch + "/settings.ini");
        bp::desktop::IniProfileFile profile(scratch);
        bp::desktop::PosixPrograms programs("");
        bp::desktop::PosixFileSystem files(scratch);
        bp::Platform platform{dialogs, settings, profile, programs, files, windows};
        bp::App app(platform);
        bp::BrickpovMain& m = app.main();
        m.ModelPath = argv[1];
        if (m.ModelPath.back() != '/')
            m.ModelPath += '/';

        bp::FillModelList(m); // warms the directory cache
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
            bp::FillModelList(m);
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        msPerCall = spent.count() / calls;
        listed = m.Cbo_ModelFile.listCount();
    }
    std::filesystem::remove_all(scratch);
    std::printf("calls=%d models=%d ms_per_call=%.3f\n", calls, listed, msPerCall);
    return 0;
}
