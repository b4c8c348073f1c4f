#pragma once

#include "core/l3p/run_output.h"
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

    // A new run for the model: the window cleared, titled with the model's
    // name and shown beside the main window.
    void beginRun(const std::string& modelName);
    // The run is over; the text says how it ended.
    void endRun(const std::string& text);

    void beginMonitoredRun(const std::string& title, bool cancellable) override;
    void showStep(const std::string& text) override { Lbl_Step.setCaption(text); }
    void addLine(const std::string& text) override { note(text); }
    void showProgress(int percent) override { Prg_Render.setValue(percent); }
    void endMonitoredRun(const std::string& text) override { endRun(text); }
    bool active() const { return m_active; }
    // Whether POV-Ray renders for the run now.
    bool rendering() const { return m_active && m_rendering; }
    bool cancelled() const { return m_cancelled; }

    // Starts one program of the run under a heading; false when it could
    // not be started, which has been reported.
    bool startProgram(const std::string& step, const std::string& file, const Arguments& arguments,
                      const std::string& workingDir, bool render = false);
    // Takes what the program wrote; true while it runs.
    bool poll();
    // The exit status of the program that ended last, if it was watched.
    std::optional<int> lastStatus() const { return m_lastStatus; }
    // The last lines the current or last program wrote, oldest first.
    std::vector<std::string> lastLines(std::size_t count) const {
        return m_programText.lastLines(count);
    }
    // What the conversion warned of, without the "Warning: " prefix.
    const std::vector<std::string>& warnings() const { return m_warnings; }
    // Whether a file the model asks for was missing.
    bool missingParts() const;
    // The picture files POV-Ray reported, as it named them.
    std::vector<std::string> pictures() const;

    // The scene the run's L3P writes, and when it was last written before.
    std::string scene;
    std::optional<std::chrono::system_clock::time_point> sceneBefore;

    // Raised once when the program of the run has ended, with its status.
    std::function<void(int)> onProgramEnded;

  protected:
    bool Form_QueryUnload() override;
    void Form_Unload() override;

  private:
    // Output of the program: shown, and read for progress and pictures.
    void output(std::string_view bytes);
    void showText();
    // A line of the window's own between the programs' output.
    void note(const std::string& line);
    void showWarnings();
    void programEnded(int status);
    void cancel();
    void showElapsed();

    App& m_app;
    std::unique_ptr<RunningProgram> m_program;
    ConsoleText m_text{1000};
    ConsoleText m_programText{50};
    RenderProgress m_progress;
    std::optional<std::string> m_firstPicture;
    std::vector<std::string> m_warnings;
    std::optional<int> m_lastStatus;
    std::chrono::steady_clock::time_point m_started;
    bool m_active = false;
    bool m_cancelled = false;
    bool m_rendering = false;
    bool m_polling = false;
};

} // namespace bp
