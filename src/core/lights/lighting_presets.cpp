#include "core/lights/lighting_presets.h"

#include "core/common/numbers.h"

namespace bp {

namespace {
// Colour fractions are stored with three decimals and no leading zero
// (.502, 1.000).
std::string colourText(float value) {
    std::string s = fixedText(static_cast<double>(value), 3);
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return s;
}
} // namespace

void LoadLightingPresets(BrickpovMain& m) {
    const float positions[3][3][3] = {{{45, 0, 0}, {30, 120, 0}, {60, -120, 0}},
                                      {{45, 0, 0}, {30, 120, 0}, {0, 0, 0}},
                                      {{45, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
    for (int p = 0; p < kBuiltInSchemes; ++p)
        for (int l = 0; l < 3; ++l)
            for (int v = 0; v < 3; ++v)
                m.lightPresets[static_cast<std::size_t>(p)].at(l + 1, v + 1) = positions[p][l][v];
    for (int l = 1; l <= 20; ++l)
        for (int v = 4; v <= 6; ++v) {
            m.lights.at(l, v) = 1;
            for (auto& preset : m.lightPresets)
                preset.at(l, v) = 1;
        }
}

std::string userLightingRecord(const std::string& name, const LightTable& preset) {
    std::string record = name;
    for (int l = 1; l <= 20; ++l) {
        if (preset.at(l, 1) == 0 || preset.at(l, 2) == 0)
            continue;
        for (int v = 1; v <= 7; ++v) {
            const bool colour = v >= 4 && v <= 6;
            record += "," + (colour ? colourText(preset.at(l, v)) : numberText(preset.at(l, v)));
        }
    }
    return record;
}

} // namespace bp
