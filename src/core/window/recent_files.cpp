#include "core/window/recent_files.h"

#include "core/platform/platform.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"

#include <algorithm>

namespace bp {

namespace {
// The list keeps a few more files than the menu shows, so that an entry that
// is opened again does not push an older one out of reach.
constexpr int kRemembered = 10;
} // namespace

std::vector<std::string> GetRecentFiles(SettingsStore& store, const std::string& extension,
                                        int count) {
    std::vector<std::string> files;
    for (int i = 0; i < kRemembered && static_cast<int>(files.size()) < count; ++i) {
        std::string path = readSetting(store, setting::recentFile(extension, i));
        if (path.empty())
            break;
        files.push_back(std::move(path));
    }
    files.resize(static_cast<std::size_t>(std::max(count, 0)));
    return files;
}

void addRecentFile(SettingsStore& store, const std::string& extension, const std::string& path) {
    const std::vector<std::string> old = GetRecentFiles(store, extension, kRemembered);
    std::vector<std::string> files = old;
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const std::string& f) { return f.empty() || f == path; }),
                files.end());
    files.insert(files.begin(), path);
    files.resize(std::min<std::size_t>(files.size(), kRemembered));
    // Each save may rewrite the whole store: only the entries that moved.
    for (std::size_t i = 0; i < files.size(); ++i)
        if (files[i] != old[i])
            saveSetting(store, setting::recentFile(extension, static_cast<int>(i)), files[i]);
}

void noteRecentScene(BrickpovMain& m, const std::string& path) {
    addRecentFile(m.platform().settings, "bps", path);
}

void RefreshRecentScenes(BrickpovMain& m) {
    const auto files = GetRecentFiles(m.platform().settings, "bps", kRecentScenesShown);
    m.Mnu_Separator1.setVisible(!files[0].empty());
    for (int k = 0; k < kRecentScenesShown; ++k) {
        if (files[static_cast<std::size_t>(k)].empty())
            continue;
        m.Mnu_RecentScene[k].setCaption(files[static_cast<std::size_t>(k)]);
        m.Mnu_RecentScene[k].setVisible(true);
    }
}

void noteRecentModel(BrickpovMain& m, const std::string& path) {
    addRecentFile(m.platform().settings, "models", path);
    refreshRecentModels(m);
}

void refreshRecentModels(BrickpovMain& m) {
    const auto files = GetRecentFiles(m.platform().settings, "models", kRecentModelsShown);
    m.Mnu_RecentModels.setEnabled(!files[0].empty());
    for (int k = 0; k < kRecentModelsShown; ++k) {
        const std::string& file = files[static_cast<std::size_t>(k)];
        m.Mnu_RecentModel[k].setCaption(file);
        m.Mnu_RecentModel[k].setVisible(!file.empty());
    }
}

} // namespace bp
