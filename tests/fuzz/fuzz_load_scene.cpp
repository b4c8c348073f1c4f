// Any bytes as a scene file. Besides not crashing, what the program writes
// must read back: the first writing may still hold texts no reader gives
// (a left-out section's empty final frame is written as it is and read as a
// number), so from the second reading on, writing and reading change nothing.

#include "core/options/scene_format.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bp::Scene read =
        bp::readScene(std::string_view(reinterpret_cast<const char*>(data), size));
    const bp::Scene settled = bp::readScene(bp::writeScene(read.options));
    const std::string written = bp::writeScene(settled.options);
    const bp::Scene again = bp::readScene(written);
    // An optional line after the nine (the transparent background) adds fields.
    if (settled.end != bp::SceneEnd::Whole || settled.fields < bp::kSceneFields ||
        again != settled || bp::writeScene(again.options) != written) {
        std::fprintf(stderr, "scene changed on reading it back:\n%s\n---\n%s\n", written.c_str(),
                     bp::writeScene(again.options).c_str());
        std::abort();
    }
    return 0;
}
