#include "platform/desktop/desktop_platform.h"

#include "posix_file/atomic_write.h"

#include <cstring>

namespace bp::desktop {

bool writeFileAtomically(const std::string& path, const std::string& content, std::string* why) {
    try {
        const posix::WriteResult result = posix::replaceFile(path, content, true);
        if (!result.ok() && why)
            *why = result.refusal.empty() ? std::strerror(result.error) : result.refusal;
        return result.ok();
    } catch (...) {
        if (why)
            *why = "out of memory";
        return false;
    }
}

} // namespace bp::desktop
