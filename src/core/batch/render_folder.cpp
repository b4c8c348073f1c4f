#include "core/batch/render_folder.h"

#include "core/app/app.h"
#include "core/app/brickpov_main.h"
#include "core/app/tool_choice.h"
#include "core/batch/batch_render.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

namespace bp {

namespace {

constexpr const char* kTitle = "Render All Models in Folder";

bool isModelName(const std::string& name) {
    const std::string lower = toLowerAscii(name);
    return lower.ends_with(".ldr") || lower.ends_with(".mpd") || lower.ends_with(".dat");
}

class NoProgress : public RenderProgress {
  public:
    void unitStarted(std::size_t) override {}
    void unitFinished(std::size_t, const UnitResult&) override {}
};

} // namespace

void Mnu_FileRenderFolder_Click(BrickpovMain& m) {
    // One run at a time: its programs and Run L3P's would share the files.
    if (m.runInProgress)
        return;
    Platform& platform = m.platform();
    FileDialogRequest request;
    request.title = kTitle;
    request.initialDir = m.ModelPath;
    request.filter = "LDraw models (*.ldr;*.mpd;*.dat)|*.ldr;*.mpd;*.dat";
    request.fileMustExist = true;
    const auto chosen = platform.dialogs.fileDialog(request);
    if (!chosen)
        return;

    RenderRequest batch;
    const std::string folder = folderPart(*chosen);
    for (const DirEntry& e : platform.files.list(folder))
        if (!e.isFolder && isModelName(e.name))
            batch.models.push_back(folder + e.name);
    std::sort(batch.models.begin(), batch.models.end());
    batch.outputDir = m.POVPath;
    batch.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const RenderTools tools{l3pProgram(m), m.PovRayProgram};
    const std::vector<WorkUnit> units = planRender(m.options(), batch, tools, platform.files);

    // The window keeps answering while the programs run.
    std::vector<UnitResult> results;
    std::atomic<bool> done{false};
    m.runInProgress = true;
    platform.windows.setBusy(true);
    std::thread worker([&] {
        NoProgress quiet;
        try {
            results = runUnits(units, batch.jobs, platform.programs, platform.files, quiet);
        } catch (const std::exception& e) {
            results.assign(units.size(),
                           UnitResult{false, std::string("could not be run: ") + e.what(), 0});
        } catch (...) {
            results.assign(units.size(), UnitResult{false, "could not be run", 0});
        }
        done = true;
    });
    while (!done) {
        platform.windows.processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    worker.join();
    platform.windows.setBusy(false);
    m.runInProgress = false;

    std::ostringstream text;
    if (units.empty())
        text << "There are no models (.ldr, .mpd, .dat) in " << folder << ".";
    else
        text << renderSummary(units, results, "models") << "Pictures and scenes are in "
             << m.POVPath << ".";
    const bool allRendered =
        !units.empty() &&
        std::all_of(results.begin(), results.end(), [](const UnitResult& r) { return r.rendered; });
    showMessage(platform, kTitle, text.str(),
                allRendered ? MsgIcon::Information : MsgIcon::Exclamation);
}

void wireRenderFolder(BrickpovMain& m) {
    m.Mnu_FileRenderFolder.onClick = [&m] { Mnu_FileRenderFolder_Click(m); };
}

} // namespace bp
