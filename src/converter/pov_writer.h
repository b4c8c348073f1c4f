#pragma once

#include "converter/scene_plan.h"

#include <ostream>

namespace bp::conv {

// Writes a planned scene as POV-Ray 3.7 text: the settings a user may edit
// as declarations at the top, the colours, camera and lights, one
// declaration per planned mesh, then the model. It only writes: every
// decision is the plan's.
void writePovScene(std::ostream& out, const ScenePlan& plan);

} // namespace bp::conv
