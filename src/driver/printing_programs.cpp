#include "driver/printing_programs.h"

#include "core/options/options.h"
#include "driver/output.h"

namespace bp::driver {

// The arguments are shown joined as the command line shows them.
StartResult PrintingPrograms::execute(const std::string& file, const Arguments& arguments) {
    m_out.line("! exec file=" + quoted(file) + " params=" + quoted(commandLineText(arguments)));
    return m_inner.execute(file, arguments);
}

WatchedStart PrintingPrograms::startWatched(const std::string& file, const Arguments& arguments,
                                            const std::string& workingDir) {
    std::string line =
        "! exec file=" + quoted(file) + " params=" + quoted(commandLineText(arguments));
    if (!workingDir.empty())
        line += " dir=" + quoted(workingDir);
    m_out.line(line);
    return m_inner.startWatched(file, arguments, workingDir);
}

StartResult PrintingPrograms::executeIn(const std::string& file, const Arguments& arguments,
                                        const std::string& workingDir) {
    if (workingDir.empty())
        return execute(file, arguments);
    m_out.line("! exec file=" + quoted(file) + " params=" + quoted(commandLineText(arguments)) +
               " dir=" + quoted(workingDir));
    return m_inner.executeIn(file, arguments, workingDir);
}

} // namespace bp::driver
