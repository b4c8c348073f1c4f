#pragma once

#include "core/platform/platform.h"

namespace bp::driver {

class Output;

// Prints every start of a program or document, then leaves it to the
// desktop's own starter.
class PrintingPrograms : public Programs {
  public:
    PrintingPrograms(Programs& inner, Output& out) : m_inner(inner), m_out(out) {}

    int execute(const std::string& file, const std::string& parameters) override;
    int executeIn(const std::string& file, const std::string& parameters,
                  const std::string& workingDir) override;
    bool isRunning(const std::string& file) override { return m_inner.isRunning(file); }
    std::string povrayProgram() override { return m_inner.povrayProgram(); }

  private:
    Programs& m_inner;
    Output& m_out;
};

} // namespace bp::driver
