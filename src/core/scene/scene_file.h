#pragma once

namespace bp {

class BrickpovMain;

// Applies Default.BPS from the program's folder once per run.
void LoadDefaultScene(BrickpovMain& m);

} // namespace bp
