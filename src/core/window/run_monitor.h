#pragma once

#include <functional>
#include <string>

namespace bp {

class App;

// The run window as a run without L3P sees it (the folder render): a title,
// the step, lines of the log, progress and how it ended. Such a run holds
// the program busy from its beginning to its end.
class RunMonitor {
  public:
    virtual ~RunMonitor() = default;
    // Whether a new run may begin; a run that does not hold the program
    // busy is stopped first, after asking when POV-Ray renders.
    virtual bool makeRoomForRun() = 0;
    // A new run: the window cleared, titled, shown; Cancel only when the run
    // can be stopped. tick is called on each tick of the window's timer
    // until it returns false, having ended the run; closing the window drops
    // it.
    virtual void beginMonitoredRun(const std::string& title, bool cancellable,
                                   std::function<bool()> tick) = 0;
    virtual void showStep(const std::string& text) = 0;
    virtual void addLine(const std::string& text) = 0;
    virtual void showProgress(int percent) = 0;
    virtual void endMonitoredRun(const std::string& text) = 0;
};

// The run window, loaded when needed.
RunMonitor& runMonitor(App& app);
// Whether a run holds the program busy, so that no other may begin.
bool runBusy(App& app);

} // namespace bp
