#include "core/batch/render_folder.h"

#include "core/batch/batch_render.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/run_monitor.h"
#include "core/window/tool_choice.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace bp {

namespace {

constexpr const char* kTitle = "Render All Models in Folder";

// Progress reported from the worker threads, handed to the window's thread.
class FolderProgress : public RenderProgress {
  public:
    explicit FolderProgress(const std::vector<WorkUnit>& units) : m_units(units) {}
    void unitStarted(std::size_t) override {}
    void unitFinished(std::size_t index, const UnitResult& result) override {
        std::lock_guard lock(m_mutex);
        ++m_done;
        std::string line = m_units[index].label + ": ";
        if (!result.rendered)
            line += "FAILED: " + result.reason;
        else
            line += result.warnings.empty() ? "rendered" : "rendered, with warnings";
        m_lines.push_back(std::move(line));
        for (const std::string& w : result.warnings)
            m_lines.push_back("    " + w);
    }
    // The lines since the last call, and how many units are done.
    std::vector<std::string> take(std::size_t& done) {
        std::lock_guard lock(m_mutex);
        done = m_done;
        return std::exchange(m_lines, {});
    }

  private:
    const std::vector<WorkUnit>& m_units;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::size_t m_done = 0;
};

} // namespace

void Mnu_FileRenderFolder_Click(BrickpovMain& m) {
    // One run at a time: its programs and Run L3P's would share the files.
    if (runBusy(m.app()))
        return;
    Platform& platform = m.platform();
    FileDialogRequest request;
    request.title = kTitle;
    request.initialDir = m.ModelPath;
    request.folder = true;
    const auto chosen = platform.dialogs.fileDialog(request);
    if (!chosen)
        return;

    RenderRequest batch;
    const std::string folder = AddBackslash(*chosen);
    batch.models = modelsInFolder(platform.files, folder, false);
    std::sort(batch.models.begin(), batch.models.end());
    batch.outputDir = m.POVPath;
    batch.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const RenderTools tools{l3pProgram(m), m.PovRayProgram};
    const std::vector<WorkUnit> units = planRender(m.options(), batch, tools, platform.files);
    if (units.empty()) {
        showMessage(platform, kTitle, "There are no models (.ldr, .mpd, .dat) in " + folder + ".",
                    MsgIcon::Exclamation);
        return;
    }

    RunMonitor& monitor = runMonitor(m.app());
    if (!monitor.makeRoomForRun())
        return;
    monitor.beginMonitoredRun(fileNamePart(StripBackslash(folder)) + " - " + kTitle, false);
    monitor.showStep("Rendering " + std::to_string(units.size()) + " models from " + folder +
                     "...");
    // The window keeps answering while the programs run.
    std::vector<UnitResult> results;
    FolderProgress progress(units);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        try {
            results = runUnits(units, batch.jobs, platform.programs, platform.files, progress);
        } catch (const std::exception& e) {
            results.assign(
                units.size(),
                UnitResult{false, std::string("could not be run: ") + e.what(), 0, {}, false});
        } catch (...) {
            results.assign(units.size(), UnitResult{false, "could not be run", 0, {}, false});
        }
        done = true;
    });
    auto showProgress = [&] {
        std::size_t finished = 0;
        for (const std::string& line : progress.take(finished))
            monitor.addLine(line);
        monitor.showProgress(static_cast<int>(finished * 100 / units.size()));
    };
    while (!done) {
        platform.windows.processEvents();
        showProgress();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    worker.join();
    showProgress();

    const std::string summary = renderSummary(units, results, "models");
    monitor.endMonitoredRun(summary.substr(0, summary.find_first_of(";.:\n")) + ".");
    const bool clean = std::all_of(results.begin(), results.end(), [](const UnitResult& r) {
        return r.rendered && r.warnings.empty();
    });
    showMessage(platform, kTitle, summary + "Pictures and scenes are in " + m.POVPath + ".",
                clean ? MsgIcon::Information : MsgIcon::Exclamation);
}

void wireRenderFolder(BrickpovMain& m) {
    m.Mnu_FileRenderFolder.onClick = [&m] { Mnu_FileRenderFolder_Click(m); };
}

} // namespace bp
