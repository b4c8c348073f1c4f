#pragma once

namespace bp {

class BrickpovMain;

// Fills the File menu's recent-scene entries.
void RefreshRecentScenes(BrickpovMain& m);

} // namespace bp
