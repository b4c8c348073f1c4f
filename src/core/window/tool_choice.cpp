#include "core/window/tool_choice.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "core/window/locate_dialog.h"
#include "core/window/settings.h"

#include <filesystem>

namespace bp {

namespace {

bool holdsFolder(FileSystem& files, const std::string& folder, const char* name) {
    const auto found = files.findNoCase(AddBackslash(folder), name);
    return found && files.folderExists(AddBackslash(folder) + *found);
}

void Mnu_ChooseL3P_Click(BrickpovMain& m) {
    LocateTool(m, "Locate L3p.exe (or L3P16.exe)", m.L3PPath, "L3P.exe");
}

void Mnu_UseOurConverter_Click(BrickpovMain& m) {
    if (!useOurConverter(m, true)) {
        showMessage(m.platform(), "Brickpov's Converter",
                    std::string("Brickpov's converter (") + kOurConverter +
                        ") was not found beside Brickpov.",
                    MsgIcon::Exclamation);
        return;
    }
    BuildCommandLine(m);
    showMessage(m.platform(), "Brickpov's Converter",
                std::string("Run L3P now runs Brickpov's own converter (") + kOurConverter +
                    ") in:\r\n" + m.L3PPath,
                MsgIcon::Information);
}

void Mnu_ChooseLDraw_Click(BrickpovMain& m) {
    LocateTool(m, "Locate LDraw Library", m.LDrawPath, kLDrawLibrarySought);
}

void Mnu_ChoosePovRay_Click(BrickpovMain& m) {
    FileDialogRequest request;
    request.title = "Choose POV-Ray";
    request.initialDir = folderPart(m.PovRayProgram);
    request.fileName = fileNamePart(m.PovRayProgram);
    request.filter = "All Files|*";
    request.fileMustExist = true;
    const auto chosen = m.platform().dialogs.fileDialog(request);
    if (!chosen)
        return;
    if (!m.platform().files.fileExists(*chosen)) {
        showMessage(m.platform(), "Choose POV-Ray", "There is no program file at " + *chosen,
                    MsgIcon::Exclamation);
        return;
    }
    m.PovRayProgram = *chosen;
    saveSetting(m.platform().settings, setting::kPovRayProgram, *chosen);
    m.Chk_Render.setEnabled(true);
}

} // namespace

bool usesOurConverter(const BrickpovMain& m) {
    return m.EXEName == kOurConverter;
}

std::string converterName(const BrickpovMain& m) {
    return usesOurConverter(m) ? "Brickpov's converter" : "L3P";
}

std::optional<std::string> ourConverterFolder(FileSystem& files) {
    const std::string program = AddBackslash(files.programFolder());
    for (const std::string& folder : {program, program + "../converter/"})
        if (files.fileExists(folder + kOurConverter))
            return folder;
    return std::nullopt;
}

bool useOurConverter(BrickpovMain& m, bool remember) {
    const auto folder = ourConverterFolder(m.platform().files);
    if (!folder)
        return false;
    m.L3PPath = *folder;
    m.EXEName = kOurConverter;
    if (remember) {
        SettingsStore& store = m.platform().settings;
        saveSetting(store, setting::kL3PPath, m.L3PPath);
        saveSetting(store, setting::kEXEName, m.EXEName);
    }
    return true;
}

bool isLDrawLibrary(FileSystem& files, const std::string& folder) {
    return holdsFolder(files, folder, "parts") && holdsFolder(files, folder, "p");
}

std::optional<std::string> sampleLibraryFolder(FileSystem& files) {
    const std::string folder = AddBackslash(files.programFolder()) + "../share/brickpov/ldraw";
    if (!isLDrawLibrary(files, folder))
        return std::nullopt;
    return AddBackslash(std::filesystem::path(folder).lexically_normal().string());
}

void wireToolChoices(BrickpovMain& m) {
    m.Mnu_ChooseL3P.onClick = [&m] { Mnu_ChooseL3P_Click(m); };
    m.Mnu_UseOurConverter.onClick = [&m] { Mnu_UseOurConverter_Click(m); };
    m.Mnu_ChooseLDraw.onClick = [&m] { Mnu_ChooseLDraw_Click(m); };
    m.Mnu_ChoosePovRay.onClick = [&m] { Mnu_ChoosePovRay_Click(m); };
}

std::string l3pProgram(BrickpovMain& m) {
    return l3pProgram(m.platform().files, m.L3PPath, m.EXEName);
}

std::string l3pProgram(FileSystem& files, const std::string& l3pFolder, const std::string& name) {
    const std::string folder = AddBackslash(l3pFolder);
    // The name may be stored in another case than the file on disk has.
    const auto stored = files.findNoCase(folder, name);
    return folder + (stored ? *stored : name);
}

} // namespace bp
