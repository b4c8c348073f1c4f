#pragma once

namespace bp {

class BrickpovMain;

// "Render All Models in Folder…": every model in the folder of a model the
// user picks, converted with the window's L3P and options and rendered with
// its render settings into POVPath, through the same planning and running as
// `brickpov render`; a summary at the end.
void Mnu_FileRenderFolder_Click(BrickpovMain& m);

void wireRenderFolder(BrickpovMain& m);

} // namespace bp
