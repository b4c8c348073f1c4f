#pragma once

#include <string>
#include <vector>

namespace bp {

class BrickpovMain;
class SettingsStore;

inline constexpr int kRecentScenesShown = 5;

// The most recently used files of an extension, most recent first; empty
// strings fill the list up to count.
std::vector<std::string> GetRecentFiles(SettingsStore& store, const std::string& extension,
                                        int count);

// Puts a file at the head of its extension's list.
void addRecentFile(SettingsStore& store, const std::string& extension, const std::string& path);

void noteRecentScene(BrickpovMain& m, const std::string& path);
void RefreshRecentScenes(BrickpovMain& m);
// The models run last, in File > Recent Models.
void noteRecentModel(BrickpovMain& m, const std::string& path);
void refreshRecentModels(BrickpovMain& m);

} // namespace bp
