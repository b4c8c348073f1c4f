#include "core/scene/recent_scenes.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/platform/platform.h"
#include "core/scene/file_lists.h"
#include "core/scene/scene_file.h"
#include "core/window/brickpov_main.h"
#include "core/window/recent_files.h"

namespace bp {

void Mnu_RecentScene_Click(BrickpovMain& m, int index) {
    const std::string path = m.Mnu_RecentScene[index].caption();
    // An entry whose file is gone or unreadable stays where it is.
    if (LoadScene(m, path)) {
        noteRecentScene(m, path);
        RefreshRecentScenes(m);
    }
}

void Mnu_RecentModel_Click(BrickpovMain& m, int index) {
    const std::string path = m.Mnu_RecentModel[index].caption();
    if (!m.platform().files.fileExists(path)) {
        showMessage(m.platform(), "Recent Models", "The model " + path + " is no longer there.",
                    MsgIcon::Exclamation);
        return;
    }
    m.ModelPath = folderPart(path);
    FillModelList(m);
    selectModelNoCase(m, fileNamePart(path));
    noteRecentModel(m, path);
}

void wireRecentScenes(BrickpovMain& m) {
    for (int i = 0; i < kRecentScenesShown; ++i)
        m.Mnu_RecentScene[i].onClick = [&m, i] { Mnu_RecentScene_Click(m, i); };
    for (int i = 0; i < kRecentModelsShown; ++i)
        m.Mnu_RecentModel[i].onClick = [&m, i] { Mnu_RecentModel_Click(m, i); };
}

} // namespace bp
