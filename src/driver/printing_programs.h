#pragma once

#include "core/platform/platform.h"

#include <optional>
#include <string>

namespace bp::driver {

class Output;

// Prints every start of a program or document, then leaves it to the
// desktop's own starter.
class PrintingPrograms : public Programs {
  public:
    PrintingPrograms(Programs& inner, Output& out) : m_inner(inner), m_out(out) {}

    StartResult execute(const std::string& file, const Arguments& arguments) override;
    StartResult executeIn(const std::string& file, const Arguments& arguments,
                          const std::string& workingDir) override;
    WatchedStart startWatched(const std::string& file, const Arguments& arguments,
                              const std::string& workingDir) override;
    bool isRunning(const std::string& file) override { return m_inner.isRunning(file); }
    // Runs from worker threads in no set order, so they are not printed.
    ProgramRun runToEnd(const std::string& file, const Arguments& arguments,
                        const std::string& workingDir) override {
        return m_inner.runToEnd(file, arguments, workingDir);
    }
    std::string povrayProgram() override { return m_povray ? *m_povray : m_inner.povrayProgram(); }
    // What povrayProgram reports from now on, instead of the desktop's answer.
    void setPovray(std::string program) { m_povray = std::move(program); }

  private:
    Programs& m_inner;
    Output& m_out;
    std::optional<std::string> m_povray;
};

} // namespace bp::driver
