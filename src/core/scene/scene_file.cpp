#include "core/scene/scene_file.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/options/scene_format.h"
#include "core/platform/platform.h"
#include "core/scene/recent_scenes.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "core/window/recent_files.h"
#include "core/window/settings.h"
#include "core/window/start_folders.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

namespace bp {

namespace {

constexpr const char* kSceneFilter = "Brickpov .BPS, (*.bps)|*.bps";

} // namespace

std::string sceneText(BrickpovMain& m) {
    return writeScene(m.sceneOptions());
}

bool SaveScene(BrickpovMain& m, const std::string& path) {
    std::string why;
    const bool written = m.platform().files.replaceFile(path, sceneText(m), &why);
    if (!written)
        showMessage(m.platform(), "Scene Not Saved",
                    "The scene could not be saved as " + path + " (" + why + ").",
                    MsgIcon::Critical);
    RefreshRecentScenes(m);
    return written;
}

bool LoadScene(BrickpovMain& m, const std::string& path) {
    // A folder is no scene file either; a hidden file is one.
    if (!m.platform().files.isOrdinaryFile(path)) {
        showMessage(m.platform(), ".BPS File not found",
                    "The .BPS file you have specified does not exist.", MsgIcon::Critical);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        const int error = errno;
        showMessage(m.platform(), ".BPS File not read",
                    "The .BPS file " + path + " could not be read (" +
                        (error ? std::strerror(error) : "it cannot be opened") + ").",
                    MsgIcon::Critical);
        return false;
    }
    const Scene scene = readScene(sceneFileText(in));
    const bool applied = m.applyScene(scene);
    if (applied && scene.end == SceneEnd::Ended)
        showMessage(m.platform(), "File Error",
                    "The file you have chosen is either corrupt or not a valid .BPS file. "
                    "Brickpov may need to be restarted.",
                    MsgIcon::Critical);
    // The light numbers go into the table without a handler, so a scene that
    // changes only lights other than the shown one, or ends early, would
    // leave the command line behind the table.
    BuildCommandLine(m);
    RefreshRecentScenes(m);
    return applied && scene.end == SceneEnd::Whole;
}

void LoadDefaultScene(BrickpovMain& m) {
    if (const auto path = defaultScenePath(m.platform().files))
        LoadScene(m, *path);
    m.DefaultSceneLoaded = true;
}

namespace {

// The scene dialogs open in the folder of the scene opened or saved last.
std::string sceneFolder(BrickpovMain& m) {
    const std::string stored = readSetting(m.platform().settings, setting::kSceneFolder);
    return !stored.empty() && m.platform().files.folderExists(stored) ? stored : m.L3PPath;
}

void rememberSceneFolder(BrickpovMain& m, const std::string& path) {
    saveSetting(m.platform().settings, setting::kSceneFolder, folderPart(path));
}

// A name typed without an extension gets the scene files' own; a file of
// that name is replaced only when the user agrees.
std::optional<std::string> withSceneExtension(BrickpovMain& m, const std::string& path) {
    if (fileNamePart(path).find('.') != std::string::npos)
        return path;
    const std::string named = path + ".bps";
    if (m.platform().files.exists(named) &&
        !askYesNo(m.platform(), "Save Current Scene",
                  fileNamePart(named) + " already exists.\r\nDo you want to replace it?",
                  MsgIcon::Exclamation))
        return std::nullopt;
    return named;
}

} // namespace

void Mnu_FileOpen_Click(BrickpovMain& m) {
    FileDialogRequest request;
    request.title = "Open Scene";
    request.initialDir = sceneFolder(m);
    request.filter = kSceneFilter;
    request.fileMustExist = true;
    // Only a scene that was read is offered again.
    if (const auto path = m.platform().dialogs.fileDialog(request); path && LoadScene(m, *path)) {
        noteRecentScene(m, *path);
        rememberSceneFolder(m, *path);
        RefreshRecentScenes(m);
    }
}

void Mnu_FileSave_Click(BrickpovMain& m) {
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Current Scene";
    request.initialDir = sceneFolder(m);
    request.fileName = "New Scene.BPS";
    request.filter = kSceneFilter;
    request.confirmOverwrite = true;
    const auto chosen = m.platform().dialogs.fileDialog(request);
    const auto path = chosen ? withSceneExtension(m, *chosen) : std::nullopt;
    // Only a scene that was written is offered again.
    if (path && SaveScene(m, *path)) {
        noteRecentScene(m, *path);
        rememberSceneFolder(m, *path);
        RefreshRecentScenes(m);
    }
}

void wireSceneFile(BrickpovMain& m) {
    m.Mnu_FileOpen.onClick = [&m] { Mnu_FileOpen_Click(m); };
    m.Mnu_FileSave.onClick = [&m] { Mnu_FileSave_Click(m); };
}

} // namespace bp
