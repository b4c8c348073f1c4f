#include "core/window/start_folders.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/window/tool_choice.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace bp {

namespace {

// A library in one of the places a Linux user keeps one, the last name in
// any letter case.
std::optional<std::string> libraryInUsualPlace(FileSystem& files) {
    const std::string home = files.homeFolder();
    std::vector<std::pair<std::string, const char*>> places;
    if (!home.empty())
        places = {{home, "ldraw"}, {home, ".ldraw"}, {home + ".local/share/", "ldraw"}};
    places.emplace_back("/usr/share/", "ldraw");
    places.emplace_back("/usr/local/share/", "ldraw");
    for (const auto& [parent, name] : places) {
        const auto found = files.findNoCase(parent, name);
        if (found && isLDrawLibrary(files, parent + *found))
            return AddBackslash(parent + *found);
    }
    return std::nullopt;
}

} // namespace

std::string restoredFolder(Platform& p, const Setting<std::string>& s) {
    const std::string programFolder = AddBackslash(p.files.programFolder());
    const std::string folder = readSetting(p.settings, s);
    // An empty value names no folder; it would be read as the root.
    if (folder.empty() || !FolderExists(p.files, folder))
        return programFolder;
    return AddBackslash(folder);
}

LibraryFolder findLibraryFolder(Platform& p) {
    LibraryFolder library;
    library.path = readSetting(p.settings, setting::kLDrawPath);
    if (!library.path.empty())
        return library;
    library.path = p.profile.getString("LDraw", "BaseDirectory", "", kLDrawIniRead);
    if (library.path.empty()) {
        // The LDraw tools on this system name the library in LDRAWDIR.
        if (const char* env = std::getenv("LDRAWDIR"))
            library.path = env;
    }
    if (!library.path.empty()) {
        library.path = AddBackslash(library.path);
        return library;
    }
    if (const auto found = libraryInUsualPlace(p.files)) {
        library.path = *found;
        library.found = true;
    } else if (const auto sample = sampleLibraryFolder(p.files)) {
        library.path = *sample;
        library.sample = library.found = true;
    } else {
        library.path = p.files.programFolder();
    }
    return library;
}

std::string storedLGEOFolder(Platform& p) {
    const std::string folder = readSetting(p.settings, setting::kLGEOPath);
    if (folder.empty() || (folder != kNotInstalled && !FolderExists(p.files, folder)))
        return kNotInstalled;
    return folder == kNotInstalled ? folder : AddBackslash(folder);
}

std::string povrayProgramOf(Platform& p) {
    const std::string chosen = readSetting(p.settings, setting::kPovRayProgram);
    if (!chosen.empty() && p.files.fileExists(chosen))
        return chosen;
    return p.programs.povrayProgram();
}

std::optional<std::string> defaultScenePath(FileSystem& files) {
    const std::string programFolder = AddBackslash(files.programFolder());
    for (std::string folder : {programFolder, programFolder + "../share/brickpov/"}) {
        if (!FileExistsIn(files, folder, "Default.BPS"))
            continue;
        // The name is found without regard to case; open it as it is stored.
        // A folder or a pipe of that name is no scene the user asked for.
        const auto name = files.findNoCase(AddBackslash(folder), "Default.BPS");
        const std::string path = AddBackslash(folder) + name.value_or("Default.BPS");
        if (files.isOrdinaryFile(path))
            return path;
    }
    return std::nullopt;
}

} // namespace bp
