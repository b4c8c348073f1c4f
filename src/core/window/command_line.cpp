#include "core/window/command_line.h"

#include "core/options/options.h"
#include "core/window/brickpov_main.h"

namespace bp {

void BuildCommandLine(BrickpovMain& m) {
    m.readOptions(m.commandLineOptions);
    m.Txt_CommandLine.setText(commandLineText(l3pArguments(m.commandLineOptions)));
}

} // namespace bp
