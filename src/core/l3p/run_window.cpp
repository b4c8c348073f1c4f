#include "core/l3p/run_window.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/l3p/picture_window.h"
#include "core/options/options.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"

#include <algorithm>

namespace bp {

namespace {
constexpr int kPollMs = 100;
// Between the conversion's end and POV-Ray's start.
constexpr int kPauseMs = 2000;
constexpr int kGapTwips = 120;
} // namespace

BrickpovRun::BrickpovRun(App& app)
    : Form(app, "BrickpovRun"), Lbl_Step(add(ControlKind::Label, "Lbl_Step")),
      Txt_Warnings(add(ControlKind::TextBox, "Txt_Warnings")),
      Txt_Output(add(ControlKind::TextBox, "Txt_Output")),
      Prg_Render(add(ControlKind::ProgressBar, "Prg_Render")),
      Lbl_Elapsed(add(ControlKind::Label, "Lbl_Elapsed")),
      Btn_Cancel(add(ControlKind::Button, "Btn_Cancel")),
      Btn_Close(add(ControlKind::Button, "Btn_Close")), Tmr_Run(add(ControlKind::Timer, "Tmr_Run")),
      m_app(app) {
    setCaption("Run L3P");
    clientWidth = 9000;
    clientHeight = 6360;
    setRect({0, 0, 9090, 6765});
    Lbl_Step.setRect({120, 120, 8760, 255});
    Lbl_Step.bold = true;
    Txt_Warnings.setRect({120, 480, 8760, 1215});
    Txt_Warnings.multiLine = true;
    Txt_Warnings.setLocked(true);
    Txt_Warnings.setVisible(false);
    Txt_Warnings.tabIndex = 3;
    Txt_Output.setRect({120, 480, 8760, 4680});
    Txt_Output.multiLine = true;
    Txt_Output.setLocked(true);
    Txt_Output.tabIndex = 2;
    Prg_Render.setRect({120, 5280, 7200, 255});
    Lbl_Elapsed.setRect({7440, 5280, 1440, 255});
    Lbl_Elapsed.alignment = Alignment::Right;
    Btn_Cancel.setRect({6480, 5820, 1155, 375});
    Btn_Cancel.setCaption("Cancel");
    Btn_Cancel.tabIndex = 0;
    Btn_Cancel.cancelButton = true;
    Btn_Cancel.setEnabled(false);
    Btn_Close.setRect({7725, 5820, 1155, 375});
    Btn_Close.setCaption("Close");
    Btn_Close.tabIndex = 1;
    for (Control* c : {&Lbl_Step, &Lbl_Elapsed, &Btn_Cancel, &Btn_Close})
        c->setBackColor(Color::systemButtonFace());
    fixedBorder = false;
    for (Control* c : {&Lbl_Step, &Txt_Warnings, &Txt_Output, &Prg_Render})
        c->growWidth = true;
    Txt_Output.growHeight = true;
    for (Control* c : {&Lbl_Elapsed, &Btn_Cancel, &Btn_Close})
        c->keepRight = true;
    for (Control* c : {&Prg_Render, &Lbl_Elapsed, &Btn_Cancel, &Btn_Close})
        c->keepBottom = true;
    Tmr_Run.setInterval(kPollMs);
    Tmr_Run.setEnabled(false);

    Btn_Cancel.onClick = [this] { cancel(); };
    Btn_Close.onClick = [this] { userClose(); };
    Tmr_Run.onTimer = [this] { step(); };
}

void BrickpovRun::beginRun(const std::string& modelName) {
    m_text.clear();
    m_programText.clear();
    m_progress = {};
    m_firstPicture.reset();
    m_warnings.clear();
    showWarnings();
    m_program.reset();
    m_phase = RunPhase::Idle;
    m_rendering = false;
    m_monitoring = false;
    m_tick = nullptr;
    m_started = std::chrono::steady_clock::now();
    setCaption(modelName.empty() ? "Run L3P" : modelName + " - Run L3P");
    Txt_Output.setText("");
    Prg_Render.setValue(0);
    Lbl_Step.setCaption("");
    showElapsed();
    Btn_Cancel.setEnabled(true);
    Tmr_Run.setInterval(kPollMs);
    Tmr_Run.setEnabled(true);
    if (!visible() &&
        !restorePlace(*this, readSetting(m_app.platform().settings, setting::windowPlace(name())),
                      m_app.platform().windows)) {
        // Beside the main window, on the side where the screen has room;
        // with room on neither, against the edge of the wider side.
        const Rect& main = m_app.main().rect();
        const int screen = m_app.platform().windows.screenWidth();
        const int width = rect().width;
        const int right = main.left + main.width + kGapTwips;
        const int leftOfMain = main.left - width - kGapTwips;
        int left = right;
        if (right + width > screen)
            left = leftOfMain >= 0                                 ? leftOfMain
                   : screen - (main.left + main.width) > main.left ? screen - width
                                                                   : 0;
        move(std::max(0, left), std::max(0, main.top));
    }
    if (!visible())
        Form::show(false);
}

void BrickpovRun::begin(const RunPlan& plan) {
    beginRun(plan.modelName);
    m_plan = plan;
    m_phase = RunPhase::Converting;
    m_sceneBefore = m_app.platform().files.modified(plan.scene);
    const bool started =
        startProgram("Converting with " + plan.tools.converterName + "...", plan.tools.converter,
                     plan.converterArguments, plan.modelFolder);
    // POV-Ray must not start on a scene still being written: until it
    // starts, the program is busy.
    if (plan.render)
        setBusy(true);
    if (!started)
        advance({RunEvent::StartFailed});
}

bool BrickpovRun::makeRoomForRun() {
    // What has ended meanwhile is taken first, so that nobody is asked
    // about a render that is over.
    step();
    if (m_phase == RunPhase::Rendering &&
        !askYesNo(m_app.platform(), "Run L3P",
                  "POV-Ray is still rendering the last run. Stop it and start a new run?",
                  MsgIcon::Question))
        return false;
    // A conversion still going on is replaced: both would write the same
    // scene.
    m_program.reset();
    return true;
}

void BrickpovRun::beginMonitoredRun(const std::string& title, bool cancellable,
                                    std::function<bool()> tick) {
    beginRun("");
    setCaption(title);
    Btn_Cancel.setEnabled(cancellable);
    m_monitoring = true;
    m_tick = std::move(tick);
    setBusy(true);
}

void BrickpovRun::endMonitoredRun(const std::string& text) {
    setBusy(false);
    endRun(text);
    m_monitoring = false;
}

void BrickpovRun::endRun(const std::string& text) {
    m_program.reset();
    setStaysOnTop(false);
    Btn_Cancel.setEnabled(false);
    Tmr_Run.setEnabled(false);
    showElapsed();
    Lbl_Step.setCaption(text);
}

void BrickpovRun::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_app.platform().windows.setBusy(busy);
}

bool BrickpovRun::startProgram(const std::string& step, const std::string& file,
                               const Arguments& arguments, const std::string& workingDir) {
    m_program.reset();
    m_rendering = m_phase == RunPhase::Rendering;
    m_programText.clear();
    Lbl_Step.setCaption(step);
    note("$ " + commandLineText(Arguments{file}) + " " + commandLineText(arguments));
    WatchedStart started = m_app.platform().programs.startWatched(file, arguments, workingDir);
    if (started.result != StartResult::Started) {
        reportStartFailure(m_app.platform(), file, started.result);
        note(std::string("Cannot start the program: ") + appExecuteReason(started.result));
        return false;
    }
    m_program = std::move(started.program);
    // POV-Ray's own window opens in front of everything: Cancel and the
    // progress stay in view above it.
    setStaysOnTop(m_rendering);
    return true;
}

void BrickpovRun::step() {
    if (m_monitoring) {
        // Kept until it returns, even when the window is closed meanwhile.
        const auto tick = m_tick;
        if (tick && !tick())
            m_tick = nullptr;
        return;
    }
    if (m_phase == RunPhase::Pausing) {
        advance({RunEvent::PauseOver});
        return;
    }
    if (!m_program)
        return;
    output(m_program->takeOutput());
    showElapsed();
    const std::optional<int> status = m_program->exitStatus();
    if (!status)
        return;
    output(m_program->takeOutput());
    m_program.reset();
    if (*status == 0 && m_rendering)
        Prg_Render.setValue(100);
    note(*status == 0 ? std::string("[done]")
                      : "[ended with status " + std::to_string(*status) + "]");
    RunEvent ended{RunEvent::ProgramEnded, *status};
    if (!m_rendering) {
        showWarnings();
        const auto written = m_app.platform().files.modified(m_plan.scene);
        ended.sceneWritten = written && written != m_sceneBefore;
    }
    ended.warned = !m_warnings.empty();
    advance(ended);
}

// The phase changes before anything that may wait on the person (a
// message, a start that fails), so that a tick meanwhile finds the run
// where it is.
void BrickpovRun::advance(const RunEvent& event) {
    const RunTransition next = nextRunPhase(m_phase, event, m_plan);
    m_phase = next.phase;
    if (!runGoesOn(m_phase))
        endRun(next.step);
    else if (!next.step.empty())
        Lbl_Step.setCaption(next.step);
    setBusy(m_plan.render && (m_phase == RunPhase::Converting || m_phase == RunPhase::Pausing ||
                              (m_phase == RunPhase::Stopping && m_busy)));
    switch (next.action) {
    case RunAction::None:
        break;
    case RunAction::StopProgram:
        if (m_program)
            m_program->stop();
        break;
    case RunAction::StartPause:
        Tmr_Run.setInterval(kPauseMs);
        break;
    case RunAction::StartRender:
        Tmr_Run.setInterval(kPollMs);
        if (!startProgram("Rendering with POV-Ray...", m_plan.tools.povray, m_plan.povrayArguments,
                          m_plan.sceneFolder))
            advance({RunEvent::StartFailed});
        break;
    case RunAction::ReportFailure:
        reportConversionFailure(event);
        break;
    case RunAction::ShowPictures:
        showRenderedPictures();
        break;
    }
}

namespace {
std::string lastOutput(const std::vector<std::string>& lines, const std::string& converter) {
    if (lines.empty())
        return "\r\n\r\n" + converter + " wrote nothing.";
    std::string text = "\r\n\r\n" + converter + "'s last output:";
    for (const std::string& line : lines)
        text += "\r\n" + line;
    return text;
}

std::string resolvedPicture(const std::string& folder, const std::string& name) {
    return name.starts_with(kPathSeparator) ? name : AddBackslash(folder) + name;
}
} // namespace

void BrickpovRun::reportConversionFailure(const RunEvent& event) {
    const std::string& converter = m_plan.tools.converterName;
    const std::string why =
        conversionSucceeded(event.status, m_plan.tools)
            ? converter + " did not write " + m_plan.scene +
                  ", so POV-Ray was not started: it would have rendered an older scene."
            : converter + " ended with exit status " + std::to_string(event.status) +
                  ", so POV-Ray was not started.";
    showMessage(m_app.platform(), "Conversion Failed",
                why + lastOutput(m_programText.lastLines(8), converter), MsgIcon::Critical);
}

void BrickpovRun::showRenderedPictures() {
    std::vector<std::string> shown;
    for (const std::string& name : pictures())
        if (const std::string path = resolvedPicture(m_plan.sceneFolder, name);
            m_app.platform().files.fileExists(path))
            shown.push_back(path);
    if (!shown.empty())
        showPictures(m_app, shown, missingParts());
}

void BrickpovRun::output(std::string_view bytes) {
    if (bytes.empty())
        return;
    m_programText.append(bytes);
    for (const std::string& piece : m_text.append(bytes)) {
        if (readRenderProgress(m_progress, piece))
            Prg_Render.setValue(m_progress.percent());
        if (!m_firstPicture)
            m_firstPicture = renderedPictureName(piece);
        if (!m_rendering)
            if (std::string warning = warningOf(piece); !warning.empty())
                m_warnings.push_back(std::move(warning));
    }
    showText();
}

void BrickpovRun::showText() {
    const std::string text = m_text.text();
    Txt_Output.setText(text);
    // The end stays in view, as in a terminal.
    Txt_Output.setSelection(static_cast<int>(text.size()), 0);
}

void BrickpovRun::note(const std::string& line) {
    m_text.endLine();
    m_text.append(line + "\n");
    showText();
}

// The warnings stand above the log, where they cannot scroll away.
void BrickpovRun::showWarnings() {
    const bool shown = !m_warnings.empty();
    std::string text;
    if (shown)
        text = missingParts() ? "The picture will have missing parts:\r\n"
                              : "The conversion warned:\r\n";
    for (const std::string& w : m_warnings)
        text += "  " + w + "\r\n";
    Txt_Warnings.setText(text);
    Txt_Warnings.setVisible(shown);
    const Rect log = Txt_Output.rect();
    const int top = shown ? Txt_Warnings.rect().top + Txt_Warnings.rect().height + 105 : 480;
    Txt_Output.setRect({log.left, top, log.width, log.top + log.height - top});
}

bool BrickpovRun::missingParts() const {
    return std::any_of(m_warnings.begin(), m_warnings.end(),
                       [](const std::string& w) { return isMissingFile(w); });
}

std::vector<std::string> BrickpovRun::pictures() const {
    if (!m_firstPicture)
        return {};
    return framePictureNames(*m_firstPicture, m_progress.frames);
}

void BrickpovRun::cancel() {
    if (runGoesOn(m_phase))
        advance({RunEvent::CancelAsked});
}

void BrickpovRun::showElapsed() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::steady_clock::now() - m_started)
                             .count();
    Lbl_Elapsed.setCaption(elapsedText(seconds));
}

bool BrickpovRun::Form_QueryUnload() {
    if (!active())
        return true;
    if (!askYesNo(m_app.platform(), "Run L3P",
                  "L3P or POV-Ray is still running. Stop it and close this window?",
                  MsgIcon::Question))
        return false;
    cancel();
    return true;
}

void BrickpovRun::Form_Unload() {
    saveSetting(m_app.platform().settings, setting::windowPlace(name()), placeText(*this));
    if (runGoesOn(m_phase))
        m_phase = RunPhase::Cancelled;
    m_monitoring = false;
    m_tick = nullptr;
    // Dropping the program ends it and everything it started.
    m_program.reset();
    Tmr_Run.setEnabled(false);
    // When the whole program closes, the pointer goes with its windows.
    if (m_app.main().loaded())
        setBusy(false);
}

} // namespace bp
