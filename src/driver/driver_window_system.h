#pragma once

#include "core/platform/platform.h"

#include <chrono>
#include <functional>
#include <map>
#include <vector>

namespace bp::driver {

class EventTracer;
class Output;

// The window system without windows: showing and hiding forms is printed,
// a modal show runs the script until the form is hidden again, timers run on
// the clock (scaled), and activations are raised the way an event loop would,
// never inside the handler that caused them.
class DriverWindowSystem : public WindowSystem {
  public:
    DriverWindowSystem(Output& out, EventTracer& tracer, double timerScale);

    // Runs script commands until the form is no longer visible.
    void setModalLoop(std::function<void(Form&)> loop) { m_modalLoop = std::move(loop); }
    // The window that owns the dialogs and is active when none is shown.
    void setMainForm(Form* main) { m_main = main; }
    // Called when events are processed while a person waits for the busy
    // program, not when the script waits.
    void setInsideHandlerHook(std::function<void()> hook) { m_insideHandler = std::move(hook); }

    void showForm(Form& form, bool modal) override;
    void hideForm(Form& form) override;
    void formUnloaded(Form& form) override;
    // Processes pending events as the program's own event loop does, and
    // performs the held commands.
    void processEvents();
    int startTimer(int ms, std::function<void()> tick) override;
    void stopTimer(int id) override;
    int screenWidth() override;
    int screenHeight() override;
    void setBusy(bool busy) override;
    void quit() override;
    // Prints "! error WHERE: WHAT".
    void handlerFailed(const std::string& where, const std::string& what) override;
    void formCreated(Form& form) override;
    std::optional<std::pair<int, int>> imageSize(const std::string& path) override;
    // Prints the copy and succeeds for every picture it can read.
    bool copyImage(const std::string& path) override;

    // Processes events for ms milliseconds of script time (scaled).
    void wait(double ms);
    // Processes pending events once, as the script's own waits do.
    void pump();
    // Forgets the ended program's windows and timers, for a new one.
    void reset();
    // Raises the activation an event loop would deliver next, if any.
    void raisePendingActivation();
    // A person activating a window: raised now, even when already active.
    void activate(Form& form);
    // Prints "! end" once the program has asked to end, as the event loop
    // notices it: after the handler that asked has finished. A busy pointer
    // still shown goes with the program ("! busy off" first).
    void reportEnd();

    bool ended() const { return m_ended; }
    bool busy() const { return m_busy; }
    Form* activeForm() const { return m_active; }
    // The innermost modal form still shown, or nullptr.
    Form* modalForm() const;
    bool isModal(const Form& form) const;

  private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Clock::duration interval;
        Clock::time_point due;
        std::function<void()> tick;
    };

    void dispatch(); // pending activation, then due timers
    void fireDueTimers();
    Form* owner(const Form& closing) const;

    Output& m_out;
    EventTracer& m_tracer;
    double m_timerScale;
    std::function<void(Form&)> m_modalLoop;
    std::function<void()> m_insideHandler;
    Form* m_main = nullptr;
    Form* m_active = nullptr;
    Form* m_pendingActivation = nullptr;
    std::vector<Form*> m_modal;
    std::map<int, Timer> m_timers;
    int m_nextTimer = 1;
    bool m_busy = false;
    bool m_ended = false;
    bool m_endReported = false;
};

} // namespace bp::driver
