#include "core/scene/recent_scenes.h"

namespace bp {

// Scenes are not saved yet, so there is nothing recent to show.
void RefreshRecentScenes(BrickpovMain&) {}

} // namespace bp
