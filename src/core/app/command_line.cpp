#include "core/app/command_line.h"

#include "core/app/brickpov_main.h"
#include "core/options/options.h"

namespace bp {

void BuildCommandLine(BrickpovMain& m) {
    m.readOptions(m.commandLineOptions);
    m.Txt_CommandLine.setText(commandLineText(l3pArguments(m.commandLineOptions)));
}

} // namespace bp
