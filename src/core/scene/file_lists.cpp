#include "core/scene/file_lists.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/platform/platform.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace bp {

namespace {

constexpr const char* kModelPatterns = "*.dat;*.mpd;*.ldr";
constexpr const char* kOutputPatterns = "*.pov";

bool matchesPattern(std::string_view name, std::string_view pattern) {
    // Only the "*.ext" and "*" forms occur.
    if (pattern == "*" || pattern == "*.*")
        return true;
    if (pattern.size() >= 2 && pattern[0] == '*') {
        const std::string_view tail = pattern.substr(1);
        return name.size() >= tail.size() &&
               equalsNoCase(name.substr(name.size() - tail.size()), tail);
    }
    return equalsNoCase(name, pattern);
}

// The files of a folder that match, sorted by name as a person reads them:
// without regard to case first.
std::vector<std::string> listFiles(FileSystem& files, const std::string& folder,
                                   std::string_view patterns) {
    std::vector<std::string> names;
    if (folder.empty())
        return names;
    for (const DirEntry& e : files.list(folder)) {
        if (e.isFolder || e.name.empty() || e.name[0] == '.')
            continue;
        if (matchesPatterns(e.name, patterns))
            names.push_back(e.name);
    }
    // Each name is lowered once, not on every comparison.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names)
        keyed.emplace_back(toLowerAscii(n), std::move(n));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i)
        names[i] = std::move(keyed[i].second);
    return names;
}

} // namespace

bool matchesPatterns(std::string_view name, std::string_view patterns) {
    while (!patterns.empty()) {
        const auto semi = patterns.find(';');
        std::string_view p = patterns.substr(0, semi);
        while (!p.empty() && p.front() == ' ')
            p.remove_prefix(1);
        while (!p.empty() && p.back() == ' ')
            p.remove_suffix(1);
        if (!p.empty() && matchesPattern(name, p))
            return true;
        if (semi == std::string_view::npos)
            break;
        patterns.remove_prefix(semi + 1);
    }
    return false;
}

void FillModelList(BrickpovMain& m) {
    m.File_Hidden.pattern = kModelPatterns;
    m.File_Hidden.setPath(m.ModelPath);
    const auto names = listFiles(m.platform().files, m.ModelPath, kModelPatterns);
    m.Cbo_ModelFile.clearList();
    for (const auto& n : names)
        m.Cbo_ModelFile.addItem(n);
}

void FillOutputList(BrickpovMain& m) {
    m.File_Hidden.pattern = kOutputPatterns;
    m.File_Hidden.setPath(m.POVPath);
    const auto names = listFiles(m.platform().files, m.POVPath, kOutputPatterns);
    const std::string text = m.Cbo_OutputFile.text();
    m.Cbo_OutputFile.clearList();
    for (const auto& n : names)
        m.Cbo_OutputFile.addItem(n);
    m.Cbo_OutputFile.setText(text);
}

void Cbo_ModelFile_Click(BrickpovMain& m) {
    m.Cbo_OutputFile.setText(proposedOutputName(m.Cbo_ModelFile.text()));
    BuildCommandLine(m);
}

namespace {
// The item spelt as given wins over one that differs only in case: this file
// system may hold both car.dat and CAR.DAT.
void selectNoCase(Control& list, const std::string& name) {
    int match = -1;
    for (int i = 0; i < list.listCount(); ++i) {
        if (list.list(i) == name) {
            match = i;
            break;
        }
        if (match < 0 && equalsNoCase(list.list(i), name))
            match = i;
    }
    if (match >= 0)
        list.setListIndex(match);
}
} // namespace

namespace {
// Opens the shared file dialog on a folder with the name it holds; a chosen
// file moves the folder field, and its bare name is kept for the next browse.
std::optional<std::string> browse(BrickpovMain& m, const char* title, std::string& folder,
                                  const char* filter) {
    FileDialogRequest request;
    request.title = title;
    request.initialDir = folder;
    request.fileName = m.Dlg_Main.text();
    request.filter = filter;
    request.filterIndex = 1;
    const auto chosen = m.platform().dialogs.fileDialog(request);
    if (!chosen)
        return std::nullopt;
    const std::string name = fileNamePart(*chosen);
    m.Dlg_Main.setText(name);
    folder = folderPart(*chosen);
    return name;
}

// The model list moves to the model's folder and selects it, when it is one
// of the listed models.
void chooseModel(BrickpovMain& m, const std::string& name) {
    FillModelList(m);
    selectNoCase(m.Cbo_ModelFile, name);
}
} // namespace

void Btn_BrowseModelFile_Click(BrickpovMain& m) {
    m.Dlg_Main.setText(m.Cbo_ModelFile.text());
    const auto name =
        browse(m, "Select Model Path/File", m.ModelPath,
               "LDraw Files, (*.dat, *.ldr, *.mpd)|*.dat;*.ldr;*.mpd|All Files, (*.*)|*.*");
    if (name)
        chooseModel(m, *name);
}

void takeDroppedFile(BrickpovMain& m, const std::string& path) {
    // A dropped folder, or a name that is gone, is no model.
    if (!m.platform().files.fileExists(path))
        return;
    const std::string name = fileNamePart(path);
    m.Dlg_Main.setText(name);
    m.ModelPath = folderPart(path);
    chooseModel(m, name);
}

void Btn_BrowseOutputPath_Click(BrickpovMain& m) {
    // The shared dialog keeps the name of its last use when the box is empty.
    if (!m.Cbo_OutputFile.text().empty())
        m.Dlg_Main.setText(proposedOutputName(m.Cbo_OutputFile.text()));
    const auto name = browse(m, "Select .POV Path/File", m.POVPath,
                             "POV-Ray POV, (*.pov)|*.pov|All Files, (*.*)|*.*");
    if (!name)
        return;
    FillOutputList(m);
    m.Cbo_OutputFile.setText(*name);
}

void wireFileLists(BrickpovMain& m) {
    m.Cbo_ModelFile.onClick = [&m] { Cbo_ModelFile_Click(m); };
    m.Btn_BrowseModelFile.onClick = [&m] { Btn_BrowseModelFile_Click(m); };
    m.Btn_BrowseOutputPath.onClick = [&m] { Btn_BrowseOutputPath_Click(m); };
    m.onFileDrop = [&m](const std::string& path) { takeDroppedFile(m, path); };
}

// Used by start-up: the model named on the command line, ignoring case.
void selectModelNoCase(BrickpovMain& m, const std::string& name) {
    selectNoCase(m.Cbo_ModelFile, name);
}

} // namespace bp
