#pragma once

#include "core/platform/platform.h"
#include "core/window/settings.h"

#include <optional>
#include <string>

namespace bp {

// What start-up settles on from the settings store, LDraw.ini, the
// environment and the file system, needing no window: the window's load and
// `brickpov render` take their folders and tools from here.

// A stored folder, with the path separator at its end; the program's own
// folder when none is stored or the stored one is gone.
std::string restoredFolder(Platform& p, const Setting<std::string>& s);

struct LibraryFolder {
    std::string path;
    bool sample = false; // the sample library shipped with Brickpov
    bool found = false;  // found where a user keeps one: LDraw.ini should name it
};

// The LDraw library: the stored folder, LDraw.ini's, LDRAWDIR, a usual place
// (~/ldraw, /usr/share/ldraw...), the shipped sample, else the program's
// folder.
LibraryFolder findLibraryFolder(Platform& p);

// The stored LGEO folder, or kNotInstalled when none is stored or it is gone.
std::string storedLGEOFolder(Platform& p);

// The POV-Ray program chosen in the Tools menu while it is there, else the
// one the platform finds; empty when there is none.
std::string povrayProgramOf(Platform& p);

// Default.BPS beside the program, else where an installed program keeps its
// data (bin/../share/brickpov), as stored; none when neither is a file.
std::optional<std::string> defaultScenePath(FileSystem& files);

} // namespace bp
