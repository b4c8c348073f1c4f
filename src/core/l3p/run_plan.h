#pragma once

#include "core/options/options.h"
#include "core/platform/platform.h"

#include <string>

namespace bp {

// The programs a run uses, as the main window knows them at the click.
struct RunTools {
    std::string converter;     // the program file
    std::string converterName; // "L3P" or "Brickpov's converter", as messages name it
    bool ourConverter = false; // its status for "converted, with warnings" is a success
    std::string povray;
};

// What one "Run L3P" does, fixed from one reading of the options when the
// button is pressed: the conversion, then, with rendering, a pause and
// POV-Ray; the pictures are shown when it has rendered them.
struct RunPlan {
    RunTools tools;
    std::string modelName;
    std::string modelFolder; // where the converter starts
    Arguments converterArguments;
    std::string scene; // what the conversion writes and POV-Ray reads
    bool render = false;
    std::string sceneFolder; // where POV-Ray starts; relative picture names are in it
    Arguments povrayArguments;
};

RunPlan planRun(const Options& o, const RunTools& tools);

// Whether the converter's exit status says it converted the model.
bool conversionSucceeded(int status, const RunTools& tools);

// converting -> pausing -> rendering -> done; a run without rendering is done
// when the conversion ends. Cancel stops the running program first
// (stopping), and the run is cancelled when it has ended.
enum class RunPhase { Idle, Converting, Pausing, Rendering, Stopping, Done, Failed, Cancelled };

// Whether a run in the phase still has something to do.
bool runGoesOn(RunPhase phase);

struct RunEvent {
    enum Kind {
        StartFailed,  // the phase's program could not be started
        ProgramEnded, // the phase's program ended
        PauseOver,
        CancelAsked,
    };
    Kind kind = ProgramEnded;
    int status = 0;            // ProgramEnded: the exit status
    bool sceneWritten = false; // ProgramEnded in converting: the scene is newer than before
    bool warned = false;       // the conversion warned
};

// What the run window does on entering the new phase.
enum class RunAction {
    None,
    StopProgram,
    StartPause,
    StartRender,
    ReportFailure, // the conversion failed: a message says why POV-Ray was not started
    ShowPictures,
};

struct RunTransition {
    RunPhase phase;
    RunAction action = RunAction::None;
    std::string step; // the run window's step line; empty leaves it
};

// The next phase of a run of the plan.
RunTransition nextRunPhase(RunPhase phase, const RunEvent& event, const RunPlan& plan);

} // namespace bp
