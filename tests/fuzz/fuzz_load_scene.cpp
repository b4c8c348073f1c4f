// Any bytes as a scene file. Besides not crashing, a scene that the program
// wrote itself must read back to the same scene: after one load of whatever
// the input left, saving and loading again changes nothing.

#include "core/app/app.h"
#include "core/app/brickpov_main.h"
#include "core/scene/scene_file.h"
#include "null_platform.h" // tests/support

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// libFuzzer ends without running exit handlers, so each input removes the
// file again itself.
const std::string& scenePath() {
    static const std::string path =
        "/tmp/brickpov-fuzz-scene-" + std::to_string(::getpid()) + ".bps";
    return path;
}

void writeFile(const std::string& content) {
    std::ofstream out(scenePath(), std::ios::binary | std::ios::trunc);
    out << content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh program each time, so that a finding replays from its input alone.
    bp::null::NullPlatform null;
    bp::Platform platform = null.platform();
    bp::App app(platform);
    app.start("");
    bp::BrickpovMain& m = app.main();

    writeFile(std::string(reinterpret_cast<const char*>(data), size));
    bp::LoadScene(m, scenePath());

    // The first save may still hold texts the input never reached (typed
    // texts are written as they are); from the second on, nothing moves.
    writeFile(bp::sceneText(m));
    bp::LoadScene(m, scenePath());
    const std::string written = bp::sceneText(m);
    writeFile(written);
    bp::LoadScene(m, scenePath());
    if (bp::sceneText(m) != written) {
        std::fprintf(stderr, "scene changed on reading it back:\n%s\n---\n%s\n", written.c_str(),
                     bp::sceneText(m).c_str());
        std::abort();
    }
    std::remove(scenePath().c_str());
    return 0;
}
