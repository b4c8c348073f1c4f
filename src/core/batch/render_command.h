#pragma once

#include "core/options/options.h"
#include "core/platform/platform.h"

#include <iosfwd>
#include <stop_token>
#include <string>

namespace bp {

struct RenderRequest;
struct RenderTools;

// What `brickpov render` starts from, as the window's start-up settles on it
// without a window: the options of a window just started with the stored
// folders, the L3P program the user set up (empty when it is not there) and
// POV-Ray.
struct RenderStart {
    Options options;
    std::string usersL3P;
    std::string povray;
};
RenderStart renderStart(Platform& p);

// The whole `brickpov render`: the scene (the request's, else the default
// scene) set on the start's options as opening it in the window sets it,
// then the models planned, printed or rendered. Returns the exit status: 0
// every model rendered, 1 some failed, 2 nothing could start. A stop ends the
// running units (see runUnits); the summary is printed still.
int renderCommand(Platform& p, const RenderStart& start, const RenderRequest& request,
                  const RenderTools& tools, std::ostream& out, std::ostream& err, bool terminal,
                  std::stop_token stop = {});

} // namespace bp
