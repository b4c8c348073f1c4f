#pragma once

#include "core/ui/control.h"

#include <string>

namespace bp {

class BrickpovMain;

// The colour three red, green and blue texts show on a swatch: each read by
// the leading-number rule, rounded (ties to even) and kept within 0 to 255.
Color swatchColour(const std::string& red, const std::string& green, const std::string& blue);

// Lets the user choose the colour of a swatch in the colour dialog and writes
// the choice into its three boxes, blue first.
void pickColour(BrickpovMain& m, Control& swatch, Control& red, Control& green, Control& blue);

void Chk_B_Click(BrickpovMain& m);
void Txt_BColor_Change(BrickpovMain& m);

void wireColours(BrickpovMain& m);

} // namespace bp
