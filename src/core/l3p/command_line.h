#pragma once

namespace bp {

class BrickpovMain;

// Rebuilds the L3P command line from the whole option state and shows it in
// Txt_CommandLine; L3P receives exactly this text.
void BuildCommandLine(BrickpovMain& m);

} // namespace bp
