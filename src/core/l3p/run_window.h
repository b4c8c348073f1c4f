#pragma once

#include "core/l3p/run_output.h"
#include "core/l3p/run_plan.h"
#include "core/platform/platform.h"
#include "core/ui/form.h"
#include "core/window/run_monitor.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bp {

class App;

// The window of one "Run L3P": the output of L3P and then of POV-Ray, how
// far the render has got, the time it has taken, and Cancel. Each run
// reuses the window.
class BrickpovRun : public Form, public RunMonitor {
  public:
    explicit BrickpovRun(App& app);

    Control& Lbl_Step;
    Control& Txt_Warnings;
    Control& Txt_Output;
    Control& Prg_Render;
    Control& Lbl_Elapsed;
    Control& Btn_Cancel;
    Control& Btn_Close;
    Control& Tmr_Run;

    // Begins a run of the plan: the window cleared and shown, the
    // conversion started; the window's timer steps it on from there.
    void begin(const RunPlan& plan);
    // Whether a run holds the program busy: a conversion for a render and
    // the pause after it, or a run that is not stopped from here.
    bool busy() const { return m_busy; }
    // The one rule for a new run: none while a run holds the program busy
    // (runBusy, which a caller asks before any question of its own); a run
    // that does not is stopped first, after asking when POV-Ray renders.
    // False when the new run must not begin.
    bool makeRoomForRun() override;

    void beginMonitoredRun(const std::string& title, bool cancellable,
                           std::function<bool()> tick) override;
    void showStep(const std::string& text) override { Lbl_Step.setCaption(text); }
    void addLine(const std::string& text) override { note(text); }
    void showProgress(int percent) override { Prg_Render.setValue(percent); }
    void endMonitoredRun(const std::string& text) override;
    bool active() const { return m_monitoring || runGoesOn(m_phase); }
    RunPhase phase() const { return m_phase; }

    // What the conversion warned of, without the "Warning: " prefix.
    const std::vector<std::string>& warnings() const { return m_warnings; }
    // Whether a file the model asks for was missing.
    bool missingParts() const;
    // The picture files POV-Ray reported, as it named them.
    std::vector<std::string> pictures() const;

  protected:
    bool Form_QueryUnload() override;
    void Form_Unload() override;

  private:
    // The window cleared, titled with the model's name and shown beside the
    // main window.
    void beginRun(const std::string& title);
    // The run is over; the text says how it ended.
    void endRun(const std::string& text);
    void setBusy(bool busy);
    // Starts the program of the phase under a heading; false when it could
    // not be started, which has been reported.
    bool startProgram(const std::string& step, const std::string& file, const Arguments& arguments,
                      const std::string& workingDir);
    // One tick of the window's timer: what the program wrote, whether it
    // ended, whether the pause is over.
    void step();
    void advance(const RunEvent& event);
    void reportConversionFailure(const RunEvent& event);
    void showRenderedPictures();
    // Output of the program: shown, and read for progress and pictures.
    void output(std::string_view bytes);
    void showText();
    // A line of the window's own between the programs' output.
    void note(const std::string& line);
    void showWarnings();
    void cancel();
    void showElapsed();

    App& m_app;
    std::unique_ptr<RunningProgram> m_program;
    ConsoleText m_text{1000};
    ConsoleText m_programText{50};
    RenderProgress m_progress;
    std::optional<std::string> m_firstPicture;
    std::vector<std::string> m_warnings;
    RunPlan m_plan;
    RunPhase m_phase = RunPhase::Idle;
    // When the scene was last written before the conversion began.
    std::optional<std::chrono::system_clock::time_point> m_sceneBefore;
    std::chrono::steady_clock::time_point m_started;
    bool m_rendering = false; // the program is POV-Ray
    bool m_monitoring = false;
    std::function<bool()> m_tick; // of the monitored run
    bool m_busy = false;
};

} // namespace bp
