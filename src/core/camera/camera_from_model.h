#pragma once

namespace bp {

class BrickpovMain;

// Takes the camera and look-at positions from "camera.dat" and "look_at.dat"
// references in the chosen model.
void Bnt_GetCamFromModel_Click(BrickpovMain& m);

} // namespace bp
