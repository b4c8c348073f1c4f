#include "core/l3p/run_l3p.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/l3p/render_options.h"
#include "core/l3p/run_plan.h"
#include "core/l3p/run_window.h"
#include "core/options/options.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/run_monitor.h"
#include "core/window/settings.h"
#include "core/window/tool_choice.h"

#include <chrono>

namespace bp {

namespace {

std::string limitationText(const char* direction, const char* extension) {
    return std::string("The 16-bit version of L3P only supports ") + direction +
           " of standard DOS 8.3 filenames.\r\n"
           "Please upgrade to the latest 32-bit version (see the L3P.txt for details) or\r\n"
           "limit your filename length to 8 characters (not including the " +
           extension + " extension).";
}

bool anyEmpty(const std::array<std::string, 3>& texts) {
    return texts[0].empty() || texts[1].empty() || texts[2].empty();
}

} // namespace

bool requiredFieldMissing(const Options& o) {
    if ((ticked(o.cameraCartesian) || ticked(o.cameraGlobe)) &&
        (o.cameraValue[0].empty() || o.cameraValue[1].empty()))
        return true;
    if ((ticked(o.lightGlobe) || ticked(o.lightCartesian)) && anyEmpty(o.lightPosition))
        return true;
    if (ticked(o.background) && anyEmpty(o.backgroundColour))
        return true;
    for (const switches::Switch& s : switches::kSwitches)
        if (s.valueRequired && ticked(o.ticks[s.id]) && o.values[s.id].empty())
            return true;
    return o.modelFile.empty();
}

bool breaks83Rule(std::string_view name) {
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return name.size() >= 9;
    return dot >= 9;
}

bool isOldL3P(BrickpovMain& m) {
    // A native build carries no extension and is never the 16-bit one,
    // whatever its date.
    if (equalsNoCase(m.EXEName, "l3p") || usesOurConverter(m))
        return false;
    if (!equalsNoCase(m.EXEName, "L3P.EXE"))
        return true;
    const auto date = m.platform().files.modified(l3pProgram(m));
    if (!date)
        return false; // missing: starting it reports that L3P is not there
    using namespace std::chrono;
    const auto cutOff = sys_days{year{2000} / June / 16};
    return *date < cutOff;
}

void StartL3P(BrickpovMain& m, const Options& o) {
    noteRunModel(m, o);
    const RunTools tools{l3pProgram(m), converterName(m), usesOurConverter(m), m.PovRayProgram};
    m.app().form<BrickpovRun>().begin(planRun(o, tools));
}

void Btn_RunL3P_Click(BrickpovMain& m) {
    // The options are read once: the checks, the conversion and the render
    // all see what was there at the click.
    if (runBusy(m.app()))
        return;
    Options o = m.options();
    if (isOldL3P(m)) {
        if (breaks83Rule(o.modelFile)) {
            showMessage(m.platform(), "L3P Filename Limitation", limitationText("input", ".DAT"),
                        MsgIcon::Information);
            return;
        }
        if (breaks83Rule(o.outputFile)) {
            showMessage(m.platform(), "L3P Filename Limitation", limitationText("output", ".POV"),
                        MsgIcon::Information);
            return;
        }
    }
    if (requiredFieldMissing(o)) {
        showMessage(
            m.platform(), "Invalid Command Line",
            "Required fields for the settings selected are not filled. Please check settings "
            "before attempting to run L3P.",
            MsgIcon::Critical);
        return;
    }
    // Our converter refuses a malformed value before reading anything; say so
    // here, where the person can mend it.
    if (const std::string problem = switchProblem(o); !problem.empty() && usesOurConverter(m)) {
        showMessage(m.platform(), "Invalid Command Line",
                    "Brickpov's converter does not take the command line: " + problem +
                        ".\r\nPlease check settings before attempting to run L3P.",
                    MsgIcon::Critical);
        return;
    }
    if (!o.outputFile.empty() && !ticked(o.ticks[switches::Id::Overwrite])) {
        std::string folder = o.povPath;
        if (FileExistsIn(m.platform().files, folder, o.outputFile)) {
            MessageBoxRequest box;
            box.title = "POV Output file exists";
            box.text = "The output file you have chosen already exists, but the -O (Overwrite POV "
                       "file) option is not selected.\r\nWould you like to enable this option "
                       "now? (If not then you will need to change the output filename.)";
            box.icon = MsgIcon::Question;
            box.buttons = MsgButtons::YesNo;
            box.defaultButton = MsgAnswer::Yes;
            if (m.platform().dialogs.messageBox(box) != MsgAnswer::Yes)
                return;
            m.Chk_O.setValue(1);
            o.ticks[switches::Id::Overwrite] = Check::Ticked;
        }
    }
    if (!m.app().form<BrickpovRun>().makeRoomForRun())
        return;
    StartL3P(m, o);
}

void wireRunL3P(BrickpovMain& m) {
    m.Btn_RunL3P.onClick = [&m] { Btn_RunL3P_Click(m); };
    m.Btn_RenderOptions.onClick = [&m] { Btn_RenderOptions_Click(m); };
}

} // namespace bp
