#pragma once

namespace bp {

class BrickpovMain;

void Chk_CG_Click(BrickpovMain& m);
void Chk_CC_Click(BrickpovMain& m);
void Txt_CameraValue_Change(BrickpovMain& m, int index);
void Chk_CLA_Click(BrickpovMain& m);

void wireCameraPosition(BrickpovMain& m);

} // namespace bp
