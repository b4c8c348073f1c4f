#include "core/scene/scene_file.h"

#include "core/app/brickpov_main.h"

namespace bp {

void LoadDefaultScene(BrickpovMain& m) { m.DefaultSceneLoaded = true; }

} // namespace bp
