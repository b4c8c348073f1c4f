#pragma once

namespace bp {

class BrickpovMain;
class Control;

// A value field governed by a check box: enabled and white while the box is
// ticked, disabled and grey while it is not; its text stays either way.
void setValueField(Control& field, bool enabled);

void Chk_F_Click(BrickpovMain& m);
void Chk_SW_Click(BrickpovMain& m);
void Chk_Q_Click(BrickpovMain& m);
void Txt_SW_GotFocus(BrickpovMain& m);
void Chk_Render_Click(BrickpovMain& m);
void Tmr_Main_Timer(BrickpovMain& m);

void wireGeneralOptions(BrickpovMain& m);

} // namespace bp
