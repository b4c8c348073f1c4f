#pragma once

namespace bp {

class BrickpovMain;

void Mnu_RecentScene_Click(BrickpovMain& m, int index);

void Mnu_RecentModel_Click(BrickpovMain& m, int index);

void wireRecentScenes(BrickpovMain& m);

} // namespace bp
