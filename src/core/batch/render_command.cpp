#include "core/batch/render_command.h"

#include "core/batch/batch_render.h"
#include "core/common/file_routines.h"
#include "core/options/option_rules.h"
#include "core/options/scene_format.h"
#include "core/window/settings.h"
#include "core/window/start_folders.h"
#include "core/window/tool_choice.h"

#include <algorithm>
#include <fstream>
#include <ostream>

namespace bp {

namespace {

// The L3P the window would start, under the name start-up settles on: the
// stored name while that file is there, else the first known one that is.
std::string usersL3P(FileSystem& files, const std::string& folder, std::string name) {
    if (name.empty() || !FileExistsIn(files, folder, name)) {
        for (const char* known : {"L3P.exe", "L3P16.exe", "l3p"})
            if (FileExistsIn(files, folder, known)) {
                name = known;
                break;
            }
    }
    if (!FileExistsIn(files, folder, name))
        return {};
    return l3pProgram(files, folder, name);
}

} // namespace

RenderStart renderStart(Platform& p) {
    RenderStart start;
    Options& o = start.options;
    o = startingOptions();
    o.l3pPath = restoredFolder(p, setting::kL3PPath);
    o.modelPath = restoredFolder(p, setting::kModelPath);
    o.povPath = restoredFolder(p, setting::kPOVPath);
    const LibraryFolder library = findLibraryFolder(p);
    o.ldrawPath = library.path;
    // The converter finds the library through LDraw.ini.
    if (library.found)
        writeLibraryFolders(p, library.path, "");
    const std::string lgeo = storedLGEOFolder(p);
    o.lgeoPath = lgeo == kNotInstalled ? std::string() : lgeo;
    start.povray = povrayProgramOf(p);
    o.renderEnabled = !start.povray.empty() && FileExistsIn(p.files, start.povray, "");
    o.renderSettings.povrayWindow = readSetting(p.settings, setting::kPovRayWindow);
    start.usersL3P = usersL3P(p.files, o.l3pPath, readSetting(p.settings, setting::kEXEName));
    return start;
}

int renderCommand(Platform& p, const RenderStart& start, const RenderRequest& request,
                  const RenderTools& tools, std::ostream& out, std::ostream& err, bool terminal,
                  std::stop_token stop) {
    Options options = start.options;
    std::optional<std::string> scene;
    if (!request.scene.empty())
        scene = request.scene;
    else
        scene = defaultScenePath(p.files);
    if (scene) {
        // Opening a scene in the window tells a missing file, and stops
        // silently at an unreadable one; here both end the run before
        // anything is rendered with half a scene.
        std::ifstream in(*scene, std::ios::binary);
        if (!p.files.fileExists(*scene) || !in.is_open()) {
            err << "brickpov render: cannot read the scene " << *scene << "\n";
            return 2;
        }
        const Scene read = p.files.isOrdinaryFile(*scene) ? readScene(sceneFileText(in)) : Scene{};
        const SceneApplied applied = withScene(options, startingLightBoxes(), read);
        if (!p.files.isOrdinaryFile(*scene) || applied.refused || read.end != SceneEnd::Whole) {
            err << "brickpov render: " << *scene
                << " is not a valid .BPS scene file (it ends early or holds a value no "
                   "setting takes)\n";
            return 2;
        }
        options = applied.options;
    }
    if (tools.converter.empty()) {
        err << "brickpov render: no converter found"
            << (request.useL3P ? " (L3P as Brickpov is set up)" : " (brickpov-convert)") << "\n";
        return 2;
    }
    const std::vector<WorkUnit> units = planRender(options, request, tools, p.files);
    if (request.printJobs) {
        // One refused name and no job is printed: a half list piped into
        // parallel would look like a whole one.
        bool refused = false;
        for (const WorkUnit& u : units) {
            if (const std::string why = jobLineProblem(u); u.failure.empty() && !why.empty()) {
                err << "brickpov render: --print-jobs refuses " << visibleText(u.label) << ": "
                    << why << "\n";
                refused = true;
            }
        }
        if (refused)
            return 2;
        int status = 0;
        for (const WorkUnit& u : units) {
            if (!u.failure.empty()) {
                err << "brickpov render: " << visibleText(u.label) << ": " << u.failure << "\n";
                status = 1;
                continue;
            }
            out << shellCommand(u) << "\n";
        }
        return status;
    }
    StreamProgress progress(err, units, terminal, request.frames ? "frame ranges" : "models");
    const auto results =
        runUnits(units, request.jobs, p.programs, p.files, progress, request.strict, stop);
    progress.summary(results);
    return std::all_of(results.begin(), results.end(),
                       [](const UnitResult& r) { return r.rendered; })
               ? 0
               : 1;
}

} // namespace bp
