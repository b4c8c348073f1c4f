#include "converter/posix_file.h"

#include "posix_file/atomic_write.h"

#include <cerrno>
#include <cstring>

namespace bp::conv {

bool writeFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write,
                     std::string& error) {
    const posix::WriteResult result = posix::replaceFileStreamed(path, write, false);
    if (!result.refusal.empty())
        error = "cannot replace \"" + path + "\": " + result.refusal;
    else if (result.error == ENOSPC || result.error == EDQUOT)
        error = "the disk is full: cannot write \"" + path + "\"";
    else if (result.error != 0)
        error = "cannot write \"" + path + "\": " + std::strerror(result.error);
    return result.ok();
}

} // namespace bp::conv
