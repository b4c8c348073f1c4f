#pragma once

#include <iosfwd>
#include <stop_token>

namespace bp {

class BrickpovMain;
struct RenderRequest;
struct RenderTools;

// The whole `brickpov render` on a window model: the scene applied as
// opening it does, then the models planned, printed or rendered. Returns the
// exit status: 0 every model rendered, 1 some failed, 2 nothing could start.
// A stop ends the running units (see runUnits); the summary is printed still.
int renderCommand(BrickpovMain& m, const RenderRequest& request, const RenderTools& tools,
                  std::ostream& out, std::ostream& err, bool terminal, std::stop_token stop = {});

} // namespace bp
