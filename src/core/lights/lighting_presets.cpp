#include "core/lights/lighting_presets.h"

#include "core/common/numbers.h"
#include "core/lights/light_table.h"
#include "core/options/built_in_presets.h"
#include "core/platform/platform.h"
#include "core/window/command_line.h"
#include "core/window/new_preset_dialog.h"

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

LightTable& preset(BrickpovMain& m, int p) {
    return m.lightPresets.at(static_cast<std::size_t>(p));
}

// A record's fields run through the table light by light, value by value.
float& valueAt(LightTable& table, int field) {
    return table.light(field / kLightValues + 1).value(field % kLightValues + 1);
}

} // namespace

std::string userLightingRecord(const std::string& name, const LightTable& table) {
    std::string record = name;
    // Every light through the last one in use keeps its place; one not in use
    // before it is stored as it is, and reads back as not in use.
    int last = kLights;
    while (last > 0 && !table.light(last).inUse())
        --last;
    for (int l = 1; l <= last; ++l) {
        const Light& light = table.light(l);
        for (float v : light.position)
            record += ',' + numberText(v);
        for (float v : light.colour)
            record += ',' + colourText(v);
        record += ',' + numberText(light.placement);
    }
    // An empty record ends the reading at the next start, losing the schemes
    // after it; a lone comma reads back as a scheme with no name and no light.
    if (record.empty())
        record = ",";
    return record;
}

std::string parseUserLightingRecord(const std::string& record, LightTable& table) {
    const auto comma = record.find(',');
    if (comma == std::string::npos)
        return record;
    const std::string name = record.substr(0, comma);
    std::size_t pos = comma + 1;
    for (int field = 0; field < kLights * kLightValues; ++field) {
        const auto next = record.find(',', pos);
        const std::string_view text = std::string_view(record).substr(
            pos, next == std::string::npos ? std::string::npos : next - pos);
        valueAt(table, field) = toSingle(leadingNumber(text));
        if (next == std::string::npos) {
            // The rest of this light's group reads 0.
            for (int rest = field + 1; rest % kLightValues != 0; ++rest)
                valueAt(table, rest) = 0;
            break;
        }
        pos = next + 1;
    }
    return name;
}

PresetList lightingPresetList(BrickpovMain& m) {
    return {m.Cbo_LightPreset,
            kBuiltInSchemes,
            kMaxSchemes,
            setting::userLighting,
            kSaveLightingCaption,
            "New Lighting Preset",
            false,
            "Cannot Create Lighting Scheme",
            "You have reached the limit on user-created lighting schemes (20). You will need to "
            "delete lighting schemes before adding more.",
            "Cannot Delete View",
            "This is a default lighting scheme. Only user-created lighting schemes can be "
            "deleted.",
            "Delete Lighting Scheme",
            "Are you sure you want to delete the currently selected lighting scheme?"};
}

void LoadLightingPresets(BrickpovMain& m) {
    for (int p = 0; p < kBuiltInSchemes; ++p)
        for (int l = 0; l < 3; ++l)
            for (int v = 0; v < 3; ++v)
                preset(m, p).light(l + 1).position[static_cast<std::size_t>(v)] =
                    kBuiltInSchemePositions[p][l][v];
    for (int l = 1; l <= kLights; ++l) {
        m.lights.light(l).colour = {1, 1, 1};
        for (auto& p : m.lightPresets)
            p.light(l).colour = {1, 1, 1};
    }
    // A record without a comma (edited by hand) is a scheme without lights.
    loadUserPresets(m.platform().settings, lightingPresetList(m),
                    [&m](int slot, const std::string& record) -> std::optional<std::string> {
                        return parseUserLightingRecord(record, preset(m, slot));
                    });
}

void saveLightingPresets(BrickpovMain& m) {
    saveUserPresets(m.platform().settings, lightingPresetList(m), [&m](int slot) {
        return userLightingRecord(m.Cbo_LightPreset.list(slot), preset(m, slot));
    });
}

void Cbo_LightPreset_Click(BrickpovMain& m) {
    if (!m.Cbo_LightPreset.text().empty()) {
        if (m.Cbo_Light.listIndex() < 0)
            m.Cbo_Light.setListIndex(0);
        const int p = m.Cbo_LightPreset.listIndex();
        const int c = currentLight(m);
        const LightTable scheme = preset(m, p);
        if (!scheme.light(c).byCoordinates())
            m.Chk_LG.setValue(1);
        else
            m.Chk_LC.setValue(1);
        // Each box's text is set before the light is copied, so that the
        // scheme's exact values win over what the boxes store back.
        for (int l = 1; l <= kLights; ++l) {
            for (int v = 1; v <= 6; ++v) {
                const float value = scheme.light(c).value(v);
                m.Txt_LightValue[v - 1].setText(
                    v <= 3 ? numberText(value)
                           : numberText(roundHalfEven(static_cast<double>(value * 255.0f))));
                m.lights.light(l).value(v) = scheme.light(l).value(v);
            }
        }
        m.Btn_LightPresetDelete.setEnabled(p >= kBuiltInSchemes);
    }
    BuildCommandLine(m);
}

void Btn_LightPresetSave_Click(BrickpovMain& m) {
    saveNewPreset(m, lightingPresetList(m), [&m](int slot) {
        Options o;
        m.readOptions(o);
        preset(m, slot) = o.lights;
    });
}

void Btn_LightPresetDelete_Click(BrickpovMain& m) {
    deletePreset(m, lightingPresetList(m),
                 [&m](int to, int from) { preset(m, to) = preset(m, from); });
}

void wireLightingPresets(BrickpovMain& m) {
    m.Cbo_LightPreset.onClick = [&m] { Cbo_LightPreset_Click(m); };
    m.Btn_LightPresetSave.onClick = [&m] { Btn_LightPresetSave_Click(m); };
    m.Btn_LightPresetDelete.onClick = [&m] { Btn_LightPresetDelete_Click(m); };
}

} // namespace bp
