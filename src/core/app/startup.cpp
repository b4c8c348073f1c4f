#include "core/app/startup.h"

#include "core/camera/view_presets.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/lights/lighting_presets.h"
#include "core/platform/platform.h"
#include "core/scene/file_lists.h"
#include "core/scene/recent_scenes.h"
#include "core/scene/scene_file.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "core/window/locate_dialog.h"
#include "core/window/recent_files.h"
#include "core/window/settings.h"
#include "core/window/start_folders.h"
#include "core/window/tool_choice.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace bp {

namespace {
// Writes the folders, LDraw.ini and the user presets when the program ends.
void SaveSettings(BrickpovMain& m) {
    SettingsStore& store = m.platform().settings;
    saveSetting(store, setting::kPOVPath, m.POVPath);
    saveSetting(store, setting::kModelPath, m.ModelPath);
    saveSetting(store, setting::kLDrawPath, m.LDrawPath);

    writeLibraryFolders(m);

    saveViewPresets(m);
    saveLightingPresets(m);
}
} // namespace

namespace {

std::string stored(BrickpovMain& m, const Setting<std::string>& s) {
    return readSetting(m.platform().settings, s);
}

void restoreFolder(BrickpovMain& m, std::string& field, const Setting<std::string>& s) {
    field = restoredFolder(m.platform(), s);
}

void findLDrawFolder(BrickpovMain& m) {
    const LibraryFolder library = findLibraryFolder(m.platform());
    m.LDrawPath = library.path;
    m.tellSampleLibrary = library.sample;
    // The converter finds the library through LDraw.ini.
    if (library.found)
        writeLibraryFolders(m);
}

// The output folder must be one the user can write to: an installed
// program's own folder is not. The model folder may stay read-only.
void ownOutputFolders(BrickpovMain& m) {
    FileSystem& files = m.platform().files;
    const std::string programFolder = AddBackslash(files.programFolder());
    const bool modelsFallBack = m.ModelPath == programFolder && !files.canWrite(programFolder);
    if (files.canWrite(m.POVPath) && !modelsFallBack)
        return;
    std::string owned;
    const std::string argument = unquoteArgument(m.app().argument());
    if (!argument.empty()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(argument, ec);
        const std::string folder = ec ? std::string() : folderPart(absolute.string());
        if (!folder.empty() && files.canWrite(folder))
            owned = folder;
    }
    if (owned.empty())
        owned = files.userPicturesFolder();
    if (owned.empty())
        return;
    if (!files.canWrite(m.POVPath))
        m.POVPath = owned;
    if (modelsFallBack) {
        // The library's example models give a first Run something to render.
        const std::string examples = AddBackslash(m.LDrawPath) + "models/";
        m.ModelPath = argument.empty() && files.folderExists(examples) ? examples : owned;
    }
}

void checkPovRay(BrickpovMain& m) {
    m.PovRayProgram = povrayProgramOf(m.platform());
    std::string program = m.PovRayProgram;
    if (!program.empty() && FileExistsIn(m.platform().files, program, ""))
        return;
    m.Chk_Render.setEnabled(false);
    showMessage(
        m.platform(), "POV-Ray not installed",
        "POV-Ray could not be verified as installed on this system. \r\n"
        "Brickpov will run, but auto-rendering of .L3P-generated files will not be available",
        MsgIcon::Exclamation);
}

void takeModelArgument(BrickpovMain& m) {
    std::string argument = unquoteArgument(m.app().argument());
    if (argument.empty()) {
        FillModelList(m);
        if (m.Cbo_ModelFile.listCount() > 0)
            m.Cbo_ModelFile.setListIndex(0);
        return;
    }
    // A name typed in a terminal is relative to the folder it was typed in.
    const std::filesystem::path given(argument);
    if (given.is_relative()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(given, ec);
        if (!ec)
            argument = absolute.lexically_normal().string();
    }
    const std::string name = fileNamePart(argument);
    m.ModelPath = folderPart(argument);
    FillModelList(m);
    selectModelNoCase(m, name);
}

// Which L3P program L3PPath holds: the one EXEName names if it is there,
// else the first known one that is (a native build is named "l3p").
std::optional<std::string> installedL3PName(BrickpovMain& m) {
    FileSystem& files = m.platform().files;
    m.L3PPath = AddBackslash(m.L3PPath);
    if (!m.EXEName.empty() && FileExistsIn(files, m.L3PPath, m.EXEName))
        return m.EXEName;
    for (const char* name : {"L3P.exe", "L3P16.exe", "l3p", kOurConverter})
        if (FileExistsIn(files, m.L3PPath, name))
            return name;
    return std::nullopt;
}

bool lgeoFileIn(BrickpovMain& m, const char* fileName) {
    // The marker names no folder; normalising it would make it one.
    if (m.LGEOPath == kNotInstalled)
        return false;
    m.LGEOPath = AddBackslash(m.LGEOPath);
    return FileExistsIn(m.platform().files, m.LGEOPath, fileName);
}

// LGEO in LGEODIR, or in an "lgeo" folder of the library or of the home.
std::optional<std::string> lgeoInUsualPlace(BrickpovMain& m) {
    FileSystem& files = m.platform().files;
    std::vector<std::string> places;
    if (const char* env = std::getenv("LGEODIR"); env && *env)
        places.emplace_back(env);
    for (const std::string& parent : {AddBackslash(m.LDrawPath), files.homeFolder()})
        if (const auto found = files.findNoCase(parent, "lgeo"); found && !parent.empty())
            places.push_back(parent + *found);
    for (std::string& place : places) {
        if (FileExistsIn(files, place, "lg_defs.inc")) {
            m.LGEOPath = AddBackslash(place);
            return m.LGEOPath;
        }
    }
    return std::nullopt;
}

} // namespace

std::string programFromAssociation(const std::string& command) {
    const auto slash = command.find('/');
    std::string program =
        slash == std::string::npos || slash < 2 ? std::string() : command.substr(0, slash - 1);
    while (!program.empty() && program.back() == ' ')
        program.pop_back();
    if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
        program = program.substr(1, program.size() - 2);
    return program;
}

std::string unquoteArgument(const std::string& argument) {
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        return argument.substr(1, argument.size() - 2);
    return argument;
}

// Start-up goes on whatever one step does: a failing step is skipped, and
// told as a failed handler.
void loadMainWindow(BrickpovMain& m) {
    m.runHandler("Form_Load", [&] {
        m.setRect({m.rect().left, m.rect().top, 8280, 8610});
        CenterOnScreen(m, m.platform().windows);
    });
    m.runHandler("Form_Load", [&] { RefreshRecentScenes(m); });
    m.runHandler("Form_Load", [&] { refreshRecentModels(m); });
    m.runHandler("Form_Load", [&] { restoreFolder(m, m.L3PPath, setting::kL3PPath); });
    m.runHandler("Form_Load", [&] { restoreFolder(m, m.ModelPath, setting::kModelPath); });
    m.runHandler("Form_Load", [&] { restoreFolder(m, m.POVPath, setting::kPOVPath); });
    m.runHandler("Form_Load", [&] { findLDrawFolder(m); });
    m.runHandler("Form_Load", [&] { ownOutputFolders(m); });
    m.runHandler("Form_Load", [&] { m.EXEName = stored(m, setting::kEXEName); });
    m.runHandler("Form_Load", [&] { m.LGEOPath = storedLGEOFolder(m.platform()); });
    m.runHandler("Form_Load", [&] { LoadViewPresets(m); });
    m.runHandler("Form_Load", [&] { LoadLightingPresets(m); });
    m.runHandler("Form_Load", [&] { checkPovRay(m); });
    m.runHandler("Form_Load", [&] { takeModelArgument(m); });
    m.runHandler("Form_Load", [&] { m.Cbo_C.setListIndex(0); });
    m.runHandler("Form_Load", [&] { m.Cbo_CameraPreset.setListIndex(0); });
    m.runHandler("Form_Load", [&] { m.Cbo_LightPreset.setListIndex(0); });
    m.runHandler("Form_Load", [&] { m.Cbo_FType.setListIndex(0); });
    m.runHandler("Form_Load", [&] { m.Cbo_Q.setListIndex(3); });
    m.runHandler("Form_Load", [&] { FillOutputList(m); });
}

void activateMainWindow(BrickpovMain& m) {
    App& app = m.app();
    // L3P is started by EXEName, which must name the program that is there.
    // Without an L3P of the user's, Brickpov's own converter takes its place.
    if (const auto program = installedL3PName(m))
        m.EXEName = *program;
    else if (!m.l3pDeclined && !useOurConverter(m, false))
        LocateTool(m, "Locate L3p.exe (or L3P16.exe)", m.L3PPath, "L3P.exe");
    if (app.ended())
        return;
    if (!m.DefaultSceneLoaded)
        LoadDefaultScene(m);
    m.LDrawPath = AddBackslash(m.LDrawPath);
    if (!m.ldrawDeclined && !FileExistsIn(m.platform().files, m.LDrawPath, "LEdit.exe") &&
        !isLDrawLibrary(m.platform().files, m.LDrawPath))
        LocateTool(m, "Locate LDraw Library", m.LDrawPath, kLDrawLibrarySought);
    if (std::exchange(m.tellSampleLibrary, false))
        showMessage(m.platform(), "LDraw Library",
                    "Brickpov is using the sample of the LDraw parts library that comes with "
                    "it:\r\n" +
                        m.LDrawPath +
                        "\r\n\r\nIt holds about 120 common parts, so most models will miss "
                        "some. For the whole library, download the LDraw parts library's "
                        "\"complete\" archive from https://www.ldraw.org, unpack it (into ~/ldraw, "
                        "say) and choose it with Tools > Choose LDraw Library.",
                    MsgIcon::Information);
    if (app.ended())
        return;
    // LGEO is an extra few have: at the first start it is looked for where
    // it is usually kept, and a user without it is not asked (Tools > Locate
    // LGEO Library finds it later).
    if (settingEmpty(m.platform().settings, setting::kLGEOPath))
        saveSetting(m.platform().settings, setting::kLGEOPath,
                    lgeoInUsualPlace(m).value_or(kNotInstalled));
    if (stored(m, setting::kLGEOPath) != kNotInstalled && !lgeoFileIn(m, "lg_defs.inc"))
        LocateTool(m, "Locate LGEO Libraries", m.LGEOPath, "lg_defs.inc");
    if (app.ended())
        return;
    if (stored(m, setting::kLGEOPath) != kNotInstalled) {
        m.Chk_LGEO.setEnabled(true);
        bool missing = false;
        for (const char* table : {"L2P_ELMT.TAB", "L2P_COLR.TAB", "L2P_PTRN.TAB"})
            if (!lgeoFileIn(m, table))
                missing = true;
        if (missing) {
            showMessage(m.platform(), "LGEO .TAB Files Missing",
                        "Certain .TAB files needed for LGEO substitution appear to be missing.\r\n"
                        "Brickpov will function properly, but\r\n"
                        "LGEO library subsitution may not be available.\r\n"
                        "You may want to check your LGEO install.",
                        MsgIcon::Exclamation);
        }
    } else {
        m.Chk_LGEO.setEnabled(false);
    }
    BuildCommandLine(m);
}

void unloadMainWindow(BrickpovMain& m) {
    m.runHandler("Form_Unload", [&] { SaveSettings(m); });
    UnloadAllWindows(m.app());
    m.app().end();
}

} // namespace bp
