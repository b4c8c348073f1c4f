#pragma once

#include <string>
#include <string_view>

namespace bp {

class BrickpovMain;

void FillModelList(BrickpovMain& m);
void FillOutputList(BrickpovMain& m);
void Cbo_ModelFile_Click(BrickpovMain& m);
void Btn_BrowseModelFile_Click(BrickpovMain& m);
void Btn_BrowseOutputPath_Click(BrickpovMain& m);
// A file dropped on the main window is chosen as the model browse button
// would choose it.
void takeDroppedFile(BrickpovMain& m, const std::string& path);

void wireFileLists(BrickpovMain& m);
void selectModelNoCase(BrickpovMain& m, const std::string& name);

// Whether a file name matches patterns such as "*.dat;*.mpd;*.ldr", without
// regard to case.
bool matchesPatterns(std::string_view name, std::string_view patterns);

} // namespace bp
