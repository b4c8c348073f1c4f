#pragma once

namespace bp {

class BrickpovMain;

void Chk_LC_Click(BrickpovMain& m);
void Chk_LG_Click(BrickpovMain& m);
void Cbo_Light_Click(BrickpovMain& m);
void Txt_LightValue_Change(BrickpovMain& m, int index);
void Btn_LightClear_Click(BrickpovMain& m);

// Shows the current light in the six boxes, as choosing it does.
void showCurrentLight(BrickpovMain& m);

// The current light, 1 to 20; light 1 while none is chosen.
int currentLight(const BrickpovMain& m);

void wireLightTable(BrickpovMain& m);

} // namespace bp
