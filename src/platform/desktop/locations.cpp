#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace bp::desktop {

std::string userHomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "/tmp";
}

namespace {

std::string currentFolder() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer))
        return buffer;
    return "/";
}

} // namespace

std::string Locations::settingsFile() const {
    return configHome + "Brickpov/settings.ini";
}

Locations Locations::fromEnvironment() {
    Locations result;
    try {
        // Relative values are to be ignored, as the base directory rules say.
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        if (xdg && xdg[0] == '/')
            result.configHome = AddBackslash(xdg);
        else
            result.configHome = AddBackslash(userHomeFolder()) + ".config/";

        char buffer[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0)
            result.programDir = folderPart(std::string(buffer, static_cast<std::size_t>(n)));
        if (result.programDir.empty())
            result.programDir = AddBackslash(currentFolder());
    } catch (...) {
        // Only an allocation can fail here; leave what was found.
    }
    return result;
}

} // namespace bp::desktop
