#pragma once

namespace bp {

class BrickpovMain;

// Shows L3P's arguments for the window's options in Txt_CommandLine, joined
// as l3pArguments and commandLineText (core/options/options.h) make them.
void BuildCommandLine(BrickpovMain& m);

} // namespace bp
