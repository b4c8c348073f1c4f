#include "driver/printing_programs.h"

#include "driver/output.h"

namespace bp::driver {

int PrintingPrograms::execute(const std::string& file, const std::string& parameters) {
    m_out.line("! exec file=" + quoted(file) + " params=" + quoted(parameters));
    return m_inner.execute(file, parameters);
}

int PrintingPrograms::executeIn(const std::string& file, const std::string& parameters,
                                const std::string& workingDir) {
    if (workingDir.empty())
        return execute(file, parameters);
    m_out.line("! exec file=" + quoted(file) + " params=" + quoted(parameters) +
               " dir=" + quoted(workingDir));
    return m_inner.executeIn(file, parameters, workingDir);
}

} // namespace bp::driver
