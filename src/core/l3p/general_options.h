#pragma once

namespace bp {

class BrickpovMain;
void Chk_F_Click(BrickpovMain& m);
void Chk_SW_Click(BrickpovMain& m);
void Chk_Q_Click(BrickpovMain& m);
void Txt_SW_GotFocus(BrickpovMain& m);
void Chk_Render_Click(BrickpovMain& m);
void Tmr_Main_Timer(BrickpovMain& m);

void wireGeneralOptions(BrickpovMain& m);

} // namespace bp
