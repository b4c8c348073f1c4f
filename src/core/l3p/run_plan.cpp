#include "core/l3p/run_plan.h"

#include "core/common/file_routines.h"
#include "core/window/tool_choice.h"

namespace bp {

RunPlan planRun(const Options& o, const RunTools& tools) {
    RunPlan plan;
    plan.tools = tools;
    plan.modelName = o.modelFile;
    plan.modelFolder = o.modelPath;
    plan.converterArguments = l3pRunArguments(o);
    plan.scene = AddBackslash(o.povPath) + o.outputFile;
    plan.render = o.renderEnabled && ticked(o.render);
    plan.sceneFolder = o.povPath;
    if (plan.render)
        plan.povrayArguments = povrayArguments(o);
    return plan;
}

bool conversionSucceeded(int status, const RunTools& tools) {
    return status == 0 || (tools.ourConverter && status == kOurConverterWarned);
}

bool runGoesOn(RunPhase phase) {
    switch (phase) {
    case RunPhase::Converting:
    case RunPhase::Pausing:
    case RunPhase::Rendering:
    case RunPhase::Stopping:
        return true;
    default:
        return false;
    }
}

namespace {

std::string statusText(int status) {
    return std::to_string(status);
}

RunTransition conversionEnded(const RunEvent& e, const RunPlan& plan) {
    const std::string& name = plan.tools.converterName;
    const bool converted = conversionSucceeded(e.status, plan.tools);
    if (!plan.render) {
        if (!converted)
            return {RunPhase::Failed, RunAction::None,
                    name + " ended with status " + statusText(e.status) + "."};
        return {RunPhase::Done, RunAction::None,
                e.warned ? "Done, with warnings." : name + " has finished."};
    }
    // POV-Ray reading an older scene, or one half written, would render a
    // picture that is not of these options.
    if (!converted || !e.sceneWritten)
        return {RunPhase::Failed, RunAction::ReportFailure,
                name + " failed: POV-Ray was not started."};
    return {RunPhase::Pausing, RunAction::StartPause, {}};
}

RunTransition renderEnded(const RunEvent& e) {
    if (e.status != 0)
        return {RunPhase::Failed, RunAction::None,
                "POV-Ray ended with status " + statusText(e.status) + "."};
    return {RunPhase::Done, RunAction::ShowPictures, e.warned ? "Done, with warnings." : "Done."};
}

} // namespace

RunTransition nextRunPhase(RunPhase phase, const RunEvent& e, const RunPlan& plan) {
    const RunTransition stay{phase, RunAction::None, {}};
    const RunTransition stop{RunPhase::Stopping, RunAction::StopProgram, "Stopping..."};
    switch (phase) {
    case RunPhase::Converting:
        switch (e.kind) {
        case RunEvent::StartFailed:
            return {RunPhase::Failed, RunAction::None,
                    plan.tools.converterName + " could not be started."};
        case RunEvent::ProgramEnded:
            return conversionEnded(e, plan);
        case RunEvent::CancelAsked:
            return stop;
        case RunEvent::PauseOver:
            return stay;
        }
        break;
    case RunPhase::Pausing:
        if (e.kind == RunEvent::PauseOver)
            return {RunPhase::Rendering, RunAction::StartRender, {}};
        if (e.kind == RunEvent::CancelAsked)
            return {RunPhase::Cancelled, RunAction::None, "Cancelled."};
        return stay;
    case RunPhase::Rendering:
        switch (e.kind) {
        case RunEvent::StartFailed:
            return {RunPhase::Failed, RunAction::None, "POV-Ray could not be started."};
        case RunEvent::ProgramEnded:
            return renderEnded(e);
        case RunEvent::CancelAsked:
            return stop;
        case RunEvent::PauseOver:
            return stay;
        }
        break;
    case RunPhase::Stopping:
        if (e.kind == RunEvent::ProgramEnded)
            return {RunPhase::Cancelled, RunAction::None, "Cancelled."};
        if (e.kind == RunEvent::CancelAsked)
            return stop; // asked again: the program is ended harder
        return stay;
    default:
        break;
    }
    return stay;
}

} // namespace bp
