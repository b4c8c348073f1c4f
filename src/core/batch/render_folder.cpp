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
#include <memory>
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

// The models' renders on a thread of their own; the run window's timer
// takes their progress. Dropped with the window, it starts no other model
// and waits for those that run.
struct FolderRender {
    explicit FolderRender(std::vector<WorkUnit> planned) : units(std::move(planned)) {}
    ~FolderRender() {
        stop.request_stop();
        if (worker.joinable())
            worker.join();
    }
    FolderRender(const FolderRender&) = delete;
    FolderRender& operator=(const FolderRender&) = delete;

    const std::vector<WorkUnit> units;
    FolderProgress progress{units};
    std::vector<UnitResult> results;
    std::atomic<bool> done{false};
    std::stop_source stop;
    std::thread worker;
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
    auto render = std::make_shared<FolderRender>(units);
    const int jobs = batch.jobs;
    render->worker = std::thread([&platform, render = render.get(), jobs] {
        try {
            render->results = runUnits(render->units, jobs, platform.programs, platform.files,
                                       render->progress, false, render->stop.get_token());
        } catch (const std::exception& e) {
            render->results.assign(
                render->units.size(),
                UnitResult{false, std::string("could not be run: ") + e.what(), 0, {}, false});
        } catch (...) {
            render->results.assign(render->units.size(),
                                   UnitResult{false, "could not be run", 0, {}, false});
        }
        render->done = true;
    });
    // Each tick of the run window shows what has finished; the last one
    // sums the run up.
    auto tick = [&m, &monitor, render, folder = m.POVPath] {
        std::size_t finished = 0;
        for (const std::string& line : render->progress.take(finished))
            monitor.addLine(line);
        monitor.showProgress(static_cast<int>(finished * 100 / render->units.size()));
        if (!render->done)
            return true;
        render->worker.join();
        const std::string summary = renderSummary(render->units, render->results, "models");
        monitor.endMonitoredRun(summary.substr(0, summary.find_first_of(";.:\n")) + ".");
        const bool clean =
            std::all_of(render->results.begin(), render->results.end(),
                        [](const UnitResult& r) { return r.rendered && r.warnings.empty(); });
        showMessage(m.platform(), kTitle, summary + "Pictures and scenes are in " + folder + ".",
                    clean ? MsgIcon::Information : MsgIcon::Exclamation);
        return false;
    };
    monitor.beginMonitoredRun(fileNamePart(StripBackslash(folder)) + " - " + kTitle, false, tick);
    monitor.showStep("Rendering " + std::to_string(units.size()) + " models from " + folder +
                     "...");
}
void wireRenderFolder(BrickpovMain& m) {
    m.Mnu_FileRenderFolder.onClick = [&m] { Mnu_FileRenderFolder_Click(m); };
}

} // namespace bp
