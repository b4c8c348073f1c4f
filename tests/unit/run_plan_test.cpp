// How a run goes from phase to phase, and what it plans from the options.

#include "core/l3p/run_plan.h"
#include "core/window/tool_choice.h"

#include <gtest/gtest.h>

namespace bp {
namespace {

using P = RunPhase;
using A = RunAction;
using E = RunEvent;

TEST(RunPlan, PhasesFollowTheEvents) {
    struct Row {
        const char* what;
        P from;
        RunEvent event;
        bool render;
        bool ourConverter;
        P to;
        A action;
        const char* step;
    };
    const int warned = kOurConverterWarned;
    // One row a line, as a table reads.
    // clang-format off
    const Row rows[] = {
        // Without rendering the run ends with the conversion.
        {"converted", P::Converting, {E::ProgramEnded, 0, true},
         false, false, P::Done, A::None, "L3P has finished."},
        {"converted with warnings", P::Converting, {E::ProgramEnded, 0, true, true},
         false, false, P::Done, A::None, "Done, with warnings."},
        {"our converter's warned status", P::Converting, {E::ProgramEnded, warned, true, true},
         false, true, P::Done, A::None, "Done, with warnings."},
        {"warnings do not hide a failure", P::Converting, {E::ProgramEnded, 3, true, true},
         false, false, P::Failed, A::None, "L3P ended with status 3."},
        {"converter not started", P::Converting, {E::StartFailed},
         false, true, P::Failed, A::None, "Brickpov's converter could not be started."},
        // With rendering: a pause, then POV-Ray, but only on a scene just written.
        {"scene written", P::Converting, {E::ProgramEnded, 0, true},
         true, false, P::Pausing, A::StartPause, ""},
        {"our converter warned, scene written", P::Converting, {E::ProgramEnded, warned, true},
         true, true, P::Pausing, A::StartPause, ""},
        {"L3P's status 3 is a failure", P::Converting, {E::ProgramEnded, warned, true},
         true, false, P::Failed, A::ReportFailure, "L3P failed: POV-Ray was not started."},
        {"older scene left", P::Converting, {E::ProgramEnded, 0, false},
         true, false, P::Failed, A::ReportFailure, "L3P failed: POV-Ray was not started."},
        {"pause over", P::Pausing, {E::PauseOver}, true, false, P::Rendering, A::StartRender, ""},
        {"no pause while converting", P::Converting, {E::PauseOver},
         true, false, P::Converting, A::None, ""},
        {"rendered", P::Rendering, {E::ProgramEnded, 0},
         true, false, P::Done, A::ShowPictures, "Done."},
        {"rendered after warnings", P::Rendering, {E::ProgramEnded, 0, false, true},
         true, false, P::Done, A::ShowPictures, "Done, with warnings."},
        {"render failed", P::Rendering, {E::ProgramEnded, 1},
         true, false, P::Failed, A::None, "POV-Ray ended with status 1."},
        {"POV-Ray not started", P::Rendering, {E::StartFailed},
         true, false, P::Failed, A::None, "POV-Ray could not be started."},
        // Cancel stops a running program and ends the run once it has ended.
        {"cancel converting", P::Converting, {E::CancelAsked},
         true, false, P::Stopping, A::StopProgram, "Stopping..."},
        {"cancel rendering", P::Rendering, {E::CancelAsked},
         true, false, P::Stopping, A::StopProgram, "Stopping..."},
        {"cancel again", P::Stopping, {E::CancelAsked},
         true, false, P::Stopping, A::StopProgram, "Stopping..."},
        {"stopped", P::Stopping, {E::ProgramEnded, 143},
         true, false, P::Cancelled, A::None, "Cancelled."},
        {"cancel pausing", P::Pausing, {E::CancelAsked},
         true, false, P::Cancelled, A::None, "Cancelled."},
        // An ended run stays ended.
        {"done", P::Done, {E::ProgramEnded, 0}, true, false, P::Done, A::None, ""},
        {"cancelled", P::Cancelled, {E::PauseOver}, true, false, P::Cancelled, A::None, ""},
        {"idle", P::Idle, {E::CancelAsked}, true, false, P::Idle, A::None, ""},
    };
    // clang-format on
    for (const Row& r : rows) {
        RunPlan plan;
        plan.render = r.render;
        plan.tools.ourConverter = r.ourConverter;
        plan.tools.converterName = r.ourConverter ? "Brickpov's converter" : "L3P";
        const RunTransition t = nextRunPhase(r.from, r.event, plan);
        EXPECT_EQ(t.phase, r.to) << r.what;
        EXPECT_EQ(t.action, r.action) << r.what;
        EXPECT_EQ(t.step, r.step) << r.what;
        EXPECT_EQ(runGoesOn(t.phase), t.phase != P::Idle && t.phase != P::Done &&
                                          t.phase != P::Failed && t.phase != P::Cancelled)
            << r.what;
    }
}

TEST(RunPlan, OneReadingOfTheOptionsPlansTheWholeRun) {
    Options o;
    o.modelFile = "car.dat";
    o.modelPath = "/models/";
    o.outputFile = "car.pov";
    o.povPath = "/out";
    o.render = Check::Ticked;
    o.renderEnabled = true;
    o.renderSettings.width = "320";
    o.renderSettings.height = "240";
    const RunTools tools{"/tools/l3p", "L3P", false, "/usr/bin/povray"};
    const RunPlan plan = planRun(o, tools);
    EXPECT_EQ(plan.modelName, "car.dat");
    EXPECT_EQ(plan.modelFolder, "/models/");
    EXPECT_EQ(plan.scene, "/out/car.pov");
    EXPECT_EQ(plan.sceneFolder, "/out");
    EXPECT_TRUE(plan.render);
    EXPECT_EQ(plan.converterArguments, l3pRunArguments(o));
    EXPECT_EQ(plan.povrayArguments, povrayArguments(o));
    EXPECT_EQ(plan.tools.povray, "/usr/bin/povray");

    // Ticked but disabled (no POV-Ray): the conversion only.
    o.renderEnabled = false;
    EXPECT_FALSE(planRun(o, tools).render);
    o.renderEnabled = true;
    o.render = Check::Clear;
    EXPECT_FALSE(planRun(o, tools).render);
}

} // namespace
} // namespace bp
