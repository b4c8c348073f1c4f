// Any text as a stored user lighting scheme. Its name is the text before the
// first comma; once written by the program, a scheme reads back to the same
// record.

#include "core/lights/lighting_presets.h"
#include "core/window/brickpov_main.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// As the preset loader prepares a preset: colours white, the rest 0.
bp::LightTable freshPreset() {
    bp::LightTable table{};
    for (bp::Light& light : table.lights)
        light.colour = {1, 1, 1};
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string record(reinterpret_cast<const char*>(data), size);
    bp::LightTable table = freshPreset();
    const std::string name = bp::parseUserLightingRecord(record, table);
    if (name != record.substr(0, record.find(',')))
        std::abort();
    if (name.find(',') != std::string::npos)
        return 0;

    // Written and read once, the record is in the program's own form; from
    // then on it no longer changes.
    const std::string first = bp::userLightingRecord(name, table);
    bp::LightTable once = freshPreset();
    bp::parseUserLightingRecord(first, once);
    const std::string second = bp::userLightingRecord(name, once);
    bp::LightTable twice = freshPreset();
    bp::parseUserLightingRecord(second, twice);
    const std::string third = bp::userLightingRecord(name, twice);
    if (third != second) {
        std::fprintf(stderr, "lighting record is not stable once written:\n%s\n%s\n",
                     second.c_str(), third.c_str());
        std::abort();
    }
    return 0;
}
