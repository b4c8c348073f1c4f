// Any text as an LDraw model (with subfiles of its own, parts from the
// sample library) through the reader, the loader, the geometry stage and the
// writer. Nothing may crash, and the written scene never reads or writes a
// file, whatever POV-Ray code or text the model holds.

#include "converter/pov_writer.h"
#include "converter/scene_plan.h"
#include "converter/text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& folder() {
    static const std::string path = [] {
        std::string pattern = "/tmp/fuzz_ldraw_model_XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string model = folder() + "model.mpd";
    std::ofstream(model, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    bp::conv::Environment env;
    env.currentFolder = folder();
    env.vars["HOME"] = folder();
    env.vars["LDRAWDIR"] = BRICKPOV_LDRAW_DIR;
    const auto loaded = bp::conv::loadModel(model, env);
    if (!loaded->main)
        return 0;
    bp::conv::Options options;
    options.set(bp::switches::Id::StepClock, size % 2 == 1);
    const bp::conv::ScenePlan plan(options, *loaded->main, loaded->colours, "", loaded->warnings);
    std::ostringstream scene;
    bp::conv::writePovScene(scene, plan);
    if (const std::string word = bp::conv::fileAccessIn(scene.str()); !word.empty()) {
        std::fprintf(stderr, "the scene holds %s\n", word.c_str());
        std::abort();
    }
    return 0;
}
