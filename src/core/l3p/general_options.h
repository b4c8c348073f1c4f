#pragma once

namespace bp::switches {
struct Switch;
}

namespace bp {

class BrickpovMain;
void Chk_F_Click(BrickpovMain& m);
void Chk_Render_Click(BrickpovMain& m);
void Tmr_Main_Timer(BrickpovMain& m);

// The box of a switch whose value is one field: the field follows the tick
// and takes the focus when it is ticked.
void valueBoxClick(BrickpovMain& m, const switches::Switch& s);

void wireGeneralOptions(BrickpovMain& m);

} // namespace bp
