#pragma once

#include "core/options/options.h"
#include "core/platform/platform.h"

#include <cstddef>
#include <iosfwd>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace bp {

// What `brickpov render` was asked to do.
struct RenderRequest {
    std::string scene;     // empty: the default scene
    std::string outputDir; // empty: each picture beside its model
    std::string width;     // empty: the scene's size
    std::string height;
    std::string format; // png, bmp, tga, ppm; empty: the scene's file type
    int jobs = 1;
    bool frames = false; // step-clock frames, split into ranges
    int framesPerJob = 10;
    bool printJobs = false;
    bool useL3P = false;                // the L3P of the settings store instead of ours
    bool strict = false;                // a conversion with warnings is a failure
    bool recursive = false;             // folders given are searched in their subfolders too
    bool transparentBackground = false; // an alpha channel (+UA)
    bool help = false;
    std::vector<std::string> models; // model files and folders of models
};

extern const char* const kRenderUsage;

// `brickpov render`'s arguments, without "render" itself; the text says
// what is wrong with them.
std::variant<RenderRequest, std::string> parseRenderRequest(const std::vector<std::string>& args);

struct Command {
    std::string program;
    Arguments arguments;
    std::string workingDir;
};

// One model, or one range of its step-clock frames: convert, then render.
struct WorkUnit {
    std::string label;
    std::vector<Command> commands;
    std::vector<std::string> pictures;  // what the last command must write
    std::vector<std::string> leftovers; // what a stopped render leaves (POV-Ray's state file)
    std::string failure;                // why it cannot be run at all
};

struct RenderTools {
    std::string converter;
    std::string povray; // empty: not installed
};

// The units of work for each model of the request, from the options the
// window would use (a scene applied); the models' paths are made absolute.
std::vector<WorkUnit> planRender(const Options& options, const RenderRequest& request,
                                 const RenderTools& tools, FileSystem& files);

// A command as one line for a POSIX shell: every word quoted where needed.
std::string shellWord(const std::string& word);
std::string shellCommand(const WorkUnit& unit);
// Text with its control characters written as \n, \t, \xHH, for a message.
std::string visibleText(const std::string& text);
// Why a unit cannot be printed as one job line: the first word of its
// commands (a model, scene or folder name) that holds a control character,
// which would end the line GNU parallel reads; empty when it can.
std::string jobLineProblem(const WorkUnit& unit);

struct UnitResult {
    bool rendered = false;
    std::string reason; // why not
    double seconds = 0;
    std::vector<std::string> warnings; // of the conversion: missing files and the like
    bool stopped = false;              // the run was stopped before this unit ended
};

// The LDraw models (.ldr, .mpd, .dat) in a folder, sorted, with those of its
// subfolders when recursive.
std::vector<std::string> modelsInFolder(FileSystem& files, const std::string& folder,
                                        bool recursive);

class RenderProgress {
  public:
    virtual ~RenderProgress() = default;
    virtual void unitStarted(std::size_t index) = 0;
    virtual void unitFinished(std::size_t index, const UnitResult& result) = 0;
};

// Runs the units, `jobs` at a time; a failing unit does not stop the others.
// Progress is reported from the worker threads, one call at a time.
// strict: a conversion with warnings fails its unit. A stop ends the running
// programs, removes what the stopped units wrote (pictures begun, POV-Ray's
// state files) and starts no other unit.
std::vector<UnitResult> runUnits(const std::vector<WorkUnit>& units, int jobs, Programs& programs,
                                 FileSystem& files, RenderProgress& progress, bool strict = false,
                                 std::stop_token stop = {});

// "Rendered 2 of 3 models, 1 with missing parts", then each failed unit with
// its reason and each unit with warnings with them, a line each; noun: what
// the units are ("models", "frame ranges").
std::string renderSummary(const std::vector<WorkUnit>& units,
                          const std::vector<UnitResult>& results, const std::string& noun);

// Progress as lines, or as one bar redrawn on a terminal, and a summary.
class StreamProgress : public RenderProgress {
  public:
    StreamProgress(std::ostream& out, const std::vector<WorkUnit>& units, bool terminal,
                   std::string noun);
    void unitStarted(std::size_t index) override;
    void unitFinished(std::size_t index, const UnitResult& result) override;
    void summary(const std::vector<UnitResult>& results);

  private:
    void drawBar();

    std::ostream& m_out;
    const std::vector<WorkUnit>& m_units;
    bool m_terminal;
    std::string m_noun;
    std::size_t m_done = 0;
    std::size_t m_running = 0;
};

} // namespace bp
