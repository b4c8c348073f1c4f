#include "core/app/render_command.h"

#include "core/batch/batch_render.h"
#include "core/platform/platform.h"
#include "core/scene/scene_file.h"
#include "core/window/brickpov_main.h"

#include <algorithm>
#include <fstream>
#include <ostream>

namespace bp {

int renderCommand(BrickpovMain& m, const RenderRequest& request, const RenderTools& tools,
                  std::ostream& out, std::ostream& err, bool terminal, std::stop_token stop) {
    std::optional<std::string> scene;
    if (!request.scene.empty())
        scene = request.scene;
    else
        scene = defaultScenePath(m);
    if (scene) {
        // Opening a scene in the window tells a missing file, and stops
        // silently at an unreadable one; here both end the run before
        // anything is rendered with half a scene.
        const bool readable = std::ifstream(*scene).is_open();
        if (!m.platform().files.fileExists(*scene) || !readable) {
            err << "brickpov render: cannot read the scene " << *scene << "\n";
            return 2;
        }
        if (!LoadScene(m, *scene)) {
            err << "brickpov render: " << *scene
                << " is not a valid .BPS scene file (it ends early or holds a value no "
                   "setting takes)\n";
            return 2;
        }
    }
    if (tools.converter.empty()) {
        err << "brickpov render: no converter found"
            << (request.useL3P ? " (L3P as Brickpov is set up)" : " (brickpov-convert)") << "\n";
        return 2;
    }
    const std::vector<WorkUnit> units = planRender(m.options(), request, tools, m.platform().files);
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
    const auto results = runUnits(units, request.jobs, m.platform().programs, m.platform().files,
                                  progress, request.strict, stop);
    progress.summary(results);
    return std::all_of(results.begin(), results.end(),
                       [](const UnitResult& r) { return r.rendered; })
               ? 0
               : 1;
}

} // namespace bp
